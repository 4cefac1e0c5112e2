// The main window's commands against a counting agent: the timeout's checks, Enter, Esc, the
// message boxes, the wait cursor, and the double-click on the VLAN list.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>
#include <functional>
#include <map>

#include "snmp/printable.h"
#include "tests/ui/ui_test_support.h"
#include "ui/dialog_ports_adapters.h"
#include "ui/framework/message_box.h"
#include "ui/framework/qt_translations.h"
#include "ui/tarnwick_dlg.h"
#include "ui/tarnwick_dlg_template.h"
#include "ui/window_texts.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

// Never the default address: nothing here may reach a real switch.
const QString kLoopbackAddress = QStringLiteral("127.0.0.1:9");

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        Field(kIdIpAddress).setText(kLoopbackAddress);
        m_dialog.show();
        QApplication::setActiveWindow(&m_dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_dialog));
    }

    QLineEdit& Field(int id) { return m_dialog.Controls().Get<QLineEdit>(id); }
    ReportListView& List(int id) { return m_dialog.Controls().Get<ReportListView>(id); }
    void PressRead() { m_dialog.Controls().Get<QPushButton>(kIdOk).click(); }

    test::CountingAgent m_agent;
    CTarnwickDlg m_dialog{m_agent, test::Skins()};
};

struct TimeoutCase {
    const char* name;
    const char* typed;
    QString prompt;  // empty: accepted
    std::int32_t timeout;
};

TEST(TimeoutFieldTest, OnlyIntegersFrom1000To10000PassAndAFailureTakesNoFieldAndStopsTheRead) {
    const QString range = QStringLiteral("请输入一个介于 1000 和 10000 之间的整数。");
    const QString integer = QStringLiteral("请输入一个整数。");
    const std::vector<TimeoutCase> cases = {
        {"lowest", "1000", {}, 1000},
        {"highest", "10000", {}, 10000},
        {"blanks around", " 2500 ", {}, 2500},
        {"one below", "999", range, 1000},
        {"one above", "10001", range, 1000},
        {"negative", "-1000", range, 1000},
        {"letters", "abc", integer, 1000},
        {"empty", "", integer, 1000},
        {"trailing letters", "1000ms", integer, 1000},
        {"beyond 32 bits", "4294968296", integer, 1000},
    };
    for (const TimeoutCase& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        test::CountingAgent agent;
        CTarnwickDlg dialog(agent, test::Skins());
        const DialogControls& controls = dialog.Controls();
        auto& timeout = controls.Get<QLineEdit>(kIdTimeout);
        controls.Get<QLineEdit>(kIdIpAddress).setText(kLoopbackAddress);
        controls.Get<QLineEdit>(kIdWriteCommunity).setText(QStringLiteral("secret"));
        controls.Get<QLineEdit>(kIdReadCommunity).setText(QStringLiteral("reader"));
        timeout.setText(QString::fromUtf8(testCase.typed));
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));

        test::MessageBoxCloser closer;
        controls.Get<QPushButton>(kIdOk).click();

        EXPECT_EQ(dialog.State().settings.timeout, testCase.timeout);
        if (testCase.prompt.isEmpty()) {
            EXPECT_EQ(dialog.State().settings.ipAddress, kLoopbackAddress.toStdString());
            EXPECT_EQ(dialog.State().settings.readCommunity, "reader");
            EXPECT_TRUE(closer.Boxes().empty());
            EXPECT_EQ(agent.walks, static_cast<int>(kColumnWalks.size()));
            EXPECT_EQ(dialog.State().settings.writeCommunity, "secret");
            continue;
        }
        ASSERT_EQ(closer.Boxes().size(), 1u);
        EXPECT_EQ(closer.Boxes()[0].text, testCase.prompt);
        // The program file's name, whatever it is: here the test program's.
        EXPECT_EQ(closer.Boxes()[0].caption, QStringLiteral(TARNWICK_UI_TEST_NAME));
        EXPECT_EQ(agent.walks, 0);
        EXPECT_EQ(dialog.State().settings.writeCommunity, "private");
        EXPECT_EQ(dialog.State().settings.readCommunity, "public");
        EXPECT_EQ(dialog.State().settings.ipAddress, DeviceSettings{}.ipAddress);
        // The field is the window's focus, and has it as soon as the window is active again.
        EXPECT_EQ(dialog.focusWidget(), &timeout);
        QApplication::setActiveWindow(&dialog);
        EXPECT_EQ(QApplication::focusWidget(), &timeout);
        EXPECT_EQ(timeout.selectedText(), timeout.text());
    }
}

TEST(QtChineseTextsTest, TheMessageBoxButtonReadsQueDing) {
    QTranslator translator;
    ASSERT_TRUE(InstallQtChineseTexts(translator));
    QString button;
    test::MessageBoxCloser closer(
        [&button](QMessageBox& box) { button = box.button(QMessageBox::Ok)->text(); });
    ShowMessageBox(nullptr, QStringLiteral("写入FLASH失败"));
    EXPECT_EQ(button, QStringLiteral("确定"));
}

TEST(QtMessageBoxTest, AVlanIdWithTagsInAMoveRefusalIsShownAsText) {
    MoveRefusal refusal;
    refusal.reason = MoveRefusal::Reason::PortBeyond;
    refusal.vlan = R"(0<img src="x"><font size=6>FAKE)";
    refusal.port = 1;
    Qt::TextFormat format = Qt::AutoText;
    test::MessageBoxCloser closer([&format](QMessageBox& box) { format = box.textFormat(); });
    QtMessageBox(nullptr).Show(MoveRefused{refusal, refusal.vlan, "2"});
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_TRUE(closer.Texts().at(0).startsWith(u"VLAN 0<img src=\"x\">"));
}

TEST_F(MainDialogTest, EnterInAFieldReadsAndTheDialogStaysOpen) {
    for (const int id : {kIdIpAddress, kIdReadCommunity, kIdTimeout, kIdWriteCommunity}) {
        SCOPED_TRACE(id);
        const int before = m_agent.walks;
        Field(id).setFocus();
        QTest::keyClick(&Field(id), Qt::Key_Return);
        EXPECT_EQ(m_agent.walks - before, static_cast<int>(kColumnWalks.size()));
        EXPECT_TRUE(m_dialog.isVisible());
    }
    EXPECT_EQ(m_agent.lastSettings.ipAddress, kLoopbackAddress.toStdString());
}

TEST_F(MainDialogTest, EscQuitButtonAndCloseBoxEndTheDialogWithoutReading) {
    const std::map<std::string, std::function<void()>> endings = {
        {"Esc", [this] { QTest::keyClick(m_dialog.focusWidget(), Qt::Key_Escape); }},
        {"退 出 程序", [this] { m_dialog.Controls().Get<QPushButton>(kIdCancel).click(); }},
        {"close box", [this] { m_dialog.close(); }},
    };
    for (const auto& [name, end] : endings) {
        SCOPED_TRACE(name);
        QTimer::singleShot(0, &m_dialog, end);
        // Bounds the run should the ending not work.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [this] { m_dialog.done(42); });
        guard.start(5000);
        EXPECT_EQ(m_dialog.exec(), QDialog::Rejected);
    }
    EXPECT_EQ(m_agent.walks, 0);
}

TEST_F(MainDialogTest, WaitCursorCoversEveryControlWhileBusyAndArrowOtherwise) {
    const auto shapesOver = [this] {
        return std::vector<Qt::CursorShape>{
            m_dialog.cursor().shape(), Field(kIdIpAddress).cursor().shape(),
            Field(kIdTimeout).cursor().shape(), List(kIdVlanList).viewport()->cursor().shape(),
            m_dialog.Controls().Find(kIdOk)->cursor().shape()};
    };
    const std::vector<Qt::CursorShape> arrows(5, Qt::ArrowCursor);
    const std::vector<Qt::CursorShape> waits(5, Qt::WaitCursor);
    EXPECT_EQ(shapesOver(), arrows);

    m_agent.onWalk = [](const WalkRequest&, WalkTable&) {
        return WalkOutcome{WalkOutcome::End::FirstRequestFailed, {-24, "Timeout"}};
    };
    std::vector<std::vector<Qt::CursorShape>> whileShown;
    std::vector<bool> busyWhileShown;
    test::MessageBoxCloser closer([&](QMessageBox&) {
        whileShown.push_back(shapesOver());
        busyWhileShown.push_back(m_dialog.State().busy);
    });
    PressRead();

    const std::vector<QString> expectedTexts = {
        QStringLiteral("读取if信息失败，请检查IP地址或共同体名!"),
        QStringLiteral("读取ifName信息失败，请检查IP地址或共同体名!"),
        QStringLiteral("读取Vlan信息失败，请检查IP地址或共同体名!"),
        QStringLiteral("读取VlanName信息失败，请检查IP地址或共同体名!"),
        QStringLiteral("读取VlanPorts信息失败，请检查IP地址或共同体名!"),
        QStringLiteral("读PortIfIndex取信息失败，请检查IP地址或共同体名!")};
    EXPECT_EQ(closer.Texts(), expectedTexts);
    EXPECT_EQ(whileShown, std::vector(kColumnWalks.size(), waits));
    EXPECT_EQ(busyWhileShown, std::vector(kColumnWalks.size(), true));
    EXPECT_EQ(shapesOver(), arrows);
    EXPECT_FALSE(m_dialog.State().busy);
    EXPECT_EQ(List(kIdVlanList).model()->rowCount(), 0);
}

TEST_F(MainDialogTest, WriteFlashTakesTheFieldsAndSendsOneSavePerPress) {
    m_agent.setStatus = {SetOutcome::NoResponse, {-24, "Timeout"}};
    Field(kIdWriteCommunity).setText(QStringLiteral("edited"));
    bool busyWhileShown = false;
    test::MessageBoxCloser closer([&](QMessageBox&) { busyWhileShown = m_dialog.State().busy; });
    for (int press = 1; press <= 2; ++press) {
        m_dialog.Controls().Get<QPushButton>(kIdWriteFlash).click();
        EXPECT_EQ(m_agent.sets, press);
    }
    EXPECT_EQ(m_agent.lastSettings.writeCommunity, "edited");
    EXPECT_EQ(m_agent.walks, 0);
    // The box breaks the line where the text has CR LF.
    EXPECT_EQ(closer.Texts(),
              std::vector<QString>(2, QStringLiteral("保存信息失败，请检查IP地址或共同体名! \n"
                                                     "错误信息: Timeout")));
    EXPECT_TRUE(busyWhileShown);
    EXPECT_FALSE(m_dialog.State().busy);
}

// VLANs 1 and 10; VLAN 10 holds ports 2 and 3 (octet 0 = 0x06), which are ifIndex 6 and 7.
WalkOutcome TwoVlanSwitch(const WalkRequest& request, WalkTable& table) {
    const std::string_view column = request.columnOid;
    const std::string ports = std::string(kVlanPortsColumn) + ".";
    const std::string portIfIndex = std::string(kPortIfIndexColumn) + ".";
    const std::string ifName = std::string(kIfNameColumn) + ".";
    if (column == kVlanIdColumn) {
        table = {"1", "10"};
    } else if (column == kVlanNameColumn) {
        table = {"default", "office"};
        if (request.instances) {
            *request.instances = {"1", "10"};
        }
    } else if (column == kVlanPortsColumn) {
        table = {ports + "1-" + HexDump(std::string("\x01", 1)),
                 ports + "10-" + HexDump(std::string("\x06", 1))};
    } else if (column == kPortIfIndexColumn) {
        table = {portIfIndex + "1-5", portIfIndex + "2-6", portIfIndex + "3-7"};
    } else if (column == kIfNameColumn) {
        table = {ifName + "6-GigabitEthernet0/0/2", ifName + "7-GigabitEthernet0/0/3"};
    }
    return {};
}

TEST_F(MainDialogTest, DoubleClickOnAVlanListsItsPortsAndOnEmptySpaceReachesTheHandler) {
    m_agent.onWalk = TwoVlanSwitch;
    PressRead();
    ReportListView& vlans = List(kIdVlanList);
    ReportListView& interfaces = List(kIdInterfaceList);
    ASSERT_EQ(vlans.model()->rowCount(), 2);

    const QPoint vlan10 = vlans.visualRect(vlans.model()->index(1, 0)).center();
    QTest::mouseClick(vlans.viewport(), Qt::LeftButton, {}, vlan10);
    QTest::mouseDClick(vlans.viewport(), Qt::LeftButton, {}, vlan10);
    ASSERT_EQ(interfaces.model()->rowCount(), 2);
    EXPECT_EQ(interfaces.Model().Text(0, 0), QStringLiteral("2"));
    EXPECT_EQ(interfaces.Model().Text(0, 1), QStringLiteral("6"));
    EXPECT_EQ(interfaces.Model().Text(0, 2), QStringLiteral("GigabitEthernet0/0/2"));
    EXPECT_EQ(interfaces.Model().Text(1, 0), QStringLiteral("3"));

    QSignalSpy doubleClicks(&vlans, &ReportListView::listDoubleClicked);
    ASSERT_TRUE(doubleClicks.isValid());
    const QPoint empty(5, vlans.viewport()->height() - 5);
    ASSERT_FALSE(vlans.indexAt(empty).isValid());
    QTest::mouseDClick(vlans.viewport(), Qt::LeftButton, {}, empty);
    EXPECT_EQ(doubleClicks.count(), 1);
    // Nothing selected now: the member view keeps what it showed.
    EXPECT_EQ(interfaces.model()->rowCount(), 2);
}

}  // namespace
}  // namespace tarnwick
