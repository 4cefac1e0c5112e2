// Takes docs/main-window.png and docs/about-box.png: with the shipped skin, reads a switch on a
// loopback address, lists VLAN 10's ports and saves the window, then opens the about box from the
// system menu and saves it.
// Usage: screenshot_main_window <loopback address:port> <main-window.png> <about-box.png>
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"
#include "tests/ui/ui_test_support.h"
#include "ui/framework/modal_command.h"
#include "ui/framework/system_menu.h"
#include "ui/tarnwick_dlg.h"
#include "ui/tarnwick_dlg_template.h"

namespace {

bool IsLoopback(const QString& address) {
    return address.startsWith(QStringLiteral("127.")) ||
           address.startsWith(QStringLiteral("[::1]"));
}

int RowOfVlan(const tarnwick::ReportListView& list, const QString& vlanId) {
    for (int row = 0; row < list.model()->rowCount(); ++row) {
        if (list.Model().Text(row, 0) == vlanId) {
            return row;
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tarnwick;
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 4 || !IsLoopback(arguments[1])) {
        std::fprintf(stderr,
                     "usage: screenshot_main_window <127.x.x.x:port> <main.png> <about.png>\n");
        return 2;
    }
    InitSnmpLibrary();
    // This program has no skin beside it: load the shipped one, and keep the panel off the net.
    test::Skins().LoadSkin(QString::fromUtf8(TARNWICK_SKIN_SOURCE), nullptr);
    CTarnwickDlg::SetShowPageAddress({});
    NetSnmpAgent snmp(ServeWindowWhileWaiting);
    CTarnwickDlg dialog(snmp, test::Skins());
    const DialogControls& controls = dialog.Controls();
    controls.Get<QLineEdit>(kIdIpAddress).setText(arguments[1]);
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog)) {
        std::fprintf(stderr, "the window was not shown\n");
        return 1;
    }

    test::MessageBoxCloser closer;
    controls.Get<QPushButton>(kIdOk).click();
    auto& vlans = controls.Get<ReportListView>(kIdVlanList);
    const int row = RowOfVlan(vlans, QStringLiteral("10"));
    if (!closer.Boxes().empty() || row < 0) {
        std::fprintf(stderr, "the read failed: %d messages, VLAN 10 %s\n",
                     static_cast<int>(closer.Boxes().size()), row < 0 ? "missing" : "listed");
        return 1;
    }
    const QPoint vlan10 = vlans.visualRect(vlans.model()->index(row, 0)).center();
    QTest::mouseClick(vlans.viewport(), Qt::LeftButton, {}, vlan10);
    QTest::mouseDClick(vlans.viewport(), Qt::LeftButton, {}, vlan10);
    QTest::qWait(200);

    if (!dialog.grab().save(arguments[2], "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(arguments[2]));
        return 1;
    }

    bool aboutSaved = false;
    QTimer::singleShot(200, [&] {
        QWidget* about = QApplication::activeModalWidget();
        if (about && about != &dialog) {
            aboutSaved = about->grab().save(arguments[3], "PNG");
            about->close();
        }
    });
    dialog.OnSysCommand(kIdmAboutBox);
    if (!aboutSaved) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(arguments[3]));
        return 1;
    }
    return 0;
}
