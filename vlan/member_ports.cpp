// The VLAN list, a VLAN's member ports and a port's VLANs, from the walked tables.
#include "vlan/member_ports.h"

#include <algorithm>
#include <unordered_map>

#include "vlan/port_bitmap.h"

namespace tarnwick {
namespace {

using RowIndexes = std::vector<std::size_t>;

// For each wanted ID, the rows of its instance, in table order. A row's OID names one instance,
// so one lookup per row finds the only ID it can belong to.
std::unordered_map<std::string_view, RowIndexes> RowsOfVlans(const WalkTable& vlanPortsTable,
                                                             std::span<const std::string> vlanIds) {
    std::unordered_map<std::string_view, RowIndexes> rows;
    for (const std::string& id : vlanIds) {
        rows.try_emplace(id);
    }
    const std::string prefix = std::string(kVlanPortsColumn) + ".";
    for (std::size_t i = 0; i < vlanPortsTable.size(); ++i) {
        const std::string_view oid = WalkRowOid(vlanPortsTable[i]);
        if (!oid.starts_with(prefix)) {
            continue;
        }
        const auto found = rows.find(oid.substr(prefix.size()));
        if (found != rows.end() &&
            IsRowOfInstance(vlanPortsTable[i], found->first, kVlanPortsColumn)) {
            found->second.push_back(i);
        }
    }
    return rows;
}

}  // namespace

std::vector<Vlan> VlansOf(const VlanTables& tables) {
    // A VLAN's ID is the instance of its row in the vendor's table.
    std::unordered_map<std::string_view, std::size_t> nameRows;
    const WalkTable& instances = tables.vlanNameInstances;
    for (std::size_t row = 0; row < instances.size() && row < tables.vlanNameTable.size(); ++row) {
        nameRows.try_emplace(instances[row], row);
    }
    std::vector<Vlan> vlans;
    vlans.reserve(tables.vlanIdTable.size());
    for (const std::string& id : tables.vlanIdTable) {
        const auto name = nameRows.find(id);
        vlans.push_back({id, name != nameRows.end()
                                 ? std::optional(tables.vlanNameTable[name->second])
                                 : std::nullopt});
    }
    return vlans;
}

MemberPort PortWithInterface(int port, const IndexedRows& portIfIndex, const IndexedRows& ifName) {
    MemberPort member{port, portIfIndex.Find(std::to_string(port)), {}, {}};
    if (member.ifIndex) {
        member.ifName = ifName.Find(*member.ifIndex);
    }
    return member;
}

std::vector<MemberPort> MemberPorts(const VlanTables& tables, std::string_view vlanId) {
    const std::string id(vlanId);
    return std::move(MemberPortsOfVlans(tables, std::span<const std::string>(&id, 1)).front());
}

std::vector<std::vector<MemberPort>> MemberPortsOfVlans(const VlanTables& tables,
                                                        std::span<const std::string> vlanIds) {
    const auto rowsOfVlans = RowsOfVlans(tables.vlanPortsTable, vlanIds);
    const IndexedRows portIfIndex(tables.portIfIndexTable);
    const IndexedRows ifName(tables.ifNameTable);
    std::vector<std::vector<MemberPort>> members;
    members.reserve(vlanIds.size());
    for (const std::string& id : vlanIds) {
        std::vector<MemberPort>& ports = members.emplace_back();
        for (const std::size_t row : rowsOfVlans.at(id)) {
            for (const int port : DecodePortBitmap(WalkRowValue(tables.vlanPortsTable[row]))) {
                ports.push_back(PortWithInterface(port, portIfIndex, ifName));
            }
        }
    }
    return members;
}

std::vector<std::vector<std::string>> VlansOfPorts(const WalkTable& vlanPortsTable,
                                                   std::span<const int> ports) {
    std::vector<std::vector<std::string>> vlans(ports.size());
    for (const std::string& row : vlanPortsTable) {
        const std::string_view oid = WalkRowOid(row);
        const std::string vlan(oid.substr(oid.rfind('.') + 1));
        const std::vector<int> members = DecodePortBitmap(WalkRowValue(row));
        for (std::size_t i = 0; i < ports.size(); ++i) {
            if (std::binary_search(members.begin(), members.end(), ports[i])) {
                vlans[i].push_back(vlan);
            }
        }
    }
    return vlans;
}

}  // namespace tarnwick
