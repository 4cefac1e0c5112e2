// Memory for secrets (passphrases, keys) that leaves no copy behind.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <utility>

namespace tarnwick {

// Bytes allocated once at their full size, so that no growth leaves a copy in freed memory; never
// copied; overwritten with zeros before they are freed. While any buffer lives the process is not
// dumpable: a crash writes no core, and no process of the same user may read its memory.
class SecretBuffer {
public:
    explicit SecretBuffer(std::size_t size);  // zero-filled
    // The bytes move along; the buffer moved from is empty.
    SecretBuffer(SecretBuffer&& other) noexcept
        : m_size(std::exchange(other.m_size, 0)), m_bytes(std::move(other.m_bytes)) {}
    SecretBuffer& operator=(SecretBuffer&&) = delete;

    std::span<unsigned char> Bytes() { return {m_bytes.get(), m_size}; }
    std::span<const unsigned char> Bytes() const { return {m_bytes.get(), m_size}; }
    // Zeros the bytes now; the buffer keeps its size.
    void Wipe();

private:
    struct Wiper {
        std::size_t size = 0;
        void operator()(unsigned char* bytes) const;
    };

    std::size_t m_size;
    std::unique_ptr<unsigned char[], Wiper> m_bytes;
};

}  // namespace tarnwick
