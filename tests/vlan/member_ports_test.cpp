// The inventory's members of many VLANs at once agree with the member view's rule, VLAN by VLAN.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "snmp/printable.h"
#include "vlan/indexed_lookup.h"
#include "vlan/member_ports.h"
#include "vlan/port_bitmap.h"

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

TEST(VlansOfPorts, NamesEveryVlanWhoseBitmapHoldsThePort) {
    const WalkTable table = {Key("1") + HexDump("\x03"), Key("20") + HexDump("\x02\x01"),
                             Key("300") + HexDump(std::string(2, '\0'))};
    const int ports[] = {1, 2, 9, 16};

    EXPECT_EQ(VlansOfPorts(table, ports),
              (std::vector<std::vector<std::string>>{{"1"}, {"1", "20"}, {"20"}, {}}));
}

}  // namespace
}  // namespace tarnwick
