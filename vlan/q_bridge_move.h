// Moving access (and hybrid) ports between VLANs on a switch with the standard Q-BRIDGE-MIB: each
// port leaves FROM's egress and untagged lists, joins TO's, and takes TO as its PVID; its tagged
// memberships of other VLANs and every other port's bits stay as the switch holds them.
// The move goes out first as one SET of every binding. Where that does not reach the goal, the
// way on is TO's egress list, then FROM's and TO's untagged lists together, then the PVIDs, then
// FROM's egress list: each port stays an egress member of a VLAN throughout, and untagged in one
// VLAN, except when a switch applies only one of the two untagged lists: until the other goes
// out, one round trip later, the port is untagged in no VLAN or in two.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "snmp/snmp_agent.h"
#include "vlan/move_engine.h"

namespace tarnwick {

// Reads FROM's and TO's lists (TO's forbidden list too) and the ports' PVIDs with one GET, and
// plans the move, or refuses it with the port and the reason: the same VLAN twice, a VLAN
// without a row, a port beyond a list, not an untagged member of FROM, a PVID other than FROM,
// a port TO forbids.
PlannedMove PlanQBridgeMove(SnmpAgent& snmp, const DeviceSettings& settings, std::uint32_t fromVlan,
                            std::uint32_t toVlan, std::span<const int> ports);

}  // namespace tarnwick
