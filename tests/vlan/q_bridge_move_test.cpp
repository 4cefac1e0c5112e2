// The Q-BRIDGE move on the simulated Q-BRIDGE switch, checked object by object with the raw
// client.
#include "vlan/q_bridge_move.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"
#include "tests/support/raw_snmp.h"
#include "tests/support/start_switch.h"
#include "vlan/q_bridge_mib.h"

namespace tarnwick {
namespace {

std::string Instance(std::string_view column, int index) {
    return std::string(column) + "." + std::to_string(index);
}

// What the switch holds, as the raw client reads it: PortLists in hex, PVIDs in decimal.
std::string RawValue(std::uint16_t port, const std::string& oid) {
    const auto read =
        test::Exchange(port, {test::PduType::Get, "public", oid, {}}, std::chrono::seconds(2));
    const auto& value = read.response.value;
    if (value.tag != test::kBerOctetString) {
        return std::to_string(value.AsInteger());
    }
    return value.AsHex();
}

TEST(QBridgeMove, MovesAccessAndHybridPortsOnTheSwitchAndRefusesSendingNothing) {
    InitSnmpLibrary();
    auto sim = test::StartSwitch(test::SimulatedSwitch::Variant::QBridge);
    ASSERT_NE(sim, nullptr);
    const auto egress = [](int vlan) { return Instance(kDot1qVlanStaticEgressPortsColumn, vlan); };
    const auto untagged = [](int vlan) {
        return Instance(kDot1qVlanStaticUntaggedPortsColumn, vlan);
    };
    const auto pvid = [](int port) { return Instance(kDot1qPvidColumn, port); };
    using Reason = MoveRefusal::Reason;
    const struct {
        std::vector<int> ports;
        std::uint32_t from, to;
        std::optional<Reason> refusal;  // none: the move is confirmed
        std::string vlan{};             // the refusal's VLAN and port
        int port = 0;
        std::map<std::string, std::string> holds{};
    } rows[] = {
        {{23}, 10, 20, Reason::OnlyTagged, "10", 23},
        {{8}, 10, 20, Reason::Forbidden, "20", 8},
        {{1}, 10, 99, Reason::NoRow, "99"},
        {{13}, 10, 20, Reason::NotInFrom, "10", 13},
        {{5}, 10, 10, Reason::SameVlan, "10"},
        // The refusals left everything as the data has it.
        {{5},
         10,
         20,
         std::nullopt,
         {},
         0,
         {{egress(10), "F7000300"},
          {untagged(10), "F7000000"},
          {egress(20), "08F00300"},
          {untagged(20), "08F00000"},
          {pvid(5), "20"},
          {egress(100), "0C000300"}}},
        {{1, 2},
         10,
         30,
         std::nullopt,
         {},
         0,
         {{egress(10), "37000300"},
          {untagged(10), "37000000"},
          {egress(30), "C000FD00"},
          {untagged(30), "C000FC00"},
          {pvid(1), "30"},
          {pvid(2), "30"},
          {egress(20), "08F00300"}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ports.front());
        NetSnmpAgent snmp;
        const DeviceSettings settings{.ipAddress = sim->Address()};
        const auto planned = PlanQBridgeMove(snmp, settings, row.from, row.to, row.ports);
        if (const auto* refusal = std::get_if<MoveRefusal>(&planned)) {
            ASSERT_TRUE(row.refusal);
            EXPECT_EQ(refusal->reason, *row.refusal);
            EXPECT_EQ(refusal->vlan, row.vlan);
            EXPECT_EQ(refusal->port, row.port);
            continue;
        }
        ASSERT_FALSE(row.refusal);
        const MoveReport report = SendMove(snmp, settings, std::get<MovePlan>(planned));
        EXPECT_TRUE(report.AllMoved());
        for (const auto& [oid, value] : row.holds) {
            EXPECT_EQ(RawValue(sim->Port(), oid), value) << oid;
        }
    }
}

}  // namespace
}  // namespace tarnwick
