// The inventory's members of many VLANs at once agree with the member view's rule, VLAN by VLAN.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "snmp/printable.h"
#include "tests/vlan/fakes.h"
#include "vlan/indexed_lookup.h"
#include "vlan/member_ports.h"
#include "vlan/port_bitmap.h"
#include "vlan/q_bridge_tables.h"

namespace tarnwick {
namespace {

std::string Key(const std::string& vlan) {
    return std::string(kVlanPortsColumn) + "." + vlan + "-";
}

// The rule as the member view states it: every row whose OID part (up to its first "-") is the
// VLAN's VlanPorts instance, in table order.
std::vector<int> PortsHoldingKey(const WalkTable& table, const std::string& vlan) {
    std::vector<int> ports;
    for (const std::string& row : table) {
        if (row.substr(0, row.find('-') + 1) == Key(vlan)) {
            for (const int port : DecodePortBitmap(WalkRowValue(row))) {
                ports.push_back(port);
            }
        }
    }
    return ports;
}

TEST(MemberPortsOfVlans, AgreesWithTheKeyRuleForEveryId) {
    VlanTables tables;
    tables.vlanPortsTable = {
        Key("1") + HexDump("\x01"), Key("10") + HexDump("\x02"), Key("100") + HexDump("\x04"),
        // The key of VLAN 7 twice in one row, and in the value of VLAN 8's row: only the OID
        // counts.
        Key("7") + Key("7") + HexDump("\x08"), Key("8") + "x" + Key("7") + HexDump("\x10"),
        Key("1") + HexDump("\x20"), Key("") + HexDump("\x40"), Key("-5") + HexDump("\x80")};
    const std::vector<std::string> ids = {"1", "10", "100", "7", "8", "", "-5", "1 ", "9", "1"};

    const auto members = MemberPortsOfVlans(tables, ids);

    ASSERT_EQ(members.size(), ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        std::vector<int> ports;
        for (const MemberPort& member : members[i]) {
            ports.push_back(member.port);
        }
        EXPECT_EQ(ports, PortsHoldingKey(tables.vlanPortsTable, ids[i])) << '"' << ids[i] << '"';
    }
}

// Ports from octet 0's most significant bit, tagged unless untagged, interfaces through the
// bridge port; a failed column is named, and the rows read before it stay.
TEST(QBridgeMemberPortsOfVlans, DecodePortListsTaggingAndInterfacesAfterAFailedColumn) {
    const auto row = [](std::string_view column, const char* index, const std::string& value) {
        return std::string(column) + "." + index + "-" + value;
    };
    const std::string_view name = kDot1qVlanStaticNameColumn,
                           egress = kDot1qVlanStaticEgressPortsColumn,
                           untagged = kDot1qVlanStaticUntaggedPortsColumn,
                           bridge = kDot1dBasePortIfIndexColumn;
    fakes::FakeSnmpAgent snmp(nullptr);
    snmp.columns = {
        {std::string(name), {{row(name, "7", "blanks"), row(name, "9", "nine")}}},
        // 0x20: ports 3, 11, 19, 27, printed as a hex dump whose characters are all blanks.
        {std::string(egress),
         {{row(egress, "7", HexDump("    ")), row(egress, "9", HexDump("\x81"))},
          WalkOutcome::End::GaveUpMidWalk}},
        {std::string(untagged), {{row(untagged, "7", HexDump(std::string("\x20\0\0\x20", 4)))}}},
        {std::string(bridge), {{row(bridge, "3", "1003"), row(bridge, "27", "1027")}}},
        {std::string(kIfNameColumn), {{row(kIfNameColumn, "1003", "ge-0/0/3")}}}};
    fakes::FakeMessageBox messages(nullptr);
    QBridgeTables tables;
    std::vector<QBridgeColumn> all;
    for (const QBridgeColumnWalk& walk : kQBridgeColumnWalks) {
        all.push_back(walk.table);
    }

    EXPECT_FALSE(ReadQBridgeColumns(snmp, {}, tables, all, messages));
    EXPECT_EQ(messages.shown, std::vector<std::string>{"reading dot1qVlanStaticEgressPorts "
                                                       "(1.3.6.1.2.1.17.7.1.4.3.1.2) failed: "});
    const std::vector<Vlan> vlans = QBridgeVlansOf(tables);
    ASSERT_EQ(vlans.size(), 2U);
    EXPECT_EQ(vlans[0].id + vlans[0].name.value_or("?"), "7blanks");
    const std::vector<std::string> ids = {"7", "9", "8"};
    std::vector<std::string> described;
    for (const auto& ports : QBridgeMemberPortsOfVlans(tables, ids)) {
        std::string& text = described.emplace_back();
        for (const MemberPort& p : ports) {
            text += std::to_string(p.port) + "," + p.ifIndex.value_or("") + "," +
                    p.ifName.value_or("") + (p.tagged.value_or(false) ? ",t " : " ");
        }
    }
    EXPECT_EQ(described, (std::vector<std::string>{"3,1003,ge-0/0/3 11,,,t 19,,,t 27,1027, ",
                                                   "1,,,t 8,,,t ", ""}));
}

TEST(VlansOfPorts, NamesEveryVlanWhoseBitmapHoldsThePort) {
    const WalkTable table = {Key("1") + HexDump("\x03"), Key("20") + HexDump("\x02\x01"),
                             Key("300") + HexDump(std::string(2, '\0'))};
    const int ports[] = {1, 2, 9, 16};

    EXPECT_EQ(VlansOfPorts(table, ports),
              (std::vector<std::vector<std::string>>{{"1"}, {"1", "20"}, {"20"}, {}}));
}

}  // namespace
}  // namespace tarnwick
