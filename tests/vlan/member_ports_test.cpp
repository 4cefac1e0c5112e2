// What the CLI's typed reads say, on either VLAN MIB: the VLANs with the names of their own
// instances, each VLAN's member ports from its MIB's bit order with their interface and tagging,
// and a port's VLANs; a failed column is named, and the rows read before it stay.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vlan/fakes.h"
#include "vlan/mib_tables.h"
#include "vlan/q_bridge_mib.h"
#include "vlan/vendor_mib.h"

namespace tarnwick {
namespace {

using namespace std::string_literals;

ValueRow Octets(std::string instance, std::string octets) {
    return {std::move(instance), OctetString{std::move(octets)}};
}
ValueRow Integer(std::string instance, std::int32_t value) {
    return {std::move(instance), value};
}

// "port,ifIndex,ifName[,t] ..." for each VLAN.
std::vector<std::string> Described(const std::vector<std::vector<MemberPort>>& lists) {
    std::vector<std::string> described;
    for (const auto& ports : lists) {
        std::string& text = described.emplace_back();
        for (const MemberPort& p : ports) {
            text += std::to_string(p.port) + "," + p.ifIndex.value_or("") + "," +
                    p.ifName.value_or("") + (p.tagged.value_or(false) ? ",t " : " ");
        }
    }
    return described;
}

TEST(MibTables, VlansMembersAndInterfacesOnEitherMib) {
    const struct {
        const char* name;
        const VlanMib& mib;
        std::map<std::string, fakes::FakeSnmpAgent::ValueColumn> columns;
        std::vector<std::string> vlans;     // "id/name"
        std::vector<std::string> members;   // of VLANs 7, 9 and 8
        std::vector<std::string> failures;  // the columns that failed
    } rows[] = {
        {"vendor: IDs by value, names by instance, bits from the least significant",
         kVendorMib,
         {{std::string(kVlanIdColumn), {{Integer("1", 7), Integer("2", 9), Integer("3", 8)}}},
          {std::string(kVlanNameColumn), {{Octets("1", "seven"), Octets("3", "eight")}}},
          {std::string(kVlanPortsColumn), {{Octets("7", "\x05"), Octets("9", "\x00\x80"s)}}},
          {std::string(kPortIfIndexColumn), {{Integer("1", 101), Integer("3", 103)}}},
          {std::string(kIfNameColumn), {{Octets("101", "ge1")}}}},
         {"7/seven", "9/", "8/eight"},
         {"1,101,ge1 3,103, ", "16,, ", ""},
         {}},
        {"Q-BRIDGE: IDs from the names' instances, bits from the most significant, tagging",
         kQBridgeMib,
         {{std::string(kDot1qVlanStaticNameColumn), {{Octets("7", "blanks"), Octets("9", "nine")}}},
          {std::string(kDot1qVlanStaticEgressPortsColumn),
           {{Octets("7", "\x20\x20\x20\x20"), Octets("9", "\x81")},
            WalkOutcome::End::GaveUpMidWalk}},
          {std::string(kDot1qVlanStaticUntaggedPortsColumn), {{Octets("7", "\x20\0\0\x20"s)}}},
          {std::string(kDot1dBasePortIfIndexColumn), {{Integer("3", 1003), Integer("27", 1027)}}},
          {std::string(kIfNameColumn), {{Octets("1003", "ge-0/0/3")}}}},
         {"7/blanks", "9/nine"},
         {"3,1003,ge-0/0/3 11,,,t 19,,,t 27,1027, ", "1,,,t 8,,,t ", ""},
         {"dot1qVlanStaticEgressPorts"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        fakes::FakeSnmpAgent snmp(nullptr);
        snmp.valueColumns = row.columns;
        MibTables tables;
        const ColumnRole roles[] = {ColumnRole::VlanId,      ColumnRole::VlanName,
                                    ColumnRole::Members,     ColumnRole::Untagged,
                                    ColumnRole::PortIfIndex, ColumnRole::IfName};

        std::vector<std::string> failures;
        for (const ColumnRead& read : ReadMibColumns(snmp, {}, row.mib, roles, tables)) {
            if (read.Failed()) {
                failures.emplace_back(read.column->name);
            }
        }
        std::vector<std::string> vlans;
        for (const Vlan& vlan : VlansOf(row.mib, tables)) {
            vlans.push_back(vlan.id + "/" + vlan.name.value_or(""));
        }
        const std::vector<std::string> ids = {"7", "9", "8"};

        EXPECT_EQ(failures, row.failures);
        EXPECT_EQ(vlans, row.vlans);
        EXPECT_EQ(Described(MemberPortsOfVlans(row.mib, tables, ids)), row.members);
    }
}

TEST(MibTables, VlansOfPortsNamesEveryVlanWhoseListHoldsThePort) {
    MibTables tables;
    tables.Of(ColumnRole::Members) = {Octets("1", "\x03"), Octets("20", "\x02\x01"),
                                      Octets("300", "\0\0"s)};
    const int ports[] = {1, 2, 9, 16};

    EXPECT_EQ(VlansOfPorts(kVendorMib, tables, ports),
              (std::vector<std::vector<std::string>>{{"1"}, {"1", "20"}, {"20"}, {}}));
}

}  // namespace
}  // namespace tarnwick
