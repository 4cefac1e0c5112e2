// The Q-BRIDGE-MIB's VLAN columns, read together, and the VLANs and member ports they hold.
#include "vlan/q_bridge_tables.h"

#include <algorithm>

#include "vlan/indexed_lookup.h"
#include "vlan/port_bitmap.h"
#include "vlan/walk_column.h"

namespace tarnwick {
namespace {

// The ports of the instance's PortList; none without a row.
std::vector<int> PortListOf(const IndexedRows& table, const std::string& vlanId) {
    const std::string* row = table.FindRow(vlanId);
    return row ? DecodePortBitmap(WalkRowValue(*row), kPortListBitOrder) : std::vector<int>{};
}

}  // namespace

bool ReadQBridgeColumns(SnmpAgent& snmp, const DeviceSettings& settings, QBridgeTables& tables,
                        std::span<const QBridgeColumn> wanted, MessageBox& messages) {
    bool read = true;
    for (const auto& [walk, end] :
         WalkWantedTogether(snmp, settings, kQBridgeColumnWalks, tables, wanted)) {
        if (end.end == WalkOutcome::End::Complete) {
            continue;
        }
        read = false;
        messages.Show("reading " + std::string(walk->name) + " (" +
                      std::string(walk->request.columnOid) + ") failed: " + end.status.text);
    }
    return read;
}

std::vector<Vlan> QBridgeVlansOf(const QBridgeTables& tables) {
    const std::string prefix = std::string(kDot1qVlanStaticNameColumn) + ".";
    std::vector<Vlan> vlans;
    for (const std::string& row : tables.vlanNameTable) {
        const std::string_view oid = WalkRowOid(row);
        if (oid.starts_with(prefix) && oid.size() < row.size()) {
            vlans.push_back(
                {std::string(oid.substr(prefix.size())), std::string(WalkRowValue(row))});
        }
    }
    return vlans;
}

std::vector<std::vector<MemberPort>> QBridgeMemberPortsOfVlans(
    const QBridgeTables& tables, std::span<const std::string> vlanIds) {
    const IndexedRows egress(tables.egressPortsTable);
    const IndexedRows untagged(tables.untaggedPortsTable);
    const IndexedRows portIfIndex(tables.basePortIfIndexTable);
    const IndexedRows ifName(tables.ifNameTable);
    std::vector<std::vector<MemberPort>> members;
    members.reserve(vlanIds.size());
    for (const std::string& id : vlanIds) {
        std::vector<MemberPort>& ports = members.emplace_back();
        const std::vector<int> untaggedPorts = PortListOf(untagged, id);
        for (const int port : PortListOf(egress, id)) {
            MemberPort& member = ports.emplace_back(PortWithInterface(port, portIfIndex, ifName));
            member.tagged = !std::binary_search(untaggedPorts.begin(), untaggedPorts.end(), port);
        }
    }
    return members;
}

}  // namespace tarnwick
