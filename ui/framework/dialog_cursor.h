// The dialog's cursor: the dialog, not its controls, decides the cursor over all of them.
#pragma once

#include "vlan/dialog_ports.h"

class QWidget;

namespace tarnwick {

class DialogCursor final : public CursorControl {
public:
    // Puts the arrow over the dialog and every control (edit fields included) at once.
    explicit DialogCursor(QWidget& dialog);
    // Takes effect at once: the window system has the new cursor before a command blocks.
    void SetCursor(CursorShape shape) override;

private:
    void Apply();

    QWidget& m_dialog;
    CursorShape m_shape = CursorShape::Arrow;
};

}  // namespace tarnwick
