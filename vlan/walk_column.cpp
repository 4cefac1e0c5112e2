// A column walk that reports its own failure in a message box.
#include "vlan/walk_column.h"

#include <string>

namespace tarnwick {

void WalkColumn(SnmpAgent& snmp, MessageBox& messages, const DeviceSettings& settings,
                const WalkRequest& request, WalkTable& table, std::string_view failureMessage) {
    const WalkOutcome outcome = snmp.Walk(settings, request, table);
    if (outcome.end == WalkOutcome::End::Complete) {
        return;
    }
    messages.Show(std::string(failureMessage));
}

}  // namespace tarnwick
