// Telling the switch to save its configuration.
#include "vlan/save_configuration.h"

#include <cstdint>

namespace tarnwick {

SnmpStatus SaveConfiguration(SnmpAgent& snmp, const DeviceSettings& settings, const VlanMib& mib) {
    if (mib.saveObject.empty()) {
        return {kNotSupported, "the MIB has no object that saves the configuration"};
    }
    return snmp.Set(settings, mib.saveObject, std::int32_t{1}).status;
}

}  // namespace tarnwick
