// The dialog's cursor: the dialog, not its controls, decides the cursor over all of them.
#include "ui/framework/dialog_cursor.h"

#include <QCursor>
#include <QWidget>

#include "ui/framework/modal_command.h"

namespace tarnwick {

DialogCursor::DialogCursor(QWidget& dialog) : m_dialog(dialog) {
    Apply();
}

void DialogCursor::SetShape(Qt::CursorShape shape) {
    m_shape = shape;
    Apply();
    // Hand the cursor change to the window system before the command's first request.
    ServeWindowWhileWaiting();
}

void DialogCursor::Apply() {
    // Controls bring their own cursors (the edit fields the text cursor); override each one.
    const QCursor cursor(m_shape);
    m_dialog.setCursor(cursor);
    for (QWidget* child : m_dialog.findChildren<QWidget*>()) {
        child->setCursor(cursor);
    }
}

}  // namespace tarnwick
