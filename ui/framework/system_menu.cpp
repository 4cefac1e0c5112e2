// The window's system menu. Linux window managers keep the title-bar menu to themselves, so the
// dialog offers its own: a right-click on its background, Alt+Space or the context-menu key.
#include "ui/framework/system_menu.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QShortcut>
#include <QWidget>

namespace tarnwick {

SystemMenu::SystemMenu(QWidget& window, CommandHandler onSysCommand)
    : m_window(window), m_menu(new QMenu(&window)) {
    AppendItem(kScClose, QStringLiteral("关闭(&C)\tAlt+F4"));
    connect(m_menu, &QMenu::triggered, this,
            [handler = std::move(onSysCommand)](QAction* item) { handler(item->data().toUInt()); });
    auto* altSpace = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), &window);
    connect(altSpace, &QShortcut::activated, this,
            [this] { Open(m_window.mapToGlobal(QPoint(0, 0))); });
    window.installEventFilter(this);
}

void SystemMenu::AppendAboutItem(const QString& text) {
    if (text.isEmpty()) {
        return;
    }
    m_menu->addSeparator();
    AppendItem(kIdmAboutBox, text);
}

void SystemMenu::AppendItem(unsigned command, const QString& text) {
    m_menu->addAction(text)->setData(command);
}

void SystemMenu::Open(QPoint globalPosition) {
    m_menu->popup(globalPosition);
}

void SystemMenu::DefaultCommand(unsigned command) {
    if ((command & kSysCommandMask) == kScClose) {
        m_window.close();
    }
}

bool SystemMenu::IsOnBackground(QPoint position) const {
    QWidget* hit = m_window.childAt(position);
    while (hit && hit->parentWidget() != &m_window) {
        hit = hit->parentWidget();
    }
    // Labels and frames are background; a control that takes the focus keeps its own clicks.
    return !hit || hit->focusPolicy() == Qt::NoFocus;
}

bool SystemMenu::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_window || event->type() != QEvent::ContextMenu) {
        return false;
    }
    // Controls that have no menu of their own pass the event on to the window.
    auto* request = static_cast<QContextMenuEvent*>(event);
    if (request->reason() == QContextMenuEvent::Keyboard) {
        Open(m_window.mapToGlobal(QPoint(0, 0)));
        return true;
    }
    if (!IsOnBackground(request->pos())) {
        return false;
    }
    Open(request->globalPos());
    return true;
}

}  // namespace tarnwick
