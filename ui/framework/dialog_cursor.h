// The dialog's cursor: the dialog, not its controls, decides the cursor over all of them.
#pragma once

#include <Qt>

class QWidget;

namespace tarnwick {

class DialogCursor final {
public:
    // Puts the arrow over the dialog and every control (edit fields included) at once.
    explicit DialogCursor(QWidget& dialog);
    // Takes effect at once: the window system has the new cursor before a command blocks.
    void SetShape(Qt::CursorShape shape);

private:
    void Apply();

    QWidget& m_dialog;
    Qt::CursorShape m_shape = Qt::ArrowCursor;
};

}  // namespace tarnwick
