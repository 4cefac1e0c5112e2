// A VLAN MIB as a description: the columns a switch publishes its VLANs and ports in, the bit
// order of its port lists, and its save object, if any. A row's instance is what follows the
// column's OID: a VLAN ID in the VLAN columns, a port in the port columns, an ifIndex in ifName.
// The vendor's MIB and the standard Q-BRIDGE-MIB are its two instances (vlan/vendor_mib.h,
// vlan/q_bridge_mib.h); reads, member lists, the MIB's detection and the CLI's messages all work
// from it.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "snmp/snmp_agent.h"
#include "vlan/port_bitmap.h"

namespace tarnwick {

// IF-MIB's interface columns, which every switch publishes beside its VLAN MIB.
inline constexpr std::string_view kIfIndexColumn = "1.3.6.1.2.1.2.2.1.1";
inline constexpr std::string_view kIfNameColumn = "1.3.6.1.2.1.31.1.1.1.1";

// What a column holds for the VLAN logic.
enum class ColumnRole {
    IfIndex,      // by ifIndex: the interface index
    IfName,       // by ifIndex: the interface name
    VlanId,       // by VLAN row: the VLAN ID
    VlanName,     // by VLAN ID: the name
    Members,      // by VLAN ID: the member (egress) ports, a port list
    Untagged,     // by VLAN ID: the ports that send untagged, a port list
    Forbidden,    // by VLAN ID: the ports that may not join, a port list
    Pvid,         // by port: the VLAN of its untagged frames
    PortIfIndex,  // by port: the port's ifIndex
};

struct MibColumn {
    ColumnRole role;
    std::string_view oid;
    std::string_view name;  // as messages and progress lines name it
    // How a printable read stores it (the window's tables).
    RowForm rowForm = RowForm::Value;
    OctetForm octetForm = OctetForm::Auto;
};

struct VlanMib {
    std::string_view name;   // as --mib names it
    std::string_view title;  // the MIB, as messages name it
    std::string_view table;  // its VLAN table, as messages name it
    std::span<const MibColumn> columns;
    ColumnRole probe;  // a row here: the switch publishes the MIB
    BitOrder bitOrder;
    std::string_view saveObject;  // an INTEGER 1 saves the configuration; empty: none

    // The MIB's column in the role; nothing when it has none.
    const MibColumn* Find(ColumnRole role) const;
};

// The walk of the column, stored as the column says.
constexpr WalkRequest RequestOf(const MibColumn& column) {
    return {column.oid, column.rowForm, column.octetForm};
}

// "VlanPorts.10", "dot1qPvid.5": an instance of one of the MIB's columns as messages name it;
// any other OID as it is.
std::string ObjectName(const VlanMib& mib, std::string_view oid);

struct VlanMibDetection {
    const VlanMib* mib = nullptr;
    // Set when a request failed (mib is then none): the column asked, and the status.
    const MibColumn* failedColumn = nullptr;
    SnmpStatus status;
    bool Failed() const { return failedColumn != nullptr; }
};

// One request for the first row of the MIB's probe column: the MIB when there is a row.
VlanMibDetection ProbeVlanMib(SnmpAgent& snmp, const DeviceSettings& settings, const VlanMib& mib);

// The vendor MIB when its probe column has a row, else Q-BRIDGE when its own has one, else none:
// at most two requests. A failed vendor request ends it there: the vendor MIB is not ruled out,
// and a switch that publishes both is driven through the vendor's.
VlanMibDetection DetectVlanMib(SnmpAgent& snmp, const DeviceSettings& settings);

}  // namespace tarnwick
