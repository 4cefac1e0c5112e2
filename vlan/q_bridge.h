// The standard objects a switch of any maker publishes its VLANs with: BRIDGE-MIB (RFC 4188) and
// Q-BRIDGE-MIB (RFC 4363). Their ports are bridge ports, which are not ifIndexes:
// dot1dBasePortIfIndex maps one to the other.
#pragma once

#include <string_view>
#include <utility>

#include "vlan/port_bitmap.h"

namespace tarnwick {

// dot1qVlanStaticTable, indexed by VLAN ID: name, and the PortLists of the egress (tagged or
// untagged), forbidden and untagged members. A move writes the egress and untagged lists.
inline constexpr std::string_view kDot1qVlanStaticNameColumn = "1.3.6.1.2.1.17.7.1.4.3.1.1";
inline constexpr std::string_view kDot1qVlanStaticEgressPortsColumn = "1.3.6.1.2.1.17.7.1.4.3.1.2";
inline constexpr std::string_view kDot1qVlanForbiddenEgressPortsColumn =
    "1.3.6.1.2.1.17.7.1.4.3.1.3";
inline constexpr std::string_view kDot1qVlanStaticUntaggedPortsColumn =
    "1.3.6.1.2.1.17.7.1.4.3.1.4";
// dot1qPortVlanTable, indexed by bridge port: the VLAN of its untagged frames, a VlanIndex
// (Unsigned32), which a move writes too.
inline constexpr std::string_view kDot1qPvidColumn = "1.3.6.1.2.1.17.7.1.4.5.1.1";
// dot1dBasePortTable, indexed by bridge port: the port's ifIndex.
inline constexpr std::string_view kDot1dBasePortIfIndexColumn = "1.3.6.1.2.1.17.1.4.1.2";

// The names the MIBs give these columns, for messages and reports.
inline constexpr std::pair<std::string_view, std::string_view> kQBridgeColumnNames[] = {
    {kDot1qVlanStaticNameColumn, "dot1qVlanStaticName"},
    {kDot1qVlanStaticEgressPortsColumn, "dot1qVlanStaticEgressPorts"},
    {kDot1qVlanForbiddenEgressPortsColumn, "dot1qVlanForbiddenEgressPorts"},
    {kDot1qVlanStaticUntaggedPortsColumn, "dot1qVlanStaticUntaggedPorts"},
    {kDot1qPvidColumn, "dot1qPvid"},
    {kDot1dBasePortIfIndexColumn, "dot1dBasePortIfIndex"},
};

// The column's name; empty for a column not listed.
constexpr std::string_view QBridgeColumnName(std::string_view column) {
    for (const auto& [oid, name] : kQBridgeColumnNames) {
        if (oid == column) {
            return name;
        }
    }
    return {};
}

// A PortList's octet 0 holds ports 1 to 8 from its most significant bit: 0x80 is port 1.
inline constexpr BitOrder kPortListBitOrder = BitOrder::MostSignificantFirst;

}  // namespace tarnwick
