// Which VLAN table a switch publishes: the vendor's, or the standard Q-BRIDGE-MIB's.
#pragma once

#include <string_view>

#include "snmp/snmp_agent.h"

namespace tarnwick {

enum class VlanMib { Vendor, QBridge, Neither };

struct VlanMibDetection {
    VlanMib mib = VlanMib::Neither;
    // Set when a request failed (the answer is then Neither): the column asked and the status.
    std::string_view failedColumn;
    SnmpStatus status;
    bool Failed() const { return !failedColumn.empty(); }
};

// One request for the first row of the MIB's VLAN table (Vendor or QBridge): that MIB when
// there is a row, else Neither.
VlanMibDetection ProbeVlanMib(SnmpAgent& snmp, const DeviceSettings& settings, VlanMib mib);

// The vendor MIB when its VLAN ID column has a row, else Q-BRIDGE when dot1qVlanStaticName has
// one, else Neither: at most two requests. A failed vendor request ends it there, as Neither: the
// vendor MIB is not ruled out, and a switch that publishes both is driven through the vendor's.
VlanMibDetection DetectVlanMib(SnmpAgent& snmp, const DeviceSettings& settings);

}  // namespace tarnwick
