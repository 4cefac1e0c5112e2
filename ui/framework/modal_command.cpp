// Commands that wait for the switch inside a window's handler, on the window's one thread.
#include "ui/framework/modal_command.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QWidget>

namespace tarnwick {

void ServeWindowWhileWaiting() {
    // Passes over the event sources until none has work, for at most a millisecond: with input
    // held back, the window-event source stays ready and a single pass can leave the timers out.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 1);
}

bool CommandGuard::DeferClose() {
    m_closeDeferred = m_closeDeferred || m_running;
    return m_running;
}

void CommandGuard::Ended() {
    m_running = false;
    // The clicks and keys held back while the command waited are still queued, but the event
    // loop only looks at its queue when woken: wake it, or they would wait for the next event.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
        dispatcher->wakeUp();
    }
    if (std::exchange(m_closeDeferred, false)) {
        m_window.close();
    }
}

}  // namespace tarnwick
