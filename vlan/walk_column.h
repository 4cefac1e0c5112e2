// The window's reads: the vendor MIB's columns walked one after the other into its tables, and
// how each walk ended.
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
// at once, gave up at the resend bound, a broken answer, too many rows, too much row text).
struct ColumnOutcome {
    const ColumnWalk* walk = nullptr;
    std::size_t rows = 0;
    WalkOutcome outcome;
    bool Failed() const { return outcome.end != WalkOutcome::End::Complete; }
};

// Told as soon as each walk has ended.
using ReadProgress = std::function<void(const ColumnOutcome& outcome)>;

// Appends the column's rows to its table (and their instances, where the walk keeps them); a
// failed walk keeps the rows stored so far.
ColumnOutcome WalkColumn(SnmpAgent& snmp, const DeviceSettings& settings, const ColumnWalk& walk,
                         VlanTables& tables);

// Empties the wanted columns' tables, then walks them one after the other in read order.
std::vector<ColumnOutcome> ReadColumns(SnmpAgent& snmp, const DeviceSettings& settings,
                                       VlanTables& tables, std::span<const Column> wanted,
                                       const ReadProgress& walked = {});

// Shows each failed walk once, as soon as it has ended: a partial read is never silent.
ReadProgress ShowingFailures(MessageBox& messages);

}  // namespace tarnwick
