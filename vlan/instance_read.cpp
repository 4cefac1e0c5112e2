// Instances read by GET or by GETNEXT from just below them, missing ones told apart from failures.
#include "vlan/instance_read.h"

#include <algorithm>
#include <set>
#include <utility>

#include "vlan/forwarding.h"
#include "vlan/identifiers.h"
#include "vlan/port_bitmap.h"

namespace tarnwick {
namespace {

// A value for each instance asked: on success, or where SNMPv2c and SNMPv3 name each missing
// instance and answer the others (SNMPv1 names one and answers nothing).
bool AnswersEach(const GetResult& result, std::size_t asked) {
    return (result.status.ok() || !result.absent.empty()) && result.values.size() == asked;
}

bool NamesOne(int code, std::size_t failedBinding, std::size_t asked) {
    return code == kNoSuchNameStatus && failedBinding >= 1 && failedBinding <= asked;
}

// One request for the instances `asking` (indexes into `oids`) still unknown: what it tells is
// stored, and the instances it settled leave `asking`. Its status: success when it settled one
// at least.
class InstanceRequest {
public:
    InstanceRequest(SnmpAgent& snmp, const DeviceSettings& settings,
                    const std::vector<std::string>& oids, InstancesRead& read)
        : m_snmp(snmp), m_settings(settings), m_oids(oids), m_read(read) {}

    SnmpStatus Get(std::vector<std::size_t>& asking) {
        GetResult result = m_snmp.Get(m_settings, Oids(asking));
        if (result.status.ok() && !AnswersEach(result, asking.size())) {
            return {kNotSupported, "an answer without a value for each instance asked"};
        }
        if (AnswersEach(result, asking.size())) {
            for (std::size_t i = 0; i < asking.size(); ++i) {
                if (!std::ranges::binary_search(result.absent, i + 1)) {
                    m_read.values[asking[i]] = std::move(result.values[i]);
                }
            }
            asking.clear();
            return {};
        }
        return LeaveOut(std::move(result.status), result.failedBinding, asking);
    }

    SnmpStatus NextFromJustBelow(std::vector<std::size_t>& asking) {
        std::vector<std::string> below;
        for (const std::size_t index : asking) {
            // An OID with nothing below it is asked from itself, and so found missing.
            below.push_back(OidJustBelow(m_oids[index]).value_or(m_oids[index]));
        }
        GetNextResult result = m_snmp.GetNext(m_settings, below);
        if (!result.status.ok()) {
            return LeaveOut(std::move(result.status), result.failedBinding, asking);
        }
        for (std::size_t i = 0; i < asking.size() && i < result.bindings.size(); ++i) {
            NextBinding& next = result.bindings[i];
            if (next.oid == m_oids[asking[i]]) {
                m_read.values[asking[i]] = std::move(next.value);
            }
        }
        asking.clear();
        return {};
    }

private:
    std::vector<std::string> Oids(const std::vector<std::size_t>& asking) const {
        std::vector<std::string> oids;
        for (const std::size_t index : asking) {
            oids.push_back(m_oids[index]);
        }
        return oids;
    }

    // SNMPv1's noSuchName settles the binding it names: a GET's instance is missing, and nothing
    // follows a GETNEXT's in the agent's view. Any other failure settles nothing.
    static SnmpStatus LeaveOut(SnmpStatus status, std::size_t named,
                               std::vector<std::size_t>& asking) {
        if (!NamesOne(status.code, named, asking.size())) {
            return status;
        }
        asking.erase(asking.begin() + static_cast<std::ptrdiff_t>(named - 1));
        return {};
    }

    SnmpAgent& m_snmp;
    const DeviceSettings& m_settings;
    const std::vector<std::string>& m_oids;
    InstancesRead& m_read;
};

std::string Instance(std::string_view column, std::string_view instance) {
    return std::string(column) + "." + std::string(instance);
}

// The instances of the columns in `tables`, each present one as its column's row; the first
// object named when a request failed.
InstanceReadEnd ReadRows(SnmpAgent& snmp, const DeviceSettings& settings, const VlanMib& mib,
                         const std::vector<std::pair<const MibColumn*, std::string>>& wanted,
                         MibTables& tables) {
    if (wanted.empty()) {
        return {};
    }
    std::vector<std::string> oids;
    for (const auto& [column, instance] : wanted) {
        oids.push_back(Instance(column->oid, instance));
    }
    InstancesRead read = ReadInstances(snmp, settings, oids, InstanceLookup::Get);
    if (!read.ok()) {
        return {ObjectName(mib, oids.front()), std::move(read.status)};
    }
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        if (read.values[i]) {
            tables.Of(wanted[i].first->role).push_back({wanted[i].second, *read.values[i]});
        }
    }
    return {};
}

}  // namespace

InstancesRead ReadInstances(SnmpAgent& snmp, const DeviceSettings& settings,
                            const std::vector<std::string>& oids, InstanceLookup lookup) {
    InstancesRead read{std::vector<std::optional<SnmpValue>>(oids.size()), {}};
    InstanceRequest request(snmp, settings, oids, read);
    BindingBatches batches(oids.size(), kBindingsPerRequest);
    for (auto range = batches.Next(); range.count > 0; range = batches.Next()) {
        std::vector<std::size_t> asking(range.count);
        std::ranges::generate(asking, [next = range.first]() mutable { return next++; });
        SnmpStatus status;
        while (!asking.empty() && status.ok()) {
            status = lookup == InstanceLookup::Get ? request.Get(asking)
                                                   : request.NextFromJustBelow(asking);
        }
        if (asking.empty()) {
            batches.Answered();
        } else if (status.code != kTooBigStatus || !batches.TooBig()) {
            read.status = std::move(status);
            return read;
        }
    }
    return read;
}

InstanceReadEnd ReadVlanMembers(SnmpAgent& snmp, const DeviceSettings& settings, const VlanMib& mib,
                                const std::string& vlanId, MibTables& tables) {
    const MibColumn* members = mib.Find(ColumnRole::Members);
    const MibColumn* untagged = mib.Find(ColumnRole::Untagged);
    const MibColumn* portIfIndex = mib.Find(ColumnRole::PortIfIndex);
    const MibColumn* ifName = mib.Find(ColumnRole::IfName);
    for (const MibColumn* column : {members, untagged, portIfIndex, ifName}) {
        if (column) {
            tables.Of(column->role).clear();
        }
    }
    std::vector<std::pair<const MibColumn*, std::string>> row = {{members, vlanId}};
    if (untagged) {
        row.emplace_back(untagged, vlanId);
    }
    if (InstanceReadEnd end = ReadRows(snmp, settings, mib, row, tables); !end.ok()) {
        return end;
    }
    const ValueTable& lists = tables.Of(ColumnRole::Members);
    const std::string* octets = lists.empty() ? nullptr : OctetsIn(lists.front().value);
    if (!octets) {
        return {};
    }
    std::vector<std::pair<const MibColumn*, std::string>> ports;
    for (const int port : PortsOfOctets(*octets, mib.bitOrder)) {
        ports.emplace_back(portIfIndex, std::to_string(port));
    }
    if (InstanceReadEnd end = ReadRows(snmp, settings, mib, ports, tables); !end.ok()) {
        return end;
    }
    std::set<std::int32_t> ifIndexes;
    for (const ValueRow& port : tables.Of(ColumnRole::PortIfIndex)) {
        if (const auto ifIndex = ParseIfIndex(ValueText(port.value))) {
            ifIndexes.insert(*ifIndex);
        }
    }
    std::vector<std::pair<const MibColumn*, std::string>> names;
    for (const std::int32_t ifIndex : ifIndexes) {
        names.emplace_back(ifName, std::to_string(ifIndex));
    }
    return ReadRows(snmp, settings, mib, names, tables);
}

}  // namespace tarnwick
