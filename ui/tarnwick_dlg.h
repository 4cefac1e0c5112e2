// CTarnwickDlg, the main window (template 102): holds the run's state and routes its commands.
#pragma once

#include <QDialog>

#include "snmp/snmp_agent.h"
#include "ui/dialog_ports_adapters.h"
#include "ui/framework/dialog_template.h"
#include "ui/framework/modal_command.h"
#include "ui/framework/system_menu.h"
#include "vlan/main_dialog_logic.h"

class QCloseEvent;
class QComboBox;

namespace tarnwick {

class CWebBrowser2;
class CXTHyperLink;
class CXTPSkinManager;
class ReportListView;

class CTarnwickDlg final : public QDialog {
    Q_OBJECT
public:
    // Talks to switches through the agent and loads the program's skin through the manager
    // before any control exists; the agent must outlive the dialog.
    CTarnwickDlg(SnmpAgent& snmp, CXTPSkinManager& skins, QWidget* parent = nullptr);
    ~CTarnwickDlg() override;

    CTarnwickDlg(const CTarnwickDlg&) = delete;
    CTarnwickDlg& operator=(const CTarnwickDlg&) = delete;

    // The OK command ("读取", Enter): reads the switch, and the dialog stays open.
    void accept() noexcept override;
    // The cancel command ("退 出 程序", Esc, the close box): ends the dialog, once no command runs.
    void reject() noexcept override;
    // A double-click anywhere on the VLAN list.
    void OnDblclkVlanList() noexcept;
    // A double-click anywhere on the interface list.
    void OnDblclkInterfaceList() noexcept;
    // "写入FLASH".
    void OnWriteFlash() noexcept;
    // A command chosen in the system menu: About opens the about box, the rest is the window's.
    void OnSysCommand(unsigned command) noexcept;

    // The page the browser panel opens, for the dialogs built after the call; an empty address
    // opens none. Tests point it at loopback or nowhere; the program keeps the built-in page.
    static void SetShowPageAddress(const QString& address);

    const DialogState& State() const { return m_state; }
    const DialogControls& Controls() const { return m_controls; }

protected:
    // A close asked for while a command runs follows the command's end. (Qt itself holds back the
    // window manager's close request while a command waits, as it holds clicks and keys.)
    void closeEvent(QCloseEvent* event) override;

private:
    void OnInitDialog();
    void OpenLinksAndBrowser();

    SnmpAgent& m_snmp;
    const QString m_skinFolder;  // the skin is loaded with it, before any control exists
    DialogState m_state;
    DialogControls m_controls;
    QComboBox& m_deviceType;
    ReportListView& m_interfaceListView;
    ReportListView& m_vlanListView;
    CXTHyperLink& m_homePageLink;
    CXTHyperLink& m_emailLink;
    CWebBrowser2& m_browser;
    SystemMenu m_systemMenu;
    ReportListAdapter m_interfaceList;
    ReportListAdapter m_vlanList;
    QtMessageBox m_messages;
    DialogCursorControl m_cursor;
    DialogFieldExchange m_fields;
    DialogVlanSelection m_vlanSelection;
    MainDialogLogic m_logic;
    CommandGuard m_commands;
};

}  // namespace tarnwick
