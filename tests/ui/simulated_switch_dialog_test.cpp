// The main window against the simulated switch over loopback: Read, then a VLAN's member ports.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"
#include "tests/support/start_switch.h"
#include "tests/ui/ui_test_support.h"
#include "ui/tarnwick_dlg.h"
#include "ui/tarnwick_dlg_template.h"

namespace tarnwick {
namespace {

using Rows = std::vector<std::vector<QString>>;

Rows RowsOf(const ReportListView& list) {
    Rows rows;
    for (int row = 0; row < list.model()->rowCount(); ++row) {
        std::vector<QString> cells;
        for (int column = 0; column < list.model()->columnCount(); ++column) {
            cells.push_back(list.Model().Text(row, column));
        }
        rows.push_back(cells);
    }
    return rows;
}

class SimulatedSwitchDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitSnmpLibrary();
        m_switch = test::StartSwitch(test::SimulatedSwitch::Variant::Standard);
        ASSERT_NE(m_switch, nullptr);
        m_dialog.Controls()
            .Get<QLineEdit>(kIdIpAddress)
            .setText(QString::fromStdString(m_switch->Address()));
        m_dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_dialog));
    }

    ReportListView& List(int id) { return m_dialog.Controls().Get<ReportListView>(id); }

    void DoubleClickVlanRow(int row) {
        ReportListView& vlanList = List(kIdVlanList);
        const QPoint cell = vlanList.visualRect(vlanList.model()->index(row, 1)).center();
        QTest::mouseClick(vlanList.viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(vlanList.viewport(), Qt::LeftButton, {}, cell);
    }

    static Rows MemberRows(std::initializer_list<int> ports) {
        Rows rows;
        for (const int port : ports) {
            rows.push_back({QString::number(port), QString::number(port + 4),
                            QStringLiteral("GigabitEthernet0/0/%1").arg(port)});
        }
        return rows;
    }

    std::unique_ptr<test::SimulatedSwitch> m_switch;
    NetSnmpAgent m_agent;
    CTarnwickDlg m_dialog{m_agent, test::Skins()};
};

TEST_F(SimulatedSwitchDialogTest, ReadFillsTheTablesAndDoubleClicksListMemberPorts) {
    test::MessageBoxCloser closer;
    m_dialog.Controls().Get<QPushButton>(kIdOk).click();
    EXPECT_TRUE(closer.Texts().empty());

    const Rows vlans = {
        {QStringLiteral("1"), QStringLiteral("default")},
        {QStringLiteral("2"), QStringLiteral("mgmt")},
        {QStringLiteral("10"), QStringLiteral("office")},
        {QStringLiteral("20"), QStringLiteral("lab-net")},
        {QStringLiteral("30"), QStringLiteral("printers")},
        {QStringLiteral("40"), QStringLiteral("办公网")},
        {QStringLiteral("50"), QStringLiteral("stack")},
        {QStringLiteral("60"), QStringLiteral("语音")},
        {QStringLiteral("100"), QStringLiteral("voice")},
    };
    ASSERT_EQ(RowsOf(List(kIdVlanList)), vlans);

    const VlanTables& tables = m_dialog.State().tables;
    EXPECT_EQ(tables.ifIndexTable.size(), 52U);
    EXPECT_EQ(tables.ifNameTable.size(), 52U);
    EXPECT_EQ(tables.vlanIdTable.size(), 9U);
    EXPECT_EQ(tables.vlanNameTable.size(), 9U);
    EXPECT_EQ(tables.vlanPortsTable.size(), 9U);
    EXPECT_EQ(tables.portIfIndexTable.size(), 48U);

    DoubleClickVlanRow(2);
    EXPECT_EQ(RowsOf(List(kIdInterfaceList)),
              MemberRows({10, 11, 12, 13, 14, 15, 16, 41, 42, 43, 44, 45, 46, 47, 48}));

    // VLAN 30's bitmap octets are all printable characters; it still lists its ports.
    DoubleClickVlanRow(4);
    EXPECT_EQ(RowsOf(List(kIdInterfaceList)), MemberRows({7, 14, 22, 30, 38, 46}));
}

}  // namespace
}  // namespace tarnwick
