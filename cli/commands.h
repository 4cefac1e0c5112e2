// The commands of tarnwick-cli, one class each over one context, on either VLAN MIB through its
// description; and the run of one command line.
#pragma once

#include <initializer_list>
#include <memory>
#include <ostream>

#include "cli/command_context.h"
#include "cli/command_line.h"
#include "cli/messages.h"
#include "vlan/mib_tables.h"

namespace tarnwick::cli {

class CliCommand {
public:
    virtual ~CliCommand() = default;
    // Its exit status.
    virtual int Execute(Context& context) const = 0;
};

// The command the invocation names; none for journal, undo and confirm, which start from the
// journal (RunCommand runs them).
std::unique_ptr<CliCommand> MakeCommand(const Invocation& invocation);

// Reads the MIB's columns in the roles afresh, all together, with the progress line and each
// failure's message (the column and the library's reason); false when a column failed. A role
// the MIB has no column for is skipped.
bool ReadColumns(Context& context, MibTables& tables, std::initializer_list<ColumnRole> roles);

// The MIB the commands go through: the forced one if the switch has rows in its table, else
// the one the switch publishes. Nothing, with a message, when there is none or a request failed.
const VlanMib* ChooseVlanMib(SnmpAgent& snmp, Messages& messages, const DeviceSettings& settings,
                             MibChoice choice);

// Resolves the switch's address once (undo: takes the change's), finds its VLAN MIB (or takes
// the forced one) and runs the command; its exit status. journal and confirm reach no switch;
// a locate of several switches asks each that way.
int RunCommand(Invocation invocation, SnmpAgent& snmp, Messages& messages, std::ostream& out);

}  // namespace tarnwick::cli
