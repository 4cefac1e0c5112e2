// Where a switch has learned a device's MAC address, asked of the switch itself: the address's
// own forwarding entries, one binding per forwarding database, then only the ports found, their
// interfaces and VLANs. The forwarding table is walked only where the switch answers no request
// for the entries.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "snmp/snmp_agent.h"
#include "vlan/forwarding.h"
#include "vlan/vlan_mib.h"

namespace tarnwick {

struct Located {
    // The learned ports, the preferred first (OrderByPreference).
    std::vector<FoundPort> ports;
    // The address's entries that locate no device (its own address, a static one, port 0).
    std::vector<FdbEntryKind> unlearned;
    // Set when the switch answered no request for the address's entries and the forwarding
    // table (`table`) was walked instead: why.
    std::optional<SnmpStatus> walkedBecause;
    std::string table;  // "dot1dTpFdbPort" or "dot1qTpFdbPort"
    // A failure: what could not be read, and why; nothing is known of the ports then.
    std::string failedObject;
    SnmpStatus status;
    bool Failed() const { return !status.ok(); }
};

// Q-BRIDGE-MIB's forwarding databases (dot1qTpFdbPort, their VLANs from dot1qVlanFdbId) where
// the switch has them, else BRIDGE-MIB's one (dot1dTpFdbPort), the vendor MIB's switches
// included. Over SNMPv1 the entries are asked with GETNEXTs from just below them, else with GETs;
// where the switch answers no such request its forwarding table is walked, and the ports'
// instances are asked the other way.
// On Q-BRIDGE a port is its bridge port, on the vendor MIB the port whose ifIndex the bridge
// port's is: the one numbered as the bridge port when it is, else the one port whose row holds
// it (a walk of that column).
Located LocateMac(SnmpAgent& snmp, const DeviceSettings& settings, const VlanMib& mib,
                  const Mac& mac);

}  // namespace tarnwick
