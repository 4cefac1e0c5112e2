// Which VLAN table a switch publishes, from the first row of each candidate's table.
#include "vlan/vlan_mib.h"

#include <utility>

#include "vlan/q_bridge.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {

VlanMibDetection ProbeVlanMib(SnmpAgent& snmp, const DeviceSettings& settings, VlanMib mib) {
    if (mib == VlanMib::Neither) {
        return {};
    }
    const std::string_view column =
        mib == VlanMib::Vendor ? kVlanIdColumn : kDot1qVlanStaticNameColumn;
    WalkTable firstRow;
    WalkOutcome outcome =
        snmp.FirstRow(settings, {column, RowForm::Value, OctetForm::Auto}, firstRow);
    if (!firstRow.empty()) {
        return {mib, {}, {}};
    }
    if (outcome.end != WalkOutcome::End::Complete) {
        return {VlanMib::Neither, column, std::move(outcome.status)};
    }
    return {};
}

VlanMibDetection DetectVlanMib(SnmpAgent& snmp, const DeviceSettings& settings) {
    VlanMibDetection vendor = ProbeVlanMib(snmp, settings, VlanMib::Vendor);
    if (vendor.mib == VlanMib::Vendor || vendor.Failed()) {
        return vendor;
    }
    return ProbeVlanMib(snmp, settings, VlanMib::QBridge);
}

}  // namespace tarnwick
