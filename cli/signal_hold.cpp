// Holding SIGINT, SIGTERM and SIGHUP while a move writes to the switch.
#include "cli/signal_hold.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace tarnwick::cli {
namespace {

// The first held signal; 0 while none. Atomic, not just volatile: the CLI has a second thread
// (the progress line), and the kernel may run the handler on either.
std::atomic<int> g_arrived{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free flag");

// What the first held signal says on stderr: set before the handlers are installed.
const char* g_saying = "";
std::size_t g_sayingLength = 0;

// Async-signal-safe: an atomic exchange and write(2); errno is kept for the interrupted call.
void OnHeldSignal(int number) {
    int none = 0;
    if (!g_arrived.compare_exchange_strong(none, number)) {
        return;
    }
    const int interrupted = errno;
    // Nothing to do when stderr is gone: the move goes on all the same.
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, g_saying, g_sayingLength);
    errno = interrupted;
}

bool Ignored(const struct sigaction& action) {
    return (action.sa_flags & SA_SIGINFO) == 0 && action.sa_handler == SIG_IGN;
}

}  // namespace

SignalHold::SignalHold(const char* saying) {
    g_arrived = 0;
    g_saying = saying;
    g_sayingLength = std::strlen(saying);
    struct sigaction hold {};
    hold.sa_handler = OnHeldSignal;
    // A read or write the signal meets goes on. select() is never restarted: the SNMP layer's
    // wait for an answer loops on EINTR with the library's own deadline, and the wait for a late
    // SET sleeps until its end whatever interrupts it, so no answer is taken for lost.
    hold.sa_flags = SA_RESTART;
    sigemptyset(&hold.sa_mask);
    for (const int held : kHeld) {
        sigaddset(&hold.sa_mask, held);  // one handler at a time on a thread
    }
    for (std::size_t i = 0; i < kHeld.size(); ++i) {
        sigaction(kHeld[i], nullptr, &m_previous[i]);
        m_installed[i] = !Ignored(m_previous[i]);
        if (m_installed[i]) {
            sigaction(kHeld[i], &hold, nullptr);
        }
    }
}

SignalHold::~SignalHold() {
    Release();
}

std::optional<int> SignalHold::Release() {
    if (m_released) {
        return m_arrived;
    }
    m_released = true;
    for (std::size_t i = 0; i < kHeld.size(); ++i) {
        if (m_installed[i]) {
            sigaction(kHeld[i], &m_previous[i], nullptr);
        }
    }
    // Read once every handler is gone: a signal arriving meanwhile is still held and told.
    if (const int arrived = g_arrived.load(); arrived != 0) {
        m_arrived = arrived;
    }
    return m_arrived;
}

std::optional<int> SignalHold::Arrived() const {
    if (m_released) {
        return m_arrived;
    }
    const int arrived = g_arrived.load();
    return arrived != 0 ? std::optional(arrived) : std::nullopt;
}

SignalsIgnored::SignalsIgnored(std::initializer_list<int> numbers) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    for (const int number : numbers) {
        struct sigaction previous {};
        sigaction(number, &ignore, &previous);
        m_previous.emplace_back(number, previous);
    }
}

SignalsIgnored::~SignalsIgnored() {
    for (const auto& [number, previous] : m_previous) {
        sigaction(number, &previous, nullptr);
    }
}

}  // namespace tarnwick::cli
