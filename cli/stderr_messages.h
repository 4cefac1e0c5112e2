// Where the VLAN logic's messages go in a shell: one line each on stderr, and on a
// terminal a progress line while a read has taken more than a second.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "vlan/dialog_ports.h"

namespace tarnwick::cli {

class StderrMessages final : public MessageBox {
public:
    // The progress line is drawn only when `showProgress` (stderr is a terminal).
    explicit StderrMessages(bool showProgress);
    ~StderrMessages() override;
    StderrMessages(const StderrMessages&) = delete;
    StderrMessages& operator=(const StderrMessages&) = delete;

    // The window's texts break lines with CR LF; here each message stays one line.
    void Show(const std::string& text) override;

    // A read has begun, or moved on to another column: "reading VLAN IDs, VLAN names".
    void Reading(std::string step);
    // The read has ended: the progress line goes.
    void ReadDone();

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
