// The member view of a VLAN and the instance lookups it rests on.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/vlan/fakes.h"
#include "vlan/indexed_lookup.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

using fakes::FakeDialog;
using Rows = std::vector<std::vector<std::string>>;

// The VLAN's row as the walk stores it: the bitmap's octets in hex ("04 00"), then the rendering.
std::string PortsRow(const std::string& vlan, const std::string& hexOctets) {
    return std::string(kVlanPortsColumn) + "." + vlan + "-  " + hexOctets + "   ....\n";
}

std::string PortIndexRow(int port, const std::string& ifIndex) {
    return std::string(kPortIfIndexColumn) + "." + std::to_string(port) + "-" + ifIndex;
}

std::string NameRow(const std::string& ifIndex, const std::string& name) {
    return std::string(kIfNameColumn) + "." + ifIndex + "-" + name;
}

// VLANs 1, 10 and 100; ports 1 to 24 are interfaces 101 to 124, named GE0/0/<port>.
void LoadSwitch(FakeDialog& dialog) {
    VlanTables& tables = dialog.state.tables;
    tables.vlanIdTable = {"1", "10", "100"};
    tables.vlanNameTable = {"default", "office", "servers"};
    tables.vlanNameInstances = {"1", "10", "100"};
    tables.vlanPortsTable = {PortsRow("10", "04 00 00 00"), PortsRow("1", "03 80 00 00"),
                             PortsRow("100", "08 00 00 00")};
    for (int port = 24; port >= 1; --port) {
        const std::string ifIndex = std::to_string(100 + port);
        tables.portIfIndexTable.push_back(PortIndexRow(port, ifIndex));
        tables.ifNameTable.push_back(NameRow(ifIndex, "GE0/0/" + std::to_string(port)));
    }
    dialog.logic.FillVlanList();
}

void DoubleClick(FakeDialog& dialog, int vlanRow) {
    dialog.vlanList.Select({vlanRow});
    dialog.logic.OnDblclkVlanList();
}

std::vector<std::string> PortColumn(const FakeDialog& dialog) {
    std::vector<std::string> ports;
    for (const auto& row : dialog.interfaceList.Rows()) {
        ports.push_back(row.front());
    }
    return ports;
}

struct SelectionCase {
    const char* name;
    std::vector<int> selected;
    friend void PrintTo(const SelectionCase& c, std::ostream* os) { *os << c.name; }
};

class MemberViewWithoutOneSelection : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(MemberViewWithoutOneSelection, LeavesTheInterfaceListAsItWas) {
    FakeDialog dialog;
    LoadSwitch(dialog);
    dialog.interfaceList.InsertItem(0, "7");
    dialog.state.memberRowCounter = 1;
    dialog.vlanList.Select(GetParam().selected);

    dialog.logic.OnDblclkVlanList();

    EXPECT_EQ(dialog.interfaceList.Rows(), Rows{{"7"}});
    EXPECT_EQ(dialog.state.memberRowCounter, 1);
}

INSTANTIATE_TEST_SUITE_P(Selections, MemberViewWithoutOneSelection,
                         ::testing::Values(SelectionCase{"None", {}}, SelectionCase{"Two", {0, 1}}),
                         [](const auto& c) { return std::string(c.param.name); });

struct KeyCase {
    int vlanRow;
    std::vector<std::string> ports;
    friend void PrintTo(const KeyCase& c, std::ostream* os) { *os << "row " << c.vlanRow; }
};

class MemberViewKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(MemberViewKeys, ListOnlyThePortsOfTheSelectedVlan) {
    FakeDialog dialog;
    LoadSwitch(dialog);

    DoubleClick(dialog, GetParam().vlanRow);

    EXPECT_EQ(PortColumn(dialog), GetParam().ports);
    EXPECT_EQ(dialog.state.memberRowCounter, static_cast<int>(GetParam().ports.size()));
}

INSTANTIATE_TEST_SUITE_P(Vlans1And10And100, MemberViewKeys,
                         ::testing::Values(KeyCase{0, {"1", "2", "16"}}, KeyCase{1, {"3"}},
                                           KeyCase{2, {"4"}}));

TEST(MemberView, ListsPortsAscendingWithInterfaceIndexAndName) {
    FakeDialog dialog;
    LoadSwitch(dialog);

    DoubleClick(dialog, 0);

    EXPECT_EQ(dialog.interfaceList.Rows(),
              (Rows{{"1", "101", "GE0/0/1"}, {"2", "102", "GE0/0/2"}, {"16", "116", "GE0/0/16"}}));
}

TEST(MemberView, MissingRowsLeaveCellsEmptyAndTheNextPortTakesTheNextRow) {
    FakeDialog dialog;
    VlanTables& tables = dialog.state.tables;
    tables.vlanIdTable = {"5"};
    tables.vlanPortsTable = {PortsRow("5", "70 00 00 00")};
    tables.portIfIndexTable = {PortIndexRow(5, "205"), PortIndexRow(7, "207")};
    tables.ifNameTable = {NameRow("205", "GE0/0/5")};
    dialog.logic.FillVlanList();

    DoubleClick(dialog, 0);

    EXPECT_EQ(dialog.interfaceList.Rows(), (Rows{{"5", "205", "GE0/0/5"}, {"6"}, {"7", "207"}}));
    EXPECT_EQ(dialog.state.memberRowCounter, 3);
}

TEST(MemberView, ValuesAreTrimmedAndTheNameIsLookedUpByTheTrimmedIndex) {
    FakeDialog dialog;
    VlanTables& tables = dialog.state.tables;
    tables.vlanIdTable = {"5"};
    tables.vlanPortsTable = {PortsRow("5", "10 00 00 00")};
    tables.portIfIndexTable = {PortIndexRow(15, "215"), PortIndexRow(5, " \t205 \r\n")};
    tables.ifNameTable = {NameRow("3", "lab.205-uplink"), NameRow("205", "  GE0/0/5\r\n")};
    dialog.logic.FillVlanList();

    DoubleClick(dialog, 0);

    EXPECT_EQ(dialog.interfaceList.Rows(), (Rows{{"5", "205", "GE0/0/5"}}));
}

TEST(MemberView, EveryRowHoldingTheVlanKeyIsDecodedInTableOrder) {
    FakeDialog dialog;
    VlanTables& tables = dialog.state.tables;
    tables.vlanIdTable = {"7"};
    tables.vlanPortsTable = {PortsRow("7", "00 09 00 00"), PortsRow("70", "01 00 00 00"),
                             PortsRow("7", "02 01 00 00")};
    dialog.logic.FillVlanList();

    DoubleClick(dialog, 0);

    EXPECT_EQ(PortColumn(dialog), (std::vector<std::string>{"9", "12", "2", "9"}));
}

TEST(MemberView, TheVlanIdIsUsedUntrimmedAndAMissingVlanEmptiesTheList) {
    FakeDialog dialog;
    LoadSwitch(dialog);
    dialog.interfaceList.InsertItem(0, "old");
    dialog.vlanList.SetItemText(0, 0, "1 ");

    DoubleClick(dialog, 0);

    EXPECT_EQ(dialog.interfaceList.RowCount(), 0);
    EXPECT_EQ(dialog.state.memberRowCounter, 0);
}

TEST(MemberView, StaysInViewAfterANewReadUntilTheNextDoubleClick) {
    FakeDialog dialog;
    LoadSwitch(dialog);
    DoubleClick(dialog, 0);
    const Rows shown = dialog.interfaceList.Rows();

    dialog.snmp.columns[std::string(kVlanIdColumn)] = {{"100"}};
    dialog.snmp.columns[std::string(kVlanPortsColumn)] = {{PortsRow("100", "08 00 00 00")}};
    dialog.snmp.columns[std::string(kPortIfIndexColumn)] = {{PortIndexRow(4, "404")}};
    dialog.logic.ReadDevice();
    EXPECT_EQ(dialog.interfaceList.Rows(), shown);

    DoubleClick(dialog, 0);
    EXPECT_EQ(dialog.interfaceList.Rows(), (Rows{{"4", "404"}}));
    EXPECT_EQ(dialog.state.memberRowCounter, 1);
}

// Rows built to trip a lookup: suffixes that look alike, dashes and dots in values, rows without
// a "-" or without a ".", empty and blank instances, padding.
const WalkTable kTrickyTable = {
    "1.3.6.1.2.1.31.1.1.1.1.15-eth15",
    "1.3.6.1.2.1.31.1.1.1.1.3-name.5-evil",
    "1.3.6.1.2.1.31.1.1.1.1.5-eth5",
    "1.3.6.1.2.1.31.1.1.1.1.5-second",
    "no dash.7",
    "nodots-value",
    "1.3.6.1.2.1.31.1.1.1.1.-empty index",
    "1.3.6.1.2.1.31.1.1.1.1. 9 -blank index",
    "1.3.6.1.4.1.9.1.2-two components",
    "-leading dash.4-",
    ".8-x",
    "1.3.6.1.2.1.31.1.1.1.1.6- \t padded \r\n\v\f",
    "1.3.6.1.2.1.31.1.1.1.1.10-a-b-c",
    "1.3.6.1.2.1.31.1.1.1.1.11-",
};

struct LookupCase {
    const char* name;
    std::string index;
    std::optional<std::string> value;
    friend void PrintTo(const LookupCase& c, std::ostream* os) { *os << c.name; }
};

class FindIndexedValueCases : public ::testing::TestWithParam<LookupCase> {};

TEST_P(FindIndexedValueCases, MatchesTheOidPartOnlyAndTrims) {
    const LookupCase& c = GetParam();
    EXPECT_EQ(FindIndexedValue(kTrickyTable, c.index), c.value);
    EXPECT_EQ(IndexedRows(kTrickyTable).Find(c.index), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, FindIndexedValueCases,
    ::testing::Values(
        LookupCase{"NotTheLongerSuffix", "5", "eth5"}, LookupCase{"LongerSuffix", "15", "eth15"},
        LookupCase{"ValueKeepsItsDashes", "3", "name.5-evil"},
        LookupCase{"RowWithoutDash", "7", std::nullopt},
        LookupCase{"DashInValueIsNoKey", "4", std::nullopt},
        LookupCase{"EmptyIndex", "", "empty index"}, LookupCase{"BlankIndex", " 9 ", "blank index"},
        LookupCase{"TwoComponents", "1.2", "two components"},
        LookupCase{"WholeOid", "1.3.6.1.4.1.9.1.2", std::nullopt},
        LookupCase{"DotOnlyPrefix", "8", "x"}, LookupCase{"Padded", "6", "padded"},
        LookupCase{"EmptyValue", "11", ""}, LookupCase{"IndexWithDash", "5-", std::nullopt},
        LookupCase{"Absent", "99", std::nullopt}),
    [](const auto& c) { return std::string(c.param.name); });

// Every suffix of every row that could be an index text, and a few that could not.
std::set<std::string> CandidateIndexes(const WalkTable& table) {
    std::set<std::string> indexes = {"", " ", "5-", "-", ".", "..", "1.", "x"};
    for (const std::string& row : table) {
        for (std::size_t i = 0; i <= row.size(); ++i) {
            indexes.insert(row.substr(i));
            indexes.insert(row.substr(0, i));
        }
    }
    return indexes;
}

TEST(IndexedRows, AnswersAsFindIndexedValueForEveryIndexText) {
    const IndexedRows indexed(kTrickyTable);
    for (const std::string& index : CandidateIndexes(kTrickyTable)) {
        ASSERT_EQ(indexed.Find(index), FindIndexedValue(kTrickyTable, index))
            << '"' << index << '"';
    }
}

}  // namespace
}  // namespace tarnwick
