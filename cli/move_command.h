// tarnwick-cli's move, on either VLAN MIB: what it sends, what the switch confirmed of each port,
// and what the switch holds when read once more afterwards.
#pragma once

#include <string>
#include <string_view>

#include "cli/command_context.h"
#include "cli/command_line.h"
#include "vlan/move_engine.h"
#include "vlan/vlan_mib.h"

namespace tarnwick::cli {

// The move on the context's VLAN MIB. Exit 0 only when the engine confirmed every port in the
// new VLAN and the read afterwards worked.
int MovePorts(Context& context, const Invocation& invocation);

// Why nothing was sent, in English.
std::string RefusalText(const MoveRefusal& refusal, const VlanMib& mib, std::string_view fromVlan,
                        std::string_view toVlan);
// What went wrong and where each port is, in English; empty when every port moved.
std::string MoveText(const MovePlan& plan, const MoveReport& report, const VlanMib& mib);

}  // namespace tarnwick::cli
