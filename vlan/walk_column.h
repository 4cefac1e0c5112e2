// A column walk that reports its own failure in a message box.
#pragma once

#include <string_view>

#include "snmp/snmp_agent.h"
#include "vlan/dialog_ports.h"

namespace tarnwick {

// Appends the column's rows to the table. When the walk ends other than by leaving the column
// (a request keeps failing, a broken answer, too many rows), the failure message is shown once:
// a partial read is never silent. The rows stored so far stay.
void WalkColumn(SnmpAgent& snmp, MessageBox& messages, const DeviceSettings& settings,
                const WalkRequest& request, WalkTable& table, std::string_view failureMessage);

}  // namespace tarnwick
