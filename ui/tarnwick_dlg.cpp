// CTarnwickDlg, the main window (template 102): holds the run's state and routes its commands.
#include "ui/tarnwick_dlg.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>

#include "ui/about_dlg.h"
#include "ui/framework/hyper_link.h"
#include "ui/framework/report_list.h"
#include "ui/framework/skin_manager.h"
#include "ui/framework/text_conversion.h"
#include "ui/framework/web_browser.h"
#include "ui/program_icon.h"
#include "ui/tarnwick_dlg_template.h"

namespace tarnwick {
namespace {

// A fixed-size top-level window with its own taskbar entry: caption, system menu and close box,
// no minimise or maximise box.
constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint |
                                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                         Qt::WindowCloseButtonHint;

SettingsFields FieldsOf(const DialogControls& controls) {
    return {controls.Get<QLineEdit>(kIdIpAddress), controls.Get<QLineEdit>(kIdReadCommunity),
            controls.Get<QLineEdit>(kIdTimeout), controls.Get<QLineEdit>(kIdWriteCommunity)};
}

// Loaded before the controls are created, so each is sized and polished with the skin in force.
QString LoadSkinBesideProgram(CXTPSkinManager& skins) {
    QString folder = SkinFolder(QCoreApplication::applicationFilePath());
    LoadProgramSkin(skins, folder);
    return folder;
}

QString& ShowPageAddress() {
    static QString address = Utf8Text(kShowPageAddress);
    return address;
}

}  // namespace

void CTarnwickDlg::SetShowPageAddress(const QString& address) {
    ShowPageAddress() = address;
}

CTarnwickDlg::CTarnwickDlg(SnmpAgent& snmp, CXTPSkinManager& skins, QWidget* parent)
    : QDialog(parent, kWindowFlags),
      m_snmp(snmp),
      m_skinFolder(LoadSkinBesideProgram(skins)),
      m_controls(CreateDialogControls(*this, kTarnwickDlgTemplate)),
      m_deviceType(m_controls.Get<QComboBox>(kIdDeviceType)),
      m_interfaceListView(m_controls.Get<ReportListView>(kIdInterfaceList)),
      m_vlanListView(m_controls.Get<ReportListView>(kIdVlanList)),
      m_homePageLink(m_controls.Get<CXTHyperLink>(kIdHomePageLink)),
      m_emailLink(m_controls.Get<CXTHyperLink>(kIdEmailLink)),
      m_browser(m_controls.Get<CWebBrowser2>(kIdBrowserPanel)),
      m_systemMenu(*this, [this](unsigned command) { OnSysCommand(command); }),
      m_interfaceList(m_interfaceListView),
      m_vlanList(m_vlanListView),
      m_messages(this),
      m_cursor(*this),
      m_fields(FieldsOf(m_controls)),
      m_vlanSelection(*this),
      m_logic(m_state, {m_vlanList, m_interfaceList, m_messages, m_cursor, m_fields, m_snmp,
                        m_vlanSelection}),
      m_commands(*this) {
    setWindowIcon(ProgramIcon());
    OnInitDialog();
}

CTarnwickDlg::~CTarnwickDlg() = default;

void CTarnwickDlg::OnInitDialog() {
    m_fields.PutFields(m_state.settings);
    m_systemMenu.AppendAboutItem(Utf8Text(kAboutItemText));
    for (const char* entry : kDeviceTypes) {
        m_deviceType.addItem(Utf8Text(entry));
    }
    m_deviceType.setCurrentIndex(0);
    m_vlanListView.SetColumns(kVlanListColumns);
    m_interfaceListView.SetColumns(kInterfaceListColumns);
    OpenLinksAndBrowser();

    auto& readButton = m_controls.Get<QPushButton>(kIdOk);
    connect(&readButton, &QPushButton::clicked, this, &CTarnwickDlg::accept);
    connect(&m_controls.Get<QPushButton>(kIdCancel), &QPushButton::clicked, this,
            &CTarnwickDlg::reject);
    connect(&m_vlanListView, &ReportListView::listDoubleClicked, this,
            &CTarnwickDlg::OnDblclkVlanList);
    connect(&m_interfaceListView, &ReportListView::listDoubleClicked, this,
            &CTarnwickDlg::OnDblclkInterfaceList);
    connect(&m_controls.Get<QPushButton>(kIdWriteFlash), &QPushButton::clicked, this,
            &CTarnwickDlg::OnWriteFlash);
    readButton.setFocus(Qt::OtherFocusReason);
}

void CTarnwickDlg::OpenLinksAndBrowser() {
    m_homePageLink.SetURL(Utf8Text(kHomePageAddress));
    m_homePageLink.EnableToolTips(false);
    m_emailLink.SetURL(QStringLiteral("mailto:") + Utf8Text(kEmailAddress));
    m_emailLink.EnableToolTips(false);
    m_browser.ShowScrollBar(ScrollBars::Both, false);
    if (!ShowPageAddress().isEmpty()) {
        m_browser.Navigate(ShowPageAddress(), nullptr, nullptr, nullptr, nullptr);
    }
}

void CTarnwickDlg::accept() noexcept {
    m_commands.Run([this] { m_logic.ReadDevice(); });
}

void CTarnwickDlg::reject() noexcept {
    if (!m_commands.DeferClose()) {
        QDialog::reject();
    }
}

void CTarnwickDlg::closeEvent(QCloseEvent* event) {
    if (m_commands.DeferClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CTarnwickDlg::OnDblclkVlanList() noexcept {
    m_commands.Run([this] { m_logic.OnDblclkVlanList(); });
}

void CTarnwickDlg::OnDblclkInterfaceList() noexcept {
    m_commands.Run([this] { m_logic.OnDblclkInterfaceList(); });
}

void CTarnwickDlg::OnWriteFlash() noexcept {
    m_commands.Run([this] { m_logic.OnWriteFlash(); });
}

void CTarnwickDlg::OnSysCommand(unsigned command) noexcept {
    if ((command & kSysCommandMask) != kIdmAboutBox) {
        m_systemMenu.DefaultCommand(command);
        return;
    }
    m_commands.Run([this] {
        CAboutDlg about(this);
        about.exec();
    });
}

}  // namespace tarnwick
