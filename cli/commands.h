// The commands of tarnwick-cli over the VLAN logic the window uses, printing to `out`.
#pragma once

#include <ostream>

#include "cli/command_context.h"
#include "cli/command_line.h"

namespace tarnwick::cli {

// Runs the command; its exit status.
int RunCommand(const Invocation& invocation, SnmpAgent& snmp, StderrMessages& messages,
               std::ostream& out);

}  // namespace tarnwick::cli
