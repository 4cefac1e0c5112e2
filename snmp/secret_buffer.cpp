// Secrets' memory: wiped with explicit_bzero, which the compiler may not drop as a dead store
// before free(), and the process kept undumpable while any secret lives.
#include "snmp/secret_buffer.h"

#include <string.h>
#include <sys/prctl.h>

#include <mutex>

namespace tarnwick {
namespace {

// How many buffers hold secrets, and whether the process was dumpable before the first.
struct DumpableHold {
    std::mutex mutex;
    int buffers = 0;
    int dumpableBefore = 0;
};

DumpableHold& Hold() {
    static DumpableHold hold;
    return hold;
}

void HoldCoreDumpsOff() {
    DumpableHold& hold = Hold();
    const std::lock_guard lock(hold.mutex);
    if (hold.buffers++ == 0) {
        hold.dumpableBefore = prctl(PR_GET_DUMPABLE);
        prctl(PR_SET_DUMPABLE, 0);
    }
}

void ReleaseCoreDumps() {
    DumpableHold& hold = Hold();
    const std::lock_guard lock(hold.mutex);
    if (--hold.buffers == 0 && hold.dumpableBefore == 1) {
        prctl(PR_SET_DUMPABLE, 1);
    }
}

}  // namespace

SecretBuffer::SecretBuffer(std::size_t size)
    : m_size(size), m_bytes(new unsigned char[size](), Wiper{size}) {
    HoldCoreDumpsOff();  // released by the wiper
}

void SecretBuffer::Wipe() {
    if (m_bytes) {
        explicit_bzero(m_bytes.get(), m_size);
    }
}

void SecretBuffer::Wiper::operator()(unsigned char* bytes) const {
    explicit_bzero(bytes, size);
    delete[] bytes;
    ReleaseCoreDumps();
}

}  // namespace tarnwick
