// The columns a switch with the Q-BRIDGE-MIB shows its VLANs in, read together, and what they
// say: the VLAN list, and each VLAN's egress ports with their interface and whether they are
// tagged.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "snmp/snmp_agent.h"
#include "vlan/dialog_ports.h"
#include "vlan/member_ports.h"
#include "vlan/q_bridge.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {

// One WalkRow per instance: "<column>.<index>-<value>".
struct QBridgeTables {
    WalkTable vlanNameTable;         // by VLAN ID; its instances are the VLANs
    WalkTable egressPortsTable;      // by VLAN ID, PortList hex dumps
    WalkTable untaggedPortsTable;    // by VLAN ID, PortList hex dumps
    WalkTable basePortIfIndexTable;  // by bridge port: the port's ifIndex
    WalkTable ifNameTable;           // by ifIndex
};

// One of the tables, named by its member.
using QBridgeColumn = WalkTable QBridgeTables::*;

// One column: where its rows go, in which form, and its name in messages.
struct QBridgeColumnWalk {
    QBridgeColumn table;
    WalkRequest request;
    std::string_view name;
};

// In read order.
inline constexpr std::array<QBridgeColumnWalk, 5> kQBridgeColumnWalks = {{
    {&QBridgeTables::vlanNameTable,
     {kDot1qVlanStaticNameColumn, RowForm::WalkRow, OctetForm::Auto},
     QBridgeColumnName(kDot1qVlanStaticNameColumn)},
    {&QBridgeTables::egressPortsTable,
     {kDot1qVlanStaticEgressPortsColumn, RowForm::WalkRow, OctetForm::HexDump},
     QBridgeColumnName(kDot1qVlanStaticEgressPortsColumn)},
    {&QBridgeTables::untaggedPortsTable,
     {kDot1qVlanStaticUntaggedPortsColumn, RowForm::WalkRow, OctetForm::HexDump},
     QBridgeColumnName(kDot1qVlanStaticUntaggedPortsColumn)},
    {&QBridgeTables::basePortIfIndexTable,
     {kDot1dBasePortIfIndexColumn, RowForm::WalkRow, OctetForm::Auto},
     QBridgeColumnName(kDot1dBasePortIfIndexColumn)},
    {&QBridgeTables::ifNameTable, {kIfNameColumn, RowForm::WalkRow, OctetForm::Auto}, "ifName"},
}};

// Empties the wanted columns' tables, then reads them all at once. Each failed column's message
// (its name, OID and the library's reason) is shown as soon as all have ended; the rows read
// before the failure stay. True when every column was read to its end.
bool ReadQBridgeColumns(SnmpAgent& snmp, const DeviceSettings& settings, QBridgeTables& tables,
                        std::span<const QBridgeColumn> wanted, MessageBox& messages);

// The VLANs in the name column's order: the ID is the instance, the name its value.
std::vector<Vlan> QBridgeVlansOf(const QBridgeTables& tables);

// For each VLAN ID, in the order given: its egress ports ascending (bridge ports, their interface
// through dot1dBasePortIfIndex), each tagged unless it is in the VLAN's untagged ports.
std::vector<std::vector<MemberPort>> QBridgeMemberPortsOfVlans(
    const QBridgeTables& tables, std::span<const std::string> vlanIds);

}  // namespace tarnwick
