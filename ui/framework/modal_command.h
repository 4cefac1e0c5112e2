// Commands that wait for the switch inside a window's handler, on the window's one thread. While
// one waits, the window keeps painting and answering the accessibility bus, but takes no input,
// starts no other command and does not close.
#pragma once

#include <utility>

class QWidget;

namespace tarnwick {

// The window's "while waiting" callback: handles the window events that are due (expose, resize,
// repaints, timers, the accessibility bus) but no user input, which stays queued for after the
// command.
void ServeWindowWhileWaiting();

// One command at a time per window; a close asked for during a command follows its end, so that
// no command goes on in a window that is being taken down.
class CommandGuard {
public:
    explicit CommandGuard(QWidget& window) : m_window(window) {}

    // Runs the command unless one is running: only a handler re-entered from inside a command
    // gets here then, and it is dropped.
    template <typename Command>
    void Run(Command&& command);

    // For the window's close paths: true while a command runs, and the close then follows it.
    bool DeferClose();

private:
    void Ended();

    QWidget& m_window;
    bool m_running = false;
    bool m_closeDeferred = false;
};

template <typename Command>
void CommandGuard::Run(Command&& command) {
    if (m_running) {
        return;
    }
    m_running = true;
    std::forward<Command>(command)();
    Ended();
}

}  // namespace tarnwick
