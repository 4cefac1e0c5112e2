// Finding a MAC address's ports: the entries, the ports' interfaces, the VLANs and uplinks.
#include "vlan/locate.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "snmp/decimal.h"
#include "vlan/identifiers.h"
#include "vlan/instance_read.h"
#include "vlan/mib_tables.h"
#include "vlan/port_bitmap.h"
#include "vlan/q_bridge_mib.h"
#include "vlan/vendor_mib.h"

namespace tarnwick {
namespace {

// One forwarding database the address may have an entry in.
struct Database {
    std::optional<FdbId> fdbId;  // none: BRIDGE-MIB's one database
    std::vector<int> vlans;      // the VLANs it serves; empty: every VLAN

    std::string Instance(const Mac& mac) const {
        return (fdbId ? std::to_string(*fdbId) + "." : std::string()) + MacInstance(mac);
    }
    std::string PortOid(const Mac& mac) const {
        return fdbId ? QBridgeFdbPortOid(*fdbId, mac) : BridgeFdbPortOid(mac);
    }
    std::string StatusOid(const Mac& mac) const {
        return fdbId ? QBridgeFdbStatusOid(*fdbId, mac) : BridgeFdbStatusOid(mac);
    }
};

// The address's entry in one database.
struct Entry {
    const Database* database = nullptr;
    std::int64_t bridgePort = 0;
    std::optional<std::int64_t> status;
};

// What is read of a bridge port.
struct PortFacts {
    std::optional<std::int32_t> ifIndex;
    std::optional<int> pvid;  // Q-BRIDGE
    int port = 0;             // the vendor MIB's port; 0 while not known
};

std::optional<std::int64_t> NumberIn(const SnmpValue* value) {
    return value ? ParseDecimal<std::int64_t>(ValueText(*value)) : std::nullopt;
}

const SnmpValue* ValueOfInstance(const ValueTable& rows, const std::string& instance) {
    const auto row = std::ranges::find(rows, instance, &ValueRow::instance);
    return row == rows.end() ? nullptr : &row->value;
}

std::string Instance(std::string_view column, std::int64_t index) {
    return std::string(column) + "." + std::to_string(index);
}

// The VLAN IDs, ascending, whose list in the role holds the port.
std::vector<int> VlansHolding(const VlanMib& mib, const MibTables& tables, int port,
                              ColumnRole role) {
    std::vector<int> vlans;
    const auto holding = VlansOfPorts(mib, tables, std::span(&port, 1), role);
    for (const std::string& id : holding.front()) {
        if (const auto vlan = ParseVlanId(id)) {
            vlans.insert(std::ranges::upper_bound(vlans, *vlan), *vlan);
        }
    }
    return vlans;
}

class Locator {
public:
    Locator(SnmpAgent& snmp, const DeviceSettings& settings, const VlanMib& mib, const Mac& mac)
        : m_snmp(snmp),
          m_settings(settings),
          m_mib(mib),
          m_mac(mac),
          m_tagging(mib.Find(ColumnRole::Untagged) != nullptr),
          m_lookup(settings.version == SnmpVersion::V1 ? InstanceLookup::NextFromJustBelow
                                                       : InstanceLookup::Get) {}

    Located Run() {
        if (m_tagging && !ReadDatabases()) {
            return std::move(m_located);
        }
        if (m_databases.empty()) {
            m_databases.push_back({});
        }
        m_located.table = m_databases.front().fdbId ? "dot1qTpFdbPort" : "dot1dTpFdbPort";
        if (!FindEntries() || m_entries.empty() || !ReadBridgePorts()) {
            return std::move(m_located);
        }
        std::erase_if(m_entries, [this](const Entry& entry) {
            const FdbEntryKind kind = KindOfFdbEntry(entry.bridgePort, entry.status);
            if (kind != FdbEntryKind::Learned) {
                m_located.unlearned.push_back(kind);
            }
            return kind != FdbEntryKind::Learned;
        });
        if (!m_entries.empty() && ReadInterfaces()) {
            AddPorts();
        }
        return std::move(m_located);
    }

private:
    bool Fail(std::string object, SnmpStatus status) {
        m_located.failedObject = std::move(object);
        m_located.status = std::move(status);
        return false;
    }

    // Reads the columns together; false, with the first failure, when one failed.
    bool Walk(std::span<const ColumnToWalk> columns) {
        const std::vector<WalkOutcome> outcomes = m_snmp.WalkColumns(m_settings, columns);
        for (std::size_t i = 0; i < outcomes.size(); ++i) {
            if (outcomes[i].end != WalkOutcome::End::Complete) {
                return Fail(ObjectName(m_mib, columns[i].request.columnOid), outcomes[i].status);
            }
        }
        return true;
    }

    // Q-BRIDGE: which databases serve which VLANs, and every VLAN's egress and untagged lists.
    bool ReadDatabases() {
        WalkTable fdbIds;
        const MibColumn& members = *m_mib.Find(ColumnRole::Members);
        const MibColumn& untagged = *m_mib.Find(ColumnRole::Untagged);
        const ColumnToWalk columns[] = {
            {{kDot1qVlanFdbIdColumn, RowForm::WalkRow}, &fdbIds, nullptr},
            {RequestOf(members), nullptr, &m_tables.Of(ColumnRole::Members)},
            {RequestOf(untagged), nullptr, &m_tables.Of(ColumnRole::Untagged)}};
        if (!Walk(columns)) {
            return false;
        }
        m_vlansRead = true;
        for (auto& [fdbId, vlans] : VlansOfFdbs(fdbIds)) {
            m_databases.push_back({fdbId, std::move(vlans)});
        }
        return true;
    }

    // The port instance of the address in each database.
    bool FindEntries() {
        std::vector<std::string> oids;
        for (const Database& database : m_databases) {
            oids.push_back(database.PortOid(m_mac));
        }
        InstancesRead read = ReadInstances(m_snmp, m_settings, oids, m_lookup);
        if (!read.ok()) {
            // The ports' own instances are then asked the other way.
            m_lookup = m_lookup == InstanceLookup::Get ? InstanceLookup::NextFromJustBelow
                                                       : InstanceLookup::Get;
            return WalkEntries(std::move(read.status));
        }
        for (std::size_t i = 0; i < oids.size(); ++i) {
            const SnmpValue* port = read.values[i] ? &*read.values[i] : nullptr;
            if (const auto number = NumberIn(port)) {
                m_entries.push_back({&m_databases[i], *number, std::nullopt});
            }
        }
        m_statusesToRead = true;
        return true;
    }

    // The whole table, port and status, for a switch that answers no request for an instance.
    bool WalkEntries(SnmpStatus why) {
        m_located.walkedBecause = std::move(why);
        const bool qBridge = m_databases.front().fdbId.has_value();
        ValueTable ports;
        ValueTable statuses;
        const ColumnToWalk columns[] = {
            {{qBridge ? kDot1qTpFdbPortColumn : kDot1dTpFdbPortColumn}, nullptr, &ports},
            {{qBridge ? kDot1qTpFdbStatusColumn : kDot1dTpFdbStatusColumn}, nullptr, &statuses}};
        if (!Walk(columns)) {
            return false;
        }
        for (const Database& database : m_databases) {
            const std::string instance = database.Instance(m_mac);
            if (const auto port = NumberIn(ValueOfInstance(ports, instance))) {
                m_entries.push_back(
                    {&database, *port, NumberIn(ValueOfInstance(statuses, instance))});
            }
        }
        return true;
    }

    // One request: the entries' statuses (unless walked), each bridge port's ifIndex and, by
    // MIB, its PVID or the vendor port of the same number.
    bool ReadBridgePorts() {
        std::vector<std::string> oids;
        if (m_statusesToRead) {
            for (const Entry& entry : m_entries) {
                oids.push_back(entry.database->StatusOid(m_mac));
            }
        }
        for (const Entry& entry : m_entries) {
            if (entry.bridgePort >= 1 && entry.bridgePort <= kLastBridgePort) {
                m_bridgePorts.insert(static_cast<int>(entry.bridgePort));
            }
        }
        const std::string_view portColumn = m_tagging ? m_mib.Find(ColumnRole::Pvid)->oid
                                                      : m_mib.Find(ColumnRole::PortIfIndex)->oid;
        for (const int port : m_bridgePorts) {
            oids.push_back(Instance(kDot1dBasePortIfIndexColumn, port));
            oids.push_back(Instance(portColumn, port));
        }
        InstancesRead read = ReadInstances(m_snmp, m_settings, oids, m_lookup);
        if (!read.ok()) {
            return Fail(ObjectName(m_mib, oids.front()), std::move(read.status));
        }
        std::size_t next = 0;
        const auto value = [&read, &next]() -> const SnmpValue* {
            const std::optional<SnmpValue>& held = read.values[next++];
            return held ? &*held : nullptr;
        };
        if (m_statusesToRead) {
            for (Entry& entry : m_entries) {
                entry.status = NumberIn(value());
            }
        }
        for (const int port : m_bridgePorts) {
            const SnmpValue* ifIndex = value();
            const SnmpValue* other = value();
            m_ports[port].ifIndex = ifIndex ? ParseIfIndex(ValueText(*ifIndex)) : std::nullopt;
            if (m_tagging) {
                m_ports[port].pvid = other ? ParseVlanId(ValueText(*other)) : std::nullopt;
            } else if (other && m_ports[port].ifIndex &&
                       ParseIfIndex(ValueText(*other)) == m_ports[port].ifIndex) {
                m_ports[port].port = port;
            }
        }
        return true;
    }

    // The interfaces' names with one request; on the vendor MIB the VLAN lists, and the port
    // column where a port is not numbered as its bridge port.
    bool ReadInterfaces() {
        std::set<std::int32_t> ifIndexes;
        for (const Entry& entry : m_entries) {
            if (const auto ifIndex = m_ports[static_cast<int>(entry.bridgePort)].ifIndex) {
                ifIndexes.insert(*ifIndex);
            }
        }
        std::vector<std::string> oids;
        for (const std::int32_t ifIndex : ifIndexes) {
            oids.push_back(Instance(kIfNameColumn, ifIndex));
        }
        InstancesRead read = ReadInstances(m_snmp, m_settings, oids, m_lookup);
        if (!read.ok()) {
            return Fail(ObjectName(m_mib, oids.front()), std::move(read.status));
        }
        std::size_t next = 0;
        for (const std::int32_t ifIndex : ifIndexes) {
            if (const std::optional<SnmpValue>& name = read.values[next++]) {
                m_ifNames[ifIndex] = ValueText(*name);
            }
        }
        return m_tagging || ReadVendorPorts();
    }

    bool ReadVendorPorts() {
        const bool guessMissed = std::ranges::any_of(m_entries, [this](const Entry& entry) {
            const PortFacts& facts = m_ports.at(static_cast<int>(entry.bridgePort));
            return facts.ifIndex && facts.port == 0;
        });
        WalkTable portIfIndex;
        std::vector<ColumnToWalk> columns = {{RequestOf(*m_mib.Find(ColumnRole::Members)), nullptr,
                                              &m_tables.Of(ColumnRole::Members)}};
        if (guessMissed) {
            columns.push_back({{kPortIfIndexColumn, RowForm::WalkRow}, &portIfIndex, nullptr});
        }
        if (!Walk(columns)) {
            return false;
        }
        m_vlansRead = true;
        for (auto& [bridgePort, port] : m_ports) {
            if (port.ifIndex && port.port == 0) {
                port.port = VendorPortOfIfIndex(portIfIndex, *port.ifIndex).value_or(0);
            }
        }
        return true;
    }

    void AddPorts() {
        for (const Entry& entry : m_entries) {
            const int bridgePort = static_cast<int>(entry.bridgePort);
            const PortFacts& facts = m_ports[bridgePort];
            FoundPort found;
            found.bridgePort = bridgePort;
            found.port = m_tagging ? bridgePort : facts.port;
            found.ifIndex = facts.ifIndex;
            if (facts.ifIndex && m_ifNames.contains(*facts.ifIndex)) {
                found.ifName = m_ifNames[*facts.ifIndex];
            }
            if (found.port != 0 && m_vlansRead) {
                SetVlan(found, *entry.database, facts.pvid);
            }
            const bool seen = std::ranges::any_of(m_located.ports, [&found](const FoundPort& p) {
                return p.bridgePort == found.bridgePort && p.vlan == found.vlan;
            });
            if (!seen) {
                m_located.ports.push_back(std::move(found));
            }
        }
        OrderByPreference(m_located.ports);
    }

    void SetVlan(FoundPort& found, const Database& database, std::optional<int> pvid) const {
        const std::vector<int> members =
            VlansHolding(m_mib, m_tables, found.port, ColumnRole::Members);
        if (!m_tagging) {
            found.uplink = IsVendorUplink(static_cast<int>(members.size()));
            found.vlan = VlanOfEntry(database.vlans, std::nullopt, members);
            return;
        }
        const std::vector<int> untagged =
            VlansHolding(m_mib, m_tables, found.port, ColumnRole::Untagged);
        const auto tagged = std::ranges::count_if(
            members, [&untagged](int vlan) { return !std::ranges::binary_search(untagged, vlan); });
        found.uplink = IsQBridgeUplink(static_cast<int>(tagged), static_cast<int>(untagged.size()));
        found.vlan = VlanOfEntry(database.vlans, pvid, untagged);
    }

    SnmpAgent& m_snmp;
    const DeviceSettings& m_settings;
    const VlanMib& m_mib;
    const Mac& m_mac;
    const bool m_tagging;  // Q-BRIDGE: ports are bridge ports, tagged or untagged
    // How instances are asked: over SNMPv1, where one missing instance fails a whole GET and
    // most forwarding databases hold no entry of the address, from just below them.
    InstanceLookup m_lookup;
    Located m_located;
    MibTables m_tables;
    bool m_vlansRead = false;
    std::vector<Database> m_databases;
    std::vector<Entry> m_entries;
    bool m_statusesToRead = false;
    std::set<int> m_bridgePorts;
    std::map<int, PortFacts> m_ports;
    std::map<std::int32_t, std::string> m_ifNames;
};

}  // namespace

Located LocateMac(SnmpAgent& snmp, const DeviceSettings& settings, const VlanMib& mib,
                  const Mac& mac) {
    return Locator(snmp, settings, mib, mac).Run();
}

}  // namespace tarnwick
