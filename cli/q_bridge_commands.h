// The commands on a switch that publishes its VLANs through the standard Q-BRIDGE-MIB instead of
// the vendor's table: the same output, with bridge ports and tagged membership.
#pragma once

#include <string>

#include "cli/command_context.h"
#include "cli/command_line.h"

namespace tarnwick::cli {

int QBridgeVlans(Context& context);
int QBridgeMembers(Context& context, const std::string& vlan);
int QBridgeDump(Context& context);
// The MIB has no object that saves the configuration: nothing is sent.
int QBridgeSave(Context& context);

}  // namespace tarnwick::cli
