// Waiting for a change's confirmation: the terminal's lines, the journal and the held signals,
// each looked at a few times a second.
#include "cli/confirmation_wait.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>

namespace tarnwick::cli {
namespace {

// How long the wait sleeps between looks at the journal and the signals.
constexpr std::chrono::milliseconds kLookEvery{250};
// A line longer than this is no `yes`: what is typed beyond it is dropped.
constexpr std::size_t kLongestLine = 4096;

// The lines typed on the input, as they come.
class TypedLines {
public:
    explicit TypedLines(int input) : m_input(input) {}

    // Waits up to `wait` for more input; true when a line `yes` has come. A signal ends the
    // wait early. Once the input has ended (or its terminal hung up), only sleeps.
    bool WaitForYes(std::chrono::milliseconds wait) {
        pollfd watched{m_input, POLLIN, 0};
        if (::poll(&watched, 1, static_cast<int>(wait.count())) <= 0 || m_input < 0) {
            return false;
        }
        char buffer[256];
        const ssize_t count = ::read(m_input, buffer, sizeof buffer);
        if (count < 0 && (errno == EINTR || errno == EAGAIN)) {
            return false;
        }
        if (count <= 0) {
            m_input = -1;
            return false;
        }
        m_pending.append(buffer, static_cast<std::size_t>(count));
        for (std::size_t end; (end = m_pending.find('\n')) != std::string::npos;) {
            std::string line = m_pending.substr(0, end);
            m_pending.erase(0, end + 1);
            while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
                line.pop_back();
            }
            if (line == "yes") {
                return true;
            }
        }
        if (m_pending.size() > kLongestLine) {
            m_pending.clear();
        }
        return false;
    }

private:
    int m_input;  // -1 once it has ended
    std::string m_pending;
};

}  // namespace

Confirmation AwaitConfirmation(const Journal& journal, std::int64_t change, int input,
                               const SignalHold& hold, JournalClock::time_point deadline,
                               Messages& messages) {
    TypedLines typed(input);
    for (;;) {
        if (hold.Arrived()) {
            return Confirmation::Signalled;
        }
        const auto state = journal.StateOfWait(change);
        if (const auto* found = std::get_if<WaitState>(&state)) {
            if (*found != WaitState::Waiting) {
                return *found == WaitState::Confirmed ? Confirmation::Confirmed
                                                      : Confirmation::None;
            }
        } else if (JournalClock::now() >= deadline) {
            return Confirmation::None;
        }
        if (!typed.WaitForYes(kLookEvery)) {
            continue;
        }
        // Too late when the deadline has come meanwhile: the next look says so.
        const auto confirmed = journal.Confirm(change);
        if (const auto* error = std::get_if<JournalError>(&confirmed)) {
            messages.Show("the journal lacks the confirmation: " + error->message);
            return Confirmation::Confirmed;
        }
    }
}

}  // namespace tarnwick::cli
