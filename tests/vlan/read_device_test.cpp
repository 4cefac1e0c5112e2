// The Read command: its order, the six walks and their messages, the VLAN list it fills.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/vlan/fakes.h"
#include "vlan/vlan_tables.h"
#include "vlan/walk_column.h"

namespace tarnwick {
namespace {

using fakes::FakeDialog;
using fakes::FakeSnmpAgent;
using fakes::Journal;
using End = WalkOutcome::End;

std::vector<std::string> AllColumns() {
    std::vector<std::string> oids;
    for (const ColumnWalk& walk : kColumnWalks) {
        oids.emplace_back(walk.column->oid);
    }
    return oids;
}

// "<column>.<instance>-<value>", as a walk stores a row.
std::string Row(std::string_view column, std::string_view instanceAndValue) {
    return std::string(column) + "." + std::string(instanceAndValue);
}

// A small switch: two interfaces, VLANs 1 and 10 with names, their bitmaps, two ports.
void AnswerAsSmallSwitch(FakeSnmpAgent& snmp) {
    snmp.columns[std::string(kIfIndexColumn)] = {{"1", "2"}};
    snmp.columns[std::string(kIfNameColumn)] = {
        {Row(kIfNameColumn, "1-GE0/0/1"), Row(kIfNameColumn, "2-GE0/0/2")}};
    snmp.columns[std::string(kVlanIdColumn)] = {{"1", "10"}};
    snmp.columns[std::string(kVlanNameColumn)] = {{"default", "office"}, {}, {"1", "10"}};
    snmp.columns[std::string(kVlanPortsColumn)] = {
        {Row(kVlanPortsColumn, "1-  01  .\n"), Row(kVlanPortsColumn, "10-  02  .\n")}};
    snmp.columns[std::string(kPortIfIndexColumn)] = {
        {Row(kPortIfIndexColumn, "1-1"), Row(kPortIfIndexColumn, "2-2")}};
}

using Items = std::vector<std::vector<std::string>>;

TEST(ReadDevice, TakesFieldsClearsVlanListSetsWaitCursorWalksInOrderThenResets) {
    Journal journal;
    FakeDialog dialog(&journal);
    AnswerAsSmallSwitch(dialog.snmp);

    dialog.logic.ReadDevice();

    Journal expected = {"fields taken", "vlanList cleared", "cursor wait"};
    for (const std::string& oid : AllColumns()) {
        expected.push_back("walk " + oid);
    }
    expected.push_back("cursor arrow");
    EXPECT_EQ(journal, expected);
    EXPECT_FALSE(dialog.state.busy);
}

TEST(ReadDevice, StoresEachColumnInItsOwnTable) {
    FakeDialog dialog;
    AnswerAsSmallSwitch(dialog.snmp);

    dialog.logic.ReadDevice();

    for (const ColumnWalk& walk : kColumnWalks) {
        const std::string oid(walk.column->oid);
        EXPECT_EQ(dialog.state.tables.*walk.table, dialog.snmp.columns[oid].rows) << oid;
    }
    EXPECT_TRUE(dialog.messages.shown.empty());
}

TEST(ReadDevice, UnreachableSwitchShowsTheSixMessagesInWalkOrder) {
    Journal journal;
    FakeDialog dialog(&journal);
    dialog.snmp.Unreachable(AllColumns());

    dialog.logic.ReadDevice();

    Journal walksAndMessages;
    std::copy_if(
        journal.begin(), journal.end(), std::back_inserter(walksAndMessages),
        [](const std::string& e) { return e.starts_with("walk ") || e.starts_with("message "); });
    const Journal expected = {
        "walk 1.3.6.1.2.1.2.2.1.1",
        "message 读取if信息失败，请检查IP地址或共同体名!",
        "walk 1.3.6.1.2.1.31.1.1.1.1",
        "message 读取ifName信息失败，请检查IP地址或共同体名!",
        "walk 1.3.6.1.4.1.2011.2.23.1.2.1.1.1.1",
        "message 读取Vlan信息失败，请检查IP地址或共同体名!",
        "walk 1.3.6.1.4.1.2011.2.23.1.2.1.1.1.2",
        "message 读取VlanName信息失败，请检查IP地址或共同体名!",
        "walk 1.3.6.1.4.1.2011.2.23.1.2.1.1.1.3",
        "message 读取VlanPorts信息失败，请检查IP地址或共同体名!",
        "walk 1.3.6.1.4.1.2011.2.23.1.18.4.5.1.3",
        "message 读PortIfIndex取信息失败，请检查IP地址或共同体名!",
    };
    EXPECT_EQ(walksAndMessages, expected);
    EXPECT_EQ(dialog.vlanList.RowCount(), 0);
    for (const ColumnWalk& walk : kColumnWalks) {
        EXPECT_TRUE((dialog.state.tables.*walk.table).empty()) << walk.column->oid;
    }
}

TEST(ReadDevice, EmptiesEveryTableBeforeTheFirstWalk) {
    FakeDialog dialog;
    for (const ColumnWalk& walk : kColumnWalks) {
        dialog.state.tables.*walk.table = {"stale row"};
    }
    AnswerAsSmallSwitch(dialog.snmp);

    dialog.logic.ReadDevice();

    for (const FakeSnmpAgent::WalkCall& call : dialog.snmp.walks) {
        EXPECT_EQ(call.rowsBefore, 0U) << call.columnOid;
    }
    for (const ColumnWalk& walk : kColumnWalks) {
        const WalkTable& table = dialog.state.tables.*walk.table;
        EXPECT_EQ(std::count(table.begin(), table.end(), "stale row"), 0) << walk.column->oid;
    }
}

struct WalkEndCase {
    const char* name;
    End end;
    std::size_t messages;
    std::size_t rowsKept;
    friend void PrintTo(const WalkEndCase& c, std::ostream* os) { *os << c.name; }
};

class WalkColumnEnds : public ::testing::TestWithParam<WalkEndCase> {};

TEST_P(WalkColumnEnds, ShowsTheMessageOnceOnFailureAndKeepsTheRowsSoFar) {
    Journal journal;
    FakeSnmpAgent snmp(&journal);
    fakes::FakeMessageBox messages(&journal);
    snmp.columns["1.2.3"] = {{"a", "b"}, GetParam().end};
    VlanTables tables;
    const WalkTable& table = tables.ifIndexTable = {"before"};
    const MibColumn column{ColumnRole::IfIndex, "1.2.3", "test column"};
    const ColumnWalk walk{&VlanTables::ifIndexTable, &column};

    ShowingFailures(messages)(WalkColumn(snmp, DeviceSettings{}, walk, tables));

    EXPECT_EQ(messages.shown.size(), GetParam().messages);
    if (!messages.shown.empty()) {
        EXPECT_EQ(messages.shown.front(), "读取if信息失败，请检查IP地址或共同体名!");
    }
    EXPECT_EQ(table.size(), 1 + GetParam().rowsKept);
    EXPECT_EQ(table.front(), "before");
}

INSTANTIATE_TEST_SUITE_P(Outcomes, WalkColumnEnds,
                         ::testing::Values(WalkEndCase{"Complete", End::Complete, 0, 2},
                                           WalkEndCase{"FirstRequestFailed",
                                                       End::FirstRequestFailed, 1, 0},
                                           WalkEndCase{"GaveUpMidWalk", End::GaveUpMidWalk, 1, 2},
                                           WalkEndCase{"BadAnswer", End::BadAnswer, 1, 2},
                                           WalkEndCase{"TooManyRows", End::TooManyRows, 1, 2},
                                           WalkEndCase{"TooLarge", End::TooLarge, 1, 2}),
                         [](const auto& c) { return std::string(c.param.name); });

TEST(FillVlanList, PairsIdsAndNamesByInstance) {
    FakeDialog dialog;
    dialog.state.tables.vlanIdTable = {"1", "100", "10"};
    dialog.state.tables.vlanNameTable = {"default", "office", "servers"};
    dialog.state.tables.vlanNameInstances = {"1", "10", "100"};

    dialog.logic.FillVlanList();

    EXPECT_EQ(dialog.vlanList.Rows(),
              Items({{"1", "default"}, {"100", "servers"}, {"10", "office"}}));
}

// A VLAN without a name row shows none, and the later VLANs keep their own names; it is offered
// for a move like the others.
TEST(FillVlanList, AVlanWithoutANameRowShowsNoNameAndIsOffered) {
    FakeDialog dialog;
    dialog.state.tables.vlanIdTable = {"1", "2", "3"};
    dialog.state.tables.vlanNameTable = {"default", "three"};
    dialog.state.tables.vlanNameInstances = {"1", "3"};

    dialog.logic.FillVlanList();
    dialog.interfaceList.InsertItem(0, "5");
    dialog.interfaceList.Select({0});
    dialog.logic.OnDblclkInterfaceList();

    EXPECT_EQ(dialog.vlanList.Rows(), Items({{"1", "default"}, {"2", ""}, {"3", "three"}}));
    EXPECT_EQ(dialog.vlanSelection.offered,
              (std::vector<std::string>{"1/default", "2/", "3/three"}));
}

TEST(ReadDevice, NoVlanIdsLeaveTheVlanListEmptyWithoutAMessage) {
    FakeDialog dialog;
    AnswerAsSmallSwitch(dialog.snmp);
    dialog.snmp.columns.erase(std::string(kVlanIdColumn));
    dialog.vlanList.InsertItem(0, "old");

    dialog.logic.ReadDevice();

    EXPECT_EQ(dialog.vlanList.RowCount(), 0);
    EXPECT_TRUE(dialog.messages.shown.empty());
    EXPECT_EQ(dialog.state.tables.vlanNameTable.size(), 2U);
}

TEST(ReadDevice, ASecondReadReplacesTablesAndVlanItemsButNotTheInterfaceList) {
    FakeDialog dialog;
    AnswerAsSmallSwitch(dialog.snmp);
    dialog.logic.ReadDevice();
    dialog.vlanList.Select({1});
    dialog.interfaceList.InsertItem(0, "7");

    dialog.snmp.columns[std::string(kVlanIdColumn)] = {{"20"}};
    dialog.snmp.columns[std::string(kVlanNameColumn)] = {{"lab"}, {}, {"20"}};
    dialog.snmp.columns[std::string(kIfIndexColumn)] = {{"9"}};
    dialog.logic.ReadDevice();

    EXPECT_EQ(dialog.vlanList.Rows(), Items({{"20", "lab"}}));
    EXPECT_EQ(dialog.vlanList.SelectedCount(), 0);
    EXPECT_EQ(dialog.state.tables.ifIndexTable, WalkTable{"9"});
    EXPECT_EQ(dialog.state.tables.vlanPortsTable.size(), 2U);
    EXPECT_EQ(dialog.interfaceList.Rows(), Items({{"7"}}));
}

struct ReadPathCase {
    const char* name;
    void (*answer)(FakeSnmpAgent&);
    friend void PrintTo(const ReadPathCase& c, std::ostream* os) { *os << c.name; }
};

class ReadDevicePaths : public ::testing::TestWithParam<ReadPathCase> {};

TEST_P(ReadDevicePaths, WaitCursorAndBusyDuringWalksArrowAndIdleAfter) {
    FakeDialog dialog;
    GetParam().answer(dialog.snmp);

    dialog.logic.ReadDevice();

    ASSERT_EQ(dialog.snmp.walks.size(), 6U);
    for (const FakeSnmpAgent::WalkCall& call : dialog.snmp.walks) {
        EXPECT_TRUE(call.busy) << call.columnOid;
    }
    EXPECT_EQ(dialog.cursor.shapes, (std::vector{CursorShape::Wait, CursorShape::Arrow}));
    EXPECT_FALSE(dialog.state.busy);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ReadDevicePaths,
    ::testing::Values(ReadPathCase{"VlansListed", AnswerAsSmallSwitch},
                      ReadPathCase{"NoInstances", [](FakeSnmpAgent&) {}},
                      ReadPathCase{"Unreachable",
                                   [](FakeSnmpAgent& snmp) { snmp.Unreachable(AllColumns()); }},
                      ReadPathCase{"StalledMidWalk",
                                   [](FakeSnmpAgent& snmp) {
                                       AnswerAsSmallSwitch(snmp);
                                       snmp.columns[std::string(kVlanIdColumn)].end =
                                           End::GaveUpMidWalk;
                                   }}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(ReadDevice, RefusedFieldsStopTheReadBeforeAnythingChanges) {
    Journal journal;
    FakeDialog dialog(&journal);
    AnswerAsSmallSwitch(dialog.snmp);
    dialog.fields.accept = false;
    dialog.vlanList.InsertItem(0, "1");
    dialog.state.tables.vlanIdTable = {"1"};

    dialog.logic.ReadDevice();

    EXPECT_EQ(journal, Journal{"fields refused"});
    EXPECT_TRUE(dialog.snmp.walks.empty());
    EXPECT_EQ(dialog.vlanList.Rows(), Items({{"1"}}));
    EXPECT_EQ(dialog.state.tables.vlanIdTable, WalkTable{"1"});
    EXPECT_TRUE(dialog.cursor.shapes.empty());
    EXPECT_FALSE(dialog.state.busy);
}

}  // namespace
}  // namespace tarnwick
