// A VLAN MIB's columns read together as typed rows (instance and value), and what they say: the
// VLAN list, each VLAN's member ports with their interface and tagging, and a port's VLANs. For
// either MIB, from its description; the CLI's reads.
#pragma once

#include <array>
#include <span>
#include <string>
#include <vector>

#include "snmp/snmp_agent.h"
#include "vlan/member_ports.h"
#include "vlan/vlan_mib.h"

namespace tarnwick {

// The rows read of each column, by role.
class MibTables {
public:
    ValueTable& Of(ColumnRole role) { return m_rows[static_cast<std::size_t>(role)]; }
    const ValueTable& Of(ColumnRole role) const { return m_rows[static_cast<std::size_t>(role)]; }

private:
    std::array<ValueTable, static_cast<std::size_t>(ColumnRole::PortIfIndex) + 1> m_rows;
};

// How one column's read ended; the rows read before a failure stay.
struct ColumnRead {
    const MibColumn* column = nullptr;
    WalkOutcome outcome;
    bool Failed() const { return outcome.end != WalkOutcome::End::Complete; }
};

// Empties the wanted columns' tables (the MIB's columns in those roles), then reads them all at
// once (SnmpAgent::WalkColumns); each column's end, in the MIB's column order.
std::vector<ColumnRead> ReadMibColumns(SnmpAgent& snmp, const DeviceSettings& settings,
                                       const VlanMib& mib, std::span<const ColumnRole> wanted,
                                       MibTables& tables);

// A value as text: an OCTET STRING's octets, a number in decimal.
std::string ValueText(const SnmpValue& value);

// The VLANs in their rows' order: the ID column's values with the name of the same instance, or,
// for a MIB without one, the name rows' instances and values.
std::vector<Vlan> VlansOf(const VlanMib& mib, const MibTables& tables);

// For each VLAN ID, in the order given: its member ports ascending, each with its interface
// (port → ifIndex → ifName) and, where the MIB tells it, whether the VLAN's frames leave it
// tagged.
std::vector<std::vector<MemberPort>> MemberPortsOfVlans(const VlanMib& mib, const MibTables& tables,
                                                        std::span<const std::string> vlanIds);

// For each port, the VLAN IDs whose member list (or the list in `role`) holds it, in the rows'
// order.
std::vector<std::vector<std::string>> VlansOfPorts(const VlanMib& mib, const MibTables& tables,
                                                   std::span<const int> ports,
                                                   ColumnRole role = ColumnRole::Members);

}  // namespace tarnwick
