// What the VLAN MIBs' descriptions answer, and which of them a switch publishes.
#include "vlan/vlan_mib.h"

#include <utility>

#include "vlan/q_bridge_mib.h"
#include "vlan/vendor_mib.h"

namespace tarnwick {

const MibColumn* VlanMib::Find(ColumnRole role) const {
    for (const MibColumn& column : columns) {
        if (column.role == role) {
            return &column;
        }
    }
    return nullptr;
}

std::string ObjectName(const VlanMib& mib, std::string_view oid) {
    for (const MibColumn& column : mib.columns) {
        if (oid.size() > column.oid.size() && oid.starts_with(column.oid) &&
            oid[column.oid.size()] == '.') {
            return std::string(column.name) + std::string(oid.substr(column.oid.size()));
        }
    }
    return std::string(oid);
}

VlanMibDetection ProbeVlanMib(SnmpAgent& snmp, const DeviceSettings& settings, const VlanMib& mib) {
    const MibColumn& probe = *mib.Find(mib.probe);
    WalkTable firstRow;
    WalkOutcome outcome =
        snmp.FirstRow(settings, {probe.oid, RowForm::Value, OctetForm::Auto}, firstRow);
    if (!firstRow.empty()) {
        return {&mib, nullptr, {}};
    }
    if (outcome.end != WalkOutcome::End::Complete) {
        return {nullptr, &probe, std::move(outcome.status)};
    }
    return {};
}

VlanMibDetection DetectVlanMib(SnmpAgent& snmp, const DeviceSettings& settings) {
    VlanMibDetection vendor = ProbeVlanMib(snmp, settings, kVendorMib);
    if (vendor.mib || vendor.Failed()) {
        return vendor;
    }
    return ProbeVlanMib(snmp, settings, kQBridgeMib);
}

}  // namespace tarnwick
