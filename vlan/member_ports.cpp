// The window's VLAN list and a VLAN's member ports, from its walked tables.
#include "vlan/member_ports.h"

#include <unordered_map>

#include "vlan/port_bitmap.h"

namespace tarnwick {

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
    const IndexedRows portIfIndex(tables.portIfIndexTable);
    const IndexedRows ifName(tables.ifNameTable);
    std::vector<MemberPort> ports;
    for (const std::string& row : tables.vlanPortsTable) {
        if (!IsRowOfInstance(row, vlanId, kVlanPortsColumn)) {
            continue;
        }
        for (const int port : DecodePortBitmap(WalkRowValue(row), kVlanPortsBitOrder)) {
            ports.push_back(PortWithInterface(port, portIfIndex, ifName));
        }
    }
    return ports;
}

}  // namespace tarnwick
