// CVlanSelectDlg (template 131): the user picks the VLAN a port moves into, or none.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "ui/framework/dialog_template.h"

class QComboBox;

namespace tarnwick {

inline constexpr int kIdVlanChoice = 1003;

extern const DialogTemplate kVlanSelectDlgTemplate;

class CVlanSelectDlg final : public QDialog {
    Q_OBJECT
public:
    // Shown centred over its parent, the main window.
    explicit CVlanSelectDlg(QWidget* parent);

    // Filled by the caller before DoModal(), in any order.
    std::vector<std::string> entries;
    // After IDOK: the chosen entry's text, or empty when none was chosen.
    std::string chosenText;

    // IDOK ("确定", Enter) or IDCANCEL ("取消", Esc, the close box).
    int DoModal();

    const DialogControls& Controls() const { return m_controls; }

    void accept() noexcept override;

private:
    void OnInitDialog();

    DialogControls m_controls;
    QComboBox& m_combo;
};

}  // namespace tarnwick
