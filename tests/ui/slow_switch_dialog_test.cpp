// The main window while a command waits for a slow switch: it goes on painting, and the click
// and the close request that arrive meanwhile are handled only once the command has ended.
#include <gtest/gtest.h>
#include <qpa/qwindowsysteminterface.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <thread>

#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"
#include "tests/snmp/scripted_agent.h"
#include "tests/ui/ui_test_support.h"
#include "ui/framework/modal_command.h"
#include "ui/tarnwick_dlg.h"
#include "ui/tarnwick_dlg_template.h"

namespace tarnwick {
namespace {

using Delivery = QWindowSystemInterface::AsynchronousDelivery;

// Three ifIndex rows, then every walk leaves its column: nine GETNEXTs of 150 ms each.
constexpr int kReadRequests = 9;
test::ScriptedAnswer SlowSwitch(int number, const test::ReceivedRequest&) {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    const bool row = number < 3;
    const std::string oid = row ? "1.3.6.1.2.1.2.2.1.1." + std::to_string(number + 1) : "1.3.6.1.9";
    return {false, 0, test::Oid(oid), "1"};
}

// Counts the dialog's paints and the longest time between two ticks of a 5 ms timer.
struct PaintWatch : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
    int paints = 0;
    qint64 longestGap = 0;
};

TEST(SlowSwitchDialogTest, WindowPaintsWhileReadingAndQueuedInputAndCloseWaitForTheEnd) {
    InitSnmpLibrary();
    enum Queued { Click, Close };
    for (const Queued queued : {Click, Close}) {
        SCOPED_TRACE(queued == Click ? "click on 写入FLASH" : "close request");
        test::ScriptedAgent agent(SlowSwitch);
        NetSnmpAgent snmp(ServeWindowWhileWaiting);
        CTarnwickDlg dialog(snmp, test::Skins());
        const DialogControls& controls = dialog.Controls();
        controls.Get<QLineEdit>(kIdIpAddress).setText(QString::fromStdString(agent.Address()));
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

        PaintWatch watch;
        dialog.installEventFilter(&watch);
        QElapsedTimer sinceTick;
        bool stayedOpen = true;
        bool sent = false;
        QTimer ticks;
        QObject::connect(&ticks, &QTimer::timeout, [&] {
            watch.longestGap = std::max(watch.longestGap, sinceTick.restart());
            stayedOpen = stayedOpen && dialog.isVisible();
            dialog.update();
            if (sent || agent.Requests().size() != 2) {
                return;
            }
            sent = true;
            QWindow* window = dialog.windowHandle();
            if (queued == Close) {
                // The window manager's request, and one the program makes from inside the wait.
                QWindowSystemInterface::handleCloseEvent<Delivery>(window);
                dialog.close();
                return;
            }
            const QPoint at = controls.Get<QPushButton>(kIdWriteFlash).geometry().center();
            for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                const Qt::MouseButtons held(type == QEvent::MouseButtonPress ? Qt::LeftButton
                                                                             : Qt::NoButton);
                QWindowSystemInterface::handleMouseEvent<Delivery>(
                    window, at, window->mapToGlobal(at), held, Qt::LeftButton, type);
            }
        });
        sinceTick.start();
        ticks.start(5);
        controls.Get<QPushButton>(kIdOk).click();
        ticks.stop();

        EXPECT_EQ(agent.Requests().size(), std::size_t{kReadRequests});
        EXPECT_GE(watch.paints, kReadRequests);
        EXPECT_TRUE(stayedOpen);
        std::printf("%d paints; the event loop went at most %lld ms unserved\n", watch.paints,
                    watch.longestGap);
        if (queued == Click) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return agent.Requests().size() > kReadRequests; }));
            EXPECT_EQ(agent.Requests().back().pduType, 0xA3);  // the save, after the read
            EXPECT_TRUE(dialog.isVisible());
        } else {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }));
            EXPECT_EQ(dialog.result(), QDialog::Rejected);
        }
    }
}

}  // namespace
}  // namespace tarnwick
