// Reading columns into the tables and saying how each walk ended; the front ends show it.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

#include "snmp/snmp_agent.h"
#include "vlan/dialog_ports.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {

// One column's walk: the column, the rows it stored, and how it ended (left the column, failed
// at once, gave up at the resend bound, a broken answer, too many rows).
struct ColumnOutcome {
    const ColumnWalk* walk = nullptr;
    std::size_t rows = 0;
    WalkOutcome outcome;
    bool Failed() const { return outcome.end != WalkOutcome::End::Complete; }
};

// Told before each walk (step 1 of steps first), and as soon as each walk has ended.
struct ReadProgress {
    std::function<void(const ColumnWalk& walk, std::size_t step, std::size_t steps)> walking;
    std::function<void(const ColumnOutcome& outcome)> walked;
};

// Appends the column's rows to its table; a failed walk keeps the rows stored so far.
ColumnOutcome WalkColumn(SnmpAgent& snmp, const DeviceSettings& settings, const ColumnWalk& walk,
                         VlanTables& tables);

// Empties the wanted columns' tables, then walks them one after the other in read order.
std::vector<ColumnOutcome> ReadColumns(SnmpAgent& snmp, const DeviceSettings& settings,
                                       VlanTables& tables, std::span<const Column> wanted,
                                       const ReadProgress& progress = {});

// Empties the wanted columns' tables, then reads them all at once (SnmpAgent::WalkColumns): the
// rows and ends of ReadColumns in fewer round trips. `walked` is told of each column afterwards,
// in read order; `walking` is not told.
std::vector<ColumnOutcome> ReadColumnsTogether(SnmpAgent& snmp, const DeviceSettings& settings,
                                               VlanTables& tables, std::span<const Column> wanted,
                                               const ReadProgress& progress = {});

// Shows each failed walk's message once, as soon as the walk has ended: a partial read is never
// silent, in the window or in the shell. With the reason, the library's text for the failure
// follows the message.
ReadProgress ShowingFailures(MessageBox& messages, bool withReason = false);

}  // namespace tarnwick
