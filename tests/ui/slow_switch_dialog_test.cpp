// The main window while a command waits for a slow switch: it paints, and holds input for after.
#include <gtest/gtest.h>
#include <qpa/qwindowsysteminterface.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <thread>

#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"
#include "tests/snmp/scripted_agent.h"
#include "tests/ui/ui_test_support.h"
#include "ui/framework/modal_command.h"
#include "ui/tarnwick_dlg.h"
#include "ui/tarnwick_dlg_template.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

using Delivery = QWindowSystemInterface::AsynchronousDelivery;
constexpr std::size_t kReadRequests = 9;  // three ifIndex rows, then six ends of column

struct PaintCounter : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
    int paints = 0;
};

TEST(SlowSwitchDialogTest, WindowPaintsWhileReadingAndQueuedInputAndCloseWaitForTheEnd) {
    InitSnmpLibrary();
    for (const bool close : {false, true}) {
        SCOPED_TRACE(close ? "close request" : "click on 写入FLASH");
        test::ScriptedAgent agent([](int number, const test::ReceivedRequest&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            const std::string row = std::string(kIfIndexColumn) + "." + std::to_string(number + 1);
            return test::ScriptedAnswer{false, 0, test::Oid(number < 3 ? row : "1.3.6.1.9"), "1"};
        });
        NetSnmpAgent snmp(ServeWindowWhileWaiting);
        CTarnwickDlg dialog(snmp, test::Skins());
        const DialogControls& controls = dialog.Controls();
        controls.Get<QLineEdit>(kIdIpAddress).setText(QString::fromStdString(agent.Address()));
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        PaintCounter counter;
        dialog.installEventFilter(&counter);
        bool stayedOpen = true;
        QTimer repaints;
        QObject::connect(&repaints, &QTimer::timeout, [&] {
            stayedOpen = stayedOpen && dialog.isVisible();
            dialog.update();
        });
        repaints.start(5);
        // The event loop runs nowhere but inside the read: this arrives during it.
        QTimer::singleShot(300, &dialog, [&] {
            QWindow* window = dialog.windowHandle();
            const QPoint at = controls.Get<QPushButton>(kIdWriteFlash).geometry().center();
            if (close) {  // the window manager's request, and one the program makes
                QWindowSystemInterface::handleCloseEvent<Delivery>(window);
                dialog.close();
                return;
            }
            QWindowSystemInterface::handleMouseEvent<Delivery>(
                window, at, at, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress);
            QWindowSystemInterface::handleMouseEvent<Delivery>(
                window, at, at, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease);
        });
        controls.Get<QPushButton>(kIdOk).click();
        repaints.stop();
        EXPECT_EQ(agent.Requests().size(), kReadRequests);
        EXPECT_GE(counter.paints, static_cast<int>(kReadRequests));
        EXPECT_TRUE(stayedOpen);
        if (close) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }));
            EXPECT_EQ(dialog.result(), QDialog::Rejected);
        } else {
            ASSERT_TRUE(QTest::qWaitFor([&] { return agent.Requests().size() > kReadRequests; }));
            EXPECT_EQ(agent.Requests().back().pduType, 0xA3);  // the save, after the read
        }
    }
}

}  // namespace
}  // namespace tarnwick
