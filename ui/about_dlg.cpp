// CAboutDlg, the about box (template 100): the program icon, its name and version, our notice.
#include "ui/about_dlg.h"

#include <QPushButton>
#include <array>

#include "ui/program_icon.h"

namespace tarnwick {
namespace {

using enum ControlKind;

// Caption bar with the system menu and close box, nothing to resize, minimise or maximise.
constexpr Qt::WindowFlags kWindowFlags = Qt::Dialog | Qt::CustomizeWindowHint |
                                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                         Qt::WindowCloseButtonHint;

// clang-format off
constexpr std::array<ControlTemplate, 4> kControls = {{
    {kStaticId, StaticIcon, {11, 12, 20, 20}, nullptr, kNoStyle, kNoLabel},
    {kStaticId, StaticText, {40, 10, 119, 8}, "ziTarnwick 1.1 版", kNoStyle, kNoLabel},
    {kStaticId, StaticText, {40, 25, 119, 8}, "版权所有 (C) 2026 Tarnwick", kNoStyle, kNoLabel},
    {IDOK, PushButton, {178, 7, 50, 14}, "确定", kTabStop | kDefaultButton, kNoLabel},
}};
// clang-format on

}  // namespace

const DialogTemplate kAboutDlgTemplate = {
    100, "关于 Tarnwick", 235, 55, "宋体", 9, kControls,
};

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, kWindowFlags),
      m_controls(
          CreateDialogControls(*this, kAboutDlgTemplate, ProgramIcon().pixmap(kProgramIconSize))) {
    auto& ok = m_controls.Get<QPushButton>(IDOK);
    connect(&ok, &QPushButton::clicked, this, &CAboutDlg::accept);
    ok.setFocus(Qt::OtherFocusReason);
}

}  // namespace tarnwick
