// The VLAN logic's messages on stderr, and the progress line of a long read on a terminal.
#include "cli/stderr_messages.h"

#include <cstdio>

namespace tarnwick::cli {
namespace {

using namespace std::chrono_literals;

constexpr auto kQuietRead = 1s;
constexpr auto kRedrawEvery = 250ms;

std::string OneLine(const std::string& text) {
    std::string line;
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            if (!line.empty() && line.back() != ' ') {
                line += ' ';
            }
            continue;
        }
        line += c;
    }
    return line;
}

}  // namespace

StderrMessages::StderrMessages(bool showProgress) : m_showProgress(showProgress) {
    if (!m_showProgress) {
        return;
    }
    m_ticker = std::thread([this] {
        std::unique_lock lock(m_mutex);
        while (!m_stop) {
            m_wake.wait_for(lock, kRedrawEvery);
            DrawProgress();
        }
    });
}

StderrMessages::~StderrMessages() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
        EraseProgress();
    }
    m_wake.notify_one();
    if (m_ticker.joinable()) {
        m_ticker.join();
    }
}

void StderrMessages::Show(const std::string& text) {
    const std::lock_guard lock(m_mutex);
    EraseProgress();
    std::fprintf(stderr, "%s\n", OneLine(text).c_str());
}

void StderrMessages::Reading(std::string step) {
    const std::lock_guard lock(m_mutex);
    if (m_step.empty()) {
        m_readStart = std::chrono::steady_clock::now();
    }
    m_step = std::move(step);
}

void StderrMessages::ReadDone() {
    const std::lock_guard lock(m_mutex);
    m_step.clear();
    EraseProgress();
}

void StderrMessages::DrawProgress() {
    if (m_stop || m_step.empty()) {
        return;
    }
    const auto elapsed = std::chrono::steady_clock::now() - m_readStart;
    if (elapsed < kQuietRead) {
        return;
    }
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
    std::string line = m_step + ", " + std::to_string(seconds) + "s";
    if (m_drawn && line == m_drawnLine) {
        return;
    }
    // Back to the line's start, the text, then clear what a longer text left behind.
    std::fprintf(stderr, "\r%s\x1b[K", line.c_str());
    std::fflush(stderr);
    m_drawnLine = std::move(line);
    m_drawn = true;
}

void StderrMessages::EraseProgress() {
    if (!m_drawn) {
        return;
    }
    std::fprintf(stderr, "\r\x1b[K");
    std::fflush(stderr);
    m_drawn = false;
}

}  // namespace tarnwick::cli
