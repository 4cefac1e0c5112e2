// What every command of tarnwick-cli works with: the switch and its VLAN MIB, where messages and
// output go, and how an outcome becomes the exit status.
#pragma once

#include <QString>
#include <ostream>
#include <string_view>

#include "cli/messages.h"
#include "snmp/display_text.h"
#include "snmp/snmp_agent.h"
#include "vlan/vlan_mib.h"

namespace tarnwick::cli {

inline constexpr int kSucceeded = 0;
inline constexpr int kFailed = 1;  // a request failed; a move refused or not confirmed
inline constexpr int kUsageError = 2;

struct Context {
    SnmpAgent& snmp;
    Messages& messages;
    const DeviceSettings& settings;
    const VlanMib& mib;
    bool json;
    std::ostream& out;
};

inline int Status(bool succeeded) {
    return succeeded ? kSucceeded : kFailed;
}

// UTF-8 text as a JSON string.
inline QString Json(std::string_view text) {
    return Utf8Text(text);
}

}  // namespace tarnwick::cli
