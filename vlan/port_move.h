// Moving ports between VLANs on the vendor VLAN MIB, where a VLAN's members are one VlanPorts
// bitmap: the ports leave the old VLAN's bitmap first (some switches refuse a port in two VLANs),
// then join the new one's; a failed addition puts them back in the old one.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "snmp/snmp_agent.h"
#include "vlan/move_engine.h"

namespace tarnwick {

// The VLAN's VlanPorts instance.
std::string VlanPortsOid(std::string_view vlanId);

// Reads both VLANs' bitmaps with one GET and plans the move from them; refused, with nothing
// sent, when the VLANs are one, a VLAN has no bitmap or the GET fails, a bitmap holds no bit for
// a port, or a port is not in the old VLAN's bitmap (the list it was chosen from is older than
// the switch).
PlannedMove PlanPortMove(SnmpAgent& snmp, const DeviceSettings& settings, std::string_view fromVlan,
                         std::string_view toVlan, std::span<const int> ports);

}  // namespace tarnwick
