// Reading columns into the tables, and what each walk ended with: the front ends decide what to
// show of it.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

#include "snmp/snmp_agent.h"
#include "vlan/dialog_ports.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {

// How one column's walk ended: the column, the rows it stored, and the walk's end (left the
// column, failed at once, gave up at the resend bound, a broken answer, too many rows).
struct ColumnOutcome {
    const ColumnWalk* walk = nullptr;
    std::size_t rows = 0;
    WalkOutcome outcome;
    bool Failed() const { return outcome.end != WalkOutcome::End::Complete; }
};

// Told while a read goes on: before each walk (step 1 of steps first), and as soon as each walk
// has ended, before the next one begins.
struct ReadProgress {
    std::function<void(const ColumnWalk& walk, std::size_t step, std::size_t steps)> walking;
    std::function<void(const ColumnOutcome& outcome)> walked;
};

// Appends the column's rows to its table. A walk that ends other than by leaving the column keeps
// the rows stored so far.
ColumnOutcome WalkColumn(SnmpAgent& snmp, const DeviceSettings& settings, const ColumnWalk& walk,
                         VlanTables& tables);

// Empties the wanted columns' tables, then walks them one after the other in read order.
std::vector<ColumnOutcome> ReadColumns(SnmpAgent& snmp, const DeviceSettings& settings,
                                       VlanTables& tables, std::span<const Column> wanted,
                                       const ReadProgress& progress = {});

// No walk of the read failed.
bool ReadComplete(std::span<const ColumnOutcome> outcomes);

// A failed walk as the window and the shell show it: the column's message, once; a partial read
// is never silent.
void ShowReadFailure(MessageBox& messages, const ColumnOutcome& outcome);

}  // namespace tarnwick
