// Which texts are VLAN IDs and interface indexes: the one reading of each, for what a user types
// and for what a switch sends alike.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "snmp/decimal.h"

namespace tarnwick {

inline constexpr int kFirstVlanId = 1;
inline constexpr int kLastVlanId = 4094;  // 0 and 4095 are reserved by IEEE 802.1Q

// The VLAN ID a decimal text names, 1 to 4094; nothing for any other text.
inline std::optional<int> ParseVlanId(std::string_view text) {
    return ParseDecimal(text, kFirstVlanId, kLastVlanId);
}

// The interface index a decimal text names, 1 to 2147483647 (IF-MIB's InterfaceIndex); nothing
// for any other text.
inline std::optional<std::int32_t> ParseIfIndex(std::string_view text) {
    return ParseDecimal<std::int32_t>(text, 1, std::numeric_limits<std::int32_t>::max());
}

}  // namespace tarnwick
