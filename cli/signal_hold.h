// A signal never cuts a move in half: while a SignalHold lives, SIGINT, SIGTERM and SIGHUP are
// held until the move has ended or put the ports back, and the run ends afterwards with the
// usual report. Outside it the dispositions are the process's own: a read stops at once.
#pragma once

#include <signal.h>

#include <array>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

namespace tarnwick::cli {

// What a held signal says: during a move's writes, and in a run that takes its move back.
inline constexpr char kFinishingTheMove[] = "finishing the move\n";
inline constexpr char kTakingTheMoveBack[] = "taking the move back\n";

class SignalHold {
public:
    // Holds the three signals: the first to arrive prints `saying` (a line, of static storage)
    // on stderr at once and is remembered, any later one changes nothing. A signal the process
    // ignores stays ignored (under nohup, SIGHUP would not have ended the run). One hold at a
    // time.
    explicit SignalHold(const char* saying = kFinishingTheMove);
    ~SignalHold();  // releases, unless Release() has
    SignalHold(const SignalHold&) = delete;
    SignalHold& operator=(const SignalHold&) = delete;

    // Puts the previous dispositions back; the first signal that arrived while held.
    std::optional<int> Release();
    // The first signal that has arrived so far, the hold going on.
    std::optional<int> Arrived() const;

private:
    static constexpr std::array<int, 3> kHeld{SIGINT, SIGTERM, SIGHUP};

    std::array<struct sigaction, kHeld.size()> m_previous{};
    std::array<bool, kHeld.size()> m_installed{};
    bool m_released = false;
    std::optional<int> m_arrived;
};

// Ignores the signals while it lives (a run that must outlive its terminal: SIGHUP, SIGPIPE),
// then puts their dispositions back.
class SignalsIgnored {
public:
    explicit SignalsIgnored(std::initializer_list<int> numbers);
    ~SignalsIgnored();
    SignalsIgnored(const SignalsIgnored&) = delete;
    SignalsIgnored& operator=(const SignalsIgnored&) = delete;

private:
    std::vector<std::pair<int, struct sigaction>> m_previous;
};

// The exit status of a run a held signal ended, as a shell reports a process the signal killed.
inline int SignalledStatus(int number) {
    return 128 + number;
}

}  // namespace tarnwick::cli
