// Telling the switch to save its configuration: one SET of the INTEGER 1 to the MIB's save object.
#pragma once

#include "snmp/snmp_agent.h"
#include "vlan/vlan_mib.h"

namespace tarnwick {

// The SET's status; nothing is sent for a MIB without a save object.
SnmpStatus SaveConfiguration(SnmpAgent& snmp, const DeviceSettings& settings, const VlanMib& mib);

}  // namespace tarnwick
