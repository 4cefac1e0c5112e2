// Typed reads of a VLAN MIB's columns, and the VLANs and member ports they hold.
#include "vlan/mib_tables.h"

#include <algorithm>
#include <unordered_map>

#include "vlan/port_bitmap.h"

namespace tarnwick {
namespace {

// Each instance's first row, for lookups by instance.
class ByInstance {
public:
    explicit ByInstance(const ValueTable& rows) {
        m_rows.reserve(rows.size());
        for (const ValueRow& row : rows) {
            m_rows.try_emplace(row.instance, &row.value);
        }
    }
    const SnmpValue* Find(const std::string& instance) const {
        const auto found = m_rows.find(instance);
        return found == m_rows.end() ? nullptr : found->second;
    }

private:
    std::unordered_map<std::string_view, const SnmpValue*> m_rows;
};

std::vector<int> PortsIn(const SnmpValue* list, BitOrder order) {
    const std::string* octets = list ? OctetsIn(*list) : nullptr;
    return octets ? PortsOfOctets(*octets, order) : std::vector<int>{};
}

std::optional<std::string> TextOf(const SnmpValue* value) {
    return value ? std::optional(ValueText(*value)) : std::nullopt;
}

}  // namespace

std::vector<ColumnRead> ReadMibColumns(SnmpAgent& snmp, const DeviceSettings& settings,
                                       const VlanMib& mib, std::span<const ColumnRole> wanted,
                                       MibTables& tables) {
    std::vector<ColumnRead> reads;
    std::vector<ColumnToWalk> columns;
    for (const MibColumn& column : mib.columns) {
        if (std::find(wanted.begin(), wanted.end(), column.role) != wanted.end()) {
            tables.Of(column.role).clear();
            reads.push_back({&column, {}});
            columns.push_back({RequestOf(column), nullptr, &tables.Of(column.role)});
        }
    }
    std::vector<WalkOutcome> ends = snmp.WalkColumns(settings, columns);
    for (std::size_t i = 0; i < reads.size(); ++i) {
        reads[i].outcome = std::move(ends[i]);
    }
    return reads;
}

std::string ValueText(const SnmpValue& value) {
    if (const std::string* octets = OctetsIn(value)) {
        return *octets;
    }
    if (const auto* number = std::get_if<Unsigned32>(&value)) {
        return std::to_string(number->value);
    }
    return std::to_string(std::get<std::int32_t>(value));
}

std::vector<Vlan> VlansOf(const VlanMib& mib, const MibTables& tables) {
    const ValueTable& names = tables.Of(ColumnRole::VlanName);
    std::vector<Vlan> vlans;
    if (!mib.Find(ColumnRole::VlanId)) {
        for (const ValueRow& row : names) {
            vlans.push_back({row.instance, ValueText(row.value)});
        }
        return vlans;
    }
    const ByInstance nameOf(names);
    for (const ValueRow& row : tables.Of(ColumnRole::VlanId)) {
        vlans.push_back({ValueText(row.value), TextOf(nameOf.Find(row.instance))});
    }
    return vlans;
}

std::vector<std::vector<MemberPort>> MemberPortsOfVlans(const VlanMib& mib, const MibTables& tables,
                                                        std::span<const std::string> vlanIds) {
    const ByInstance members(tables.Of(ColumnRole::Members));
    const ByInstance untagged(tables.Of(ColumnRole::Untagged));
    const ByInstance ifIndexOf(tables.Of(ColumnRole::PortIfIndex));
    const ByInstance ifNameOf(tables.Of(ColumnRole::IfName));
    const bool tagging = mib.Find(ColumnRole::Untagged) != nullptr;
    std::vector<std::vector<MemberPort>> lists;
    lists.reserve(vlanIds.size());
    for (const std::string& id : vlanIds) {
        std::vector<MemberPort>& ports = lists.emplace_back();
        const std::vector<int> untaggedPorts = PortsIn(untagged.Find(id), mib.bitOrder);
        for (const int port : PortsIn(members.Find(id), mib.bitOrder)) {
            MemberPort& member = ports.emplace_back();
            member.port = port;
            member.ifIndex = TextOf(ifIndexOf.Find(std::to_string(port)));
            if (member.ifIndex) {
                member.ifName = TextOf(ifNameOf.Find(*member.ifIndex));
            }
            if (tagging) {
                member.tagged =
                    !std::binary_search(untaggedPorts.begin(), untaggedPorts.end(), port);
            }
        }
    }
    return lists;
}

std::vector<std::vector<std::string>> VlansOfPorts(const VlanMib& mib, const MibTables& tables,
                                                   std::span<const int> ports, ColumnRole role) {
    std::vector<std::vector<std::string>> vlans(ports.size());
    for (const ValueRow& row : tables.Of(role)) {
        const std::vector<int> members = PortsIn(&row.value, mib.bitOrder);
        for (std::size_t i = 0; i < ports.size(); ++i) {
            if (std::binary_search(members.begin(), members.end(), ports[i])) {
                vlans[i].push_back(row.instance);
            }
        }
    }
    return vlans;
}

}  // namespace tarnwick
