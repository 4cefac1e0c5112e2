// Serving the caller while a request waits for its answer: the window serves its events there,
// the command line does nothing.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

namespace tarnwick {

// What the caller does while a request waits for its answer. It runs on the requesting thread
// and must not send requests.
using WhileWaiting = std::function<void()>;

// Calls the "while waiting" callback at most once per slice: while a request waits for its
// answer, and between the answers of a long walk that never waits a whole slice.
class WaitSlices {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kSlice{10};

    explicit WaitSlices(WhileWaiting whileWaiting);
    // How long a wait may block before the callback is due; nothing without a callback.
    std::optional<Clock::duration> UntilDue() const;
    // Calls the callback when its slice has run out.
    void ServeIfDue();

private:
    WhileWaiting m_whileWaiting;
    Clock::time_point m_due;
};

}  // namespace tarnwick
