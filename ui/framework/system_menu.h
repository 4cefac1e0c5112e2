// The window's system menu. Linux window managers keep the title-bar menu to themselves, so the
// dialog offers its own: a right-click on its background, Alt+Space or the context-menu key.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QMenu;
class QWidget;

namespace tarnwick {

// System commands as the window receives them; the low four bits are the system's own.
inline constexpr unsigned kSysCommandMask = 0xFFF0;
inline constexpr unsigned kIdmAboutBox = 0x0010;
inline constexpr unsigned kScClose = 0xF060;

class SystemMenu final : public QObject {
public:
    using CommandHandler = std::function<void(unsigned command)>;

    // The menu starts with the window commands it can carry out ("关闭"); each chosen item goes
    // to the handler with its command. The window must outlive this object.
    SystemMenu(QWidget& window, CommandHandler onSysCommand);

    // A separator, then the item; an empty text appends neither.
    void AppendAboutItem(const QString& text);
    // Opens the menu at the global position without waiting for a choice.
    void Open(QPoint globalPosition);
    // What the window does for the commands the dialog leaves alone.
    void DefaultCommand(unsigned command);

    QMenu& Menu() { return *m_menu; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AppendItem(unsigned command, const QString& text);
    bool IsOnBackground(QPoint position) const;

    QWidget& m_window;
    QMenu* m_menu;  // owned by the window as its child
};

}  // namespace tarnwick
