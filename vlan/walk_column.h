// Reading columns into the tables and saying how each walk ended; the front ends show it.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <type_traits>
#include <utility>
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

// Told before each walk (step 1 of steps first), and as soon as each walk has ended.
struct ReadProgress {
    std::function<void(const ColumnWalk& walk, std::size_t step, std::size_t steps)> walking;
    std::function<void(const ColumnOutcome& outcome)> walked;
};

// The walk's request, its rows' instances (when it keeps them) going to their table.
WalkRequest RequestInto(const ColumnWalk& walk, VlanTables& tables);

// Appends the column's rows to its table; a failed walk keeps the rows stored so far.
ColumnOutcome WalkColumn(SnmpAgent& snmp, const DeviceSettings& settings, const ColumnWalk& walk,
                         VlanTables& tables);

// Empties the wanted columns' tables, then walks them one after the other in read order.
std::vector<ColumnOutcome> ReadColumns(SnmpAgent& snmp, const DeviceSettings& settings,
                                       VlanTables& tables, std::span<const Column> wanted,
                                       const ReadProgress& progress = {});

// One column of a read of several: its walk (a ColumnWalk, or another MIB's description with a
// `table` member and a `request`) and how it ended.
template <typename Walk>
struct WalkedColumn {
    const Walk* walk = nullptr;
    WalkOutcome outcome;
};

// Of the walks, those whose table is wanted, in the walks' order: each table emptied, then all
// read at once (SnmpAgent::WalkColumns).
template <typename Walk, std::size_t N, typename Tables>
std::vector<WalkedColumn<Walk>> WalkWantedTogether(SnmpAgent& snmp, const DeviceSettings& settings,
                                                   const std::array<Walk, N>& walks, Tables& tables,
                                                   std::span<WalkTable Tables::*const> wanted) {
    std::vector<WalkedColumn<Walk>> walked;
    std::vector<ColumnToWalk> columns;
    for (const Walk& walk : walks) {
        if (std::find(wanted.begin(), wanted.end(), walk.table) != wanted.end()) {
            (tables.*walk.table).clear();
            walked.push_back({&walk, {}});
            WalkRequest request = walk.request;
            if constexpr (std::is_same_v<Walk, ColumnWalk>) {
                request = RequestInto(walk, tables);
                if (request.instances) {
                    request.instances->clear();
                }
            }
            columns.push_back({request, &(tables.*walk.table)});
        }
    }
    std::vector<WalkOutcome> ends = snmp.WalkColumns(settings, columns);
    for (std::size_t i = 0; i < walked.size(); ++i) {
        walked[i].outcome = std::move(ends[i]);
    }
    return walked;
}

// The names of the wanted walks, in the walks' order, ", " apart: what a progress line shows.
template <typename Walk, std::size_t N, typename Column>
std::string WantedColumnNames(const std::array<Walk, N>& walks, std::span<const Column> wanted) {
    std::string names;
    for (const Walk& walk : walks) {
        if (std::find(wanted.begin(), wanted.end(), walk.table) != wanted.end()) {
            names += (names.empty() ? "" : ", ") + std::string(walk.name);
        }
    }
    return names;
}

// Empties the wanted columns' tables, then reads them all at once (WalkWantedTogether): the
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
