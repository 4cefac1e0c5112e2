// CAboutDlg, the about box (template 100): the program icon, its name and version, our notice.
#pragma once

#include <QDialog>

#include "ui/framework/dialog_template.h"

namespace tarnwick {

extern const DialogTemplate kAboutDlgTemplate;

class CAboutDlg final : public QDialog {
    Q_OBJECT
public:
    // Shown centred over the parent; "确定", Enter, Esc and the close box end it.
    explicit CAboutDlg(QWidget* parent);

    const DialogControls& Controls() const { return m_controls; }

private:
    DialogControls m_controls;
};

}  // namespace tarnwick
