// The vendor's VLAN MIB under 1.3.6.1.4.1.2011: one row per VLAN with its ID, name and VlanPorts
// bitmap, a port-to-ifIndex column, and a save object.
#pragma once

#include <array>
#include <string_view>

#include "vlan/vlan_mib.h"

namespace tarnwick {

inline constexpr std::string_view kVlanIdColumn = "1.3.6.1.4.1.2011.2.23.1.2.1.1.1.1";
inline constexpr std::string_view kVlanNameColumn = "1.3.6.1.4.1.2011.2.23.1.2.1.1.1.2";
inline constexpr std::string_view kVlanPortsColumn = "1.3.6.1.4.1.2011.2.23.1.2.1.1.1.3";
inline constexpr std::string_view kPortIfIndexColumn = "1.3.6.1.4.1.2011.2.23.1.18.4.5.1.3";
inline constexpr std::string_view kSaveConfigurationOid = "1.3.6.1.4.1.2011.2.23.1.9.1.11.0";

// A VlanPorts bitmap counts an octet's ports from its least significant bit: 0x01 is port 1.
inline constexpr BitOrder kVlanPortsBitOrder = BitOrder::LeastSignificantFirst;

// In the order the window reads them.
inline constexpr std::array<MibColumn, 6> kVendorColumns = {{
    {ColumnRole::IfIndex, kIfIndexColumn, "ifIndex"},
    {ColumnRole::IfName, kIfNameColumn, "ifName", RowForm::WalkRow},
    {ColumnRole::VlanId, kVlanIdColumn, "VLAN ID"},
    {ColumnRole::VlanName, kVlanNameColumn, "VLAN name"},
    {ColumnRole::Members, kVlanPortsColumn, "VlanPorts", RowForm::WalkRow, OctetForm::HexDump},
    {ColumnRole::PortIfIndex, kPortIfIndexColumn, "port ifIndex", RowForm::WalkRow},
}};

inline constexpr VlanMib kVendorMib{
    "vendor",           "the vendor VLAN MIB", "the vendor VLAN table", kVendorColumns,
    ColumnRole::VlanId, kVlanPortsBitOrder,    kSaveConfigurationOid};

}  // namespace tarnwick
