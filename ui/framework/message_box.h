// The modal message box every failure is shown in: OK button only, the program's name as caption.
#pragma once

#include <QString>

#include "vlan/dialog_ports.h"

class QWidget;

namespace tarnwick {

// The program file's name without its extension ("Tarnwick" for the real program).
QString ApplicationName();

class QtMessageBox final : public MessageBox {
public:
    explicit QtMessageBox(QWidget* parent) : m_parent(parent) {}
    // Shows the text and returns when the user has closed the box.
    void Show(const std::string& text) override;

private:
    QWidget* m_parent;
};

}  // namespace tarnwick
