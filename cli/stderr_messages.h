// tarnwick-cli's messages on stderr, one line each, and on a terminal a progress line while a
// read has taken more than a second.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "cli/messages.h"

namespace tarnwick::cli {

class StderrMessages final : public Messages {
public:
    // The progress line is drawn only when `showProgress` (stderr is a terminal).
    explicit StderrMessages(bool showProgress);
    ~StderrMessages() override;
    StderrMessages(const StderrMessages&) = delete;
    StderrMessages& operator=(const StderrMessages&) = delete;

    // A text that breaks its lines stays one line here.
    void Show(const std::string& text) override;
    void Reading(std::string step) override;
    // The progress line goes.
    void ReadDone() override;

private:
    void DrawProgress();
    void EraseProgress();

    const bool m_showProgress;
    std::mutex m_mutex;  // guards everything below, and stderr
    std::condition_variable m_wake;
    bool m_stop = false;
    bool m_drawn = false;
    std::string m_drawnLine;
    std::string m_step;  // empty: no read under way
    std::chrono::steady_clock::time_point m_readStart;
    std::thread m_ticker;  // last: starts once the rest is set up
};

}  // namespace tarnwick::cli
