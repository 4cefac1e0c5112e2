// Telling the switch to save its configuration: one SET of the INTEGER 1 to the save object.
#pragma once

#include <string_view>

#include "snmp/snmp_agent.h"
#include "vlan/dialog_ports.h"

namespace tarnwick {

inline constexpr std::string_view kSaveFailure =
    "保存信息失败，请检查IP地址或共同体名! \r\n错误信息: ";

// Shows the failure message with the library's text when the SET fails.
SnmpStatus SaveConfiguration(SnmpAgent& snmp, MessageBox& messages, const DeviceSettings& settings);

}  // namespace tarnwick
