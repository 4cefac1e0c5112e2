// The standard objects a switch of any maker publishes its VLANs with: BRIDGE-MIB (RFC 4188) and
// Q-BRIDGE-MIB (RFC 4363). Their ports are bridge ports, which are not ifIndexes:
// dot1dBasePortIfIndex maps one to the other. The MIB has no object that saves the configuration.
#pragma once

#include <array>
#include <string_view>

#include "vlan/vlan_mib.h"

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

// A PortList's octet 0 holds ports 1 to 8 from its most significant bit: 0x80 is port 1.
inline constexpr BitOrder kPortListBitOrder = BitOrder::MostSignificantFirst;

inline constexpr std::array<MibColumn, 7> kQBridgeColumns = {{
    {ColumnRole::VlanName, kDot1qVlanStaticNameColumn, "dot1qVlanStaticName", RowForm::WalkRow},
    {ColumnRole::Members, kDot1qVlanStaticEgressPortsColumn, "dot1qVlanStaticEgressPorts",
     RowForm::WalkRow, OctetForm::HexDump},
    {ColumnRole::Forbidden, kDot1qVlanForbiddenEgressPortsColumn, "dot1qVlanForbiddenEgressPorts",
     RowForm::WalkRow, OctetForm::HexDump},
    {ColumnRole::Untagged, kDot1qVlanStaticUntaggedPortsColumn, "dot1qVlanStaticUntaggedPorts",
     RowForm::WalkRow, OctetForm::HexDump},
    {ColumnRole::Pvid, kDot1qPvidColumn, "dot1qPvid", RowForm::WalkRow},
    {ColumnRole::PortIfIndex, kDot1dBasePortIfIndexColumn, "dot1dBasePortIfIndex",
     RowForm::WalkRow},
    {ColumnRole::IfName, kIfNameColumn, "ifName", RowForm::WalkRow},
}};

inline constexpr VlanMib kQBridgeMib{"q-bridge",
                                     "the Q-BRIDGE-MIB",
                                     "Q-BRIDGE-MIB's dot1qVlanStaticTable",
                                     kQBridgeColumns,
                                     ColumnRole::VlanName,
                                     kPortListBitOrder,
                                     {}};

}  // namespace tarnwick
