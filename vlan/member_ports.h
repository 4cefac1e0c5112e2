// What the window's walked tables say about the VLANs: the VLAN list, and a VLAN's member ports
// with their interface index and name.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "vlan/indexed_lookup.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {

// A row of the VLAN list: an ID and the name of the same instance.
struct Vlan {
    std::string id;
    std::optional<std::string> name;  // none without a name row of the ID's instance
};
std::vector<Vlan> VlansOf(const VlanTables& tables);

struct MemberPort {
    int port = 0;
    std::optional<std::string> ifIndex;  // none when the port has no port-to-ifIndex row
    std::optional<std::string> ifName;   // none without an ifIndex, or without its ifName row
    std::optional<bool> tagged;  // Q-BRIDGE-MIB only: the port sends the VLAN's frames tagged
};

// The port with its interface: its row in the port-to-ifIndex table, then that ifIndex's row in
// the ifName table.
MemberPort PortWithInterface(int port, const IndexedRows& portIfIndex, const IndexedRows& ifName);

// Every vlanPortsTable row of the VLAN's instance (IsRowOfInstance) is decoded, in table order;
// the ID is used as given, untrimmed.
std::vector<MemberPort> MemberPorts(const VlanTables& tables, std::string_view vlanId);

}  // namespace tarnwick
