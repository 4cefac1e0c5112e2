// The commands of tarnwick-cli over the VLAN logic the window uses, printing to `out`.
#pragma once

#include <ostream>
#include <span>

#include "cli/command_context.h"
#include "cli/command_line.h"
#include "vlan/vlan_tables.h"

namespace tarnwick::cli {

// Reads the vendor tables' columns afresh, all together (the tables of the window's one-column
// walks in fewer round trips), with the progress line and each failure's message on stderr;
// false when a column failed. SNMPv3 has no communities, so there a message also gives the
// library's reason.
bool ReadColumns(Context& context, VlanTables& tables, std::span<const Column> wanted);

// Runs the command; its exit status.
int RunCommand(Invocation invocation, SnmpAgent& snmp, StderrMessages& messages, std::ostream& out);

}  // namespace tarnwick::cli
