// The commands of tarnwick-cli over the VLAN logic the window uses, printing to `out`.
#pragma once

#include <ostream>

#include "cli/command_line.h"
#include "cli/stderr_messages.h"
#include "snmp/snmp_agent.h"

namespace tarnwick::cli {

inline constexpr int kSucceeded = 0;
inline constexpr int kFailed = 1;  // a request failed; a move refused or not confirmed
inline constexpr int kUsageError = 2;

// Runs the command; its exit status.
int RunCommand(const Invocation& invocation, SnmpAgent& snmp, StderrMessages& messages,
               std::ostream& out);

}  // namespace tarnwick::cli
