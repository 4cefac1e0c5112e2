// Telling the switch to save its configuration.
#include "vlan/save_configuration.h"

#include <cstdint>
#include <string>

#include "vlan/vlan_tables.h"

namespace tarnwick {

SnmpStatus SaveConfiguration(SnmpAgent& snmp, MessageBox& messages,
                             const DeviceSettings& settings) {
    SnmpStatus status = snmp.Set(settings, kSaveConfigurationOid, std::int32_t{1}).status;
    if (!status.ok()) {
        messages.Show(std::string(kSaveFailure) + status.text);
    }
    return status;
}

}  // namespace tarnwick
