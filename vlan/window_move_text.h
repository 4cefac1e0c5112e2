// What the main window tells of a move, in its Chinese texts: the window moves ports on the vendor
// VLAN MIB, one VlanPorts bitmap per VLAN.
#pragma once

#include <string>
#include <string_view>

#include "vlan/move_engine.h"

namespace tarnwick {

inline constexpr std::string_view kSetVlanPortsFailure =
    "设定VlanPorts信息失败，请检查IP地址或共同体名! \r\n错误信息: ";

// Why nothing was sent; empty when there is nothing to say (the port's own VLAN was chosen).
std::string WindowRefusalText(const MoveRefusal& refusal, std::string_view fromVlan,
                              std::string_view toVlan);

// What went wrong and where each port is; empty when the switch confirmed every port in the new
// VLAN.
std::string WindowMoveText(const MovePlan& plan, const MoveReport& report);

}  // namespace tarnwick
