// CVlanSelectDlg (template 131): the user picks the VLAN a port moves into, or none.
#include "ui/vlan_select_dlg.h"

#include <QComboBox>
#include <QPushButton>
#include <array>

#include "ui/framework/text_conversion.h"

namespace tarnwick {
namespace {

using enum ControlKind;

// clang-format off
constexpr std::array<ControlTemplate, 3> kControls = {{
    {IDOK, PushButton, {135, 7, 50, 14}, "确定", kTabStop | kDefaultButton, kNoLabel},
    {IDCANCEL, PushButton, {135, 24, 50, 14}, "取消", kTabStop, kNoLabel},
    {kIdVlanChoice, ComboBox, {7, 15, 108, 136}, nullptr, kTabStop, kNoLabel},
}};
// clang-format on

constexpr Qt::WindowFlags kWindowFlags = Qt::Dialog | Qt::CustomizeWindowHint |
                                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                         Qt::WindowCloseButtonHint;

// A sorted drop-down list keeps its entries in case-insensitive text order: "10/…" before
// "100/…" before "2/…". An entry equal to others goes behind them.
// Each item keeps the entry's own bytes, which are what the dialog hands back.
void AddSorted(QComboBox& combo, const std::string& entry) {
    const QString text = DisplayText(entry);
    int at = combo.count();
    for (int i = 0; i < combo.count(); ++i) {
        if (QString::compare(combo.itemText(i), text, Qt::CaseInsensitive) > 0) {
            at = i;
            break;
        }
    }
    combo.insertItem(at, text, QtBytes(entry));
}

}  // namespace

const DialogTemplate kVlanSelectDlgTemplate = {
    131, "VLAN选择", 192, 55, "新宋体", 9, kControls,
};

CVlanSelectDlg::CVlanSelectDlg(QWidget* parent)
    : QDialog(parent, kWindowFlags),
      m_controls(CreateDialogControls(*this, kVlanSelectDlgTemplate)),
      m_combo(m_controls.Get<QComboBox>(kIdVlanChoice)) {
    m_combo.setAccessibleName(windowTitle());
    connect(&m_controls.Get<QPushButton>(IDOK), &QPushButton::clicked, this,
            &CVlanSelectDlg::accept);
    connect(&m_controls.Get<QPushButton>(IDCANCEL), &QPushButton::clicked, this,
            &CVlanSelectDlg::reject);
}

int CVlanSelectDlg::DoModal() {
    OnInitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CVlanSelectDlg::OnInitDialog() {
    m_combo.clear();
    for (const std::string& entry : entries) {
        AddSorted(m_combo, entry);
    }
    m_combo.setCurrentIndex(-1);
    m_controls.Get<QPushButton>(IDOK).setFocus(Qt::OtherFocusReason);
}

void CVlanSelectDlg::accept() noexcept {
    const int selected = m_combo.currentIndex();
    chosenText =
        selected < 0 ? std::string() : LogicBytes(m_combo.itemData(selected).toByteArray());
    QDialog::accept();
}

}  // namespace tarnwick
