// The window's reads into its tables, and what each walk ended with.
#include "vlan/walk_column.h"

#include <algorithm>

namespace tarnwick {

ColumnOutcome WalkColumn(SnmpAgent& snmp, const DeviceSettings& settings, const ColumnWalk& walk,
                         VlanTables& tables) {
    WalkTable& table = tables.*walk.table;
    const std::size_t before = table.size();
    WalkRequest request = RequestOf(*walk.column);
    if (walk.instances) {
        request.instances = &(tables.*walk.instances);
    }
    WalkOutcome outcome = snmp.Walk(settings, request, table);
    return {&walk, table.size() - before, std::move(outcome)};
}

std::vector<ColumnOutcome> ReadColumns(SnmpAgent& snmp, const DeviceSettings& settings,
                                       VlanTables& tables, std::span<const Column> wanted,
                                       const ReadProgress& walked) {
    const auto isWanted = [&](const ColumnWalk& walk) {
        return std::find(wanted.begin(), wanted.end(), walk.table) != wanted.end();
    };
    // Every table is empty before the first walk: none holds rows of another read meanwhile.
    for (const ColumnWalk& walk : kColumnWalks) {
        if (isWanted(walk)) {
            (tables.*walk.table).clear();
            if (walk.instances) {
                (tables.*walk.instances).clear();
            }
        }
    }
    std::vector<ColumnOutcome> outcomes;
    for (const ColumnWalk& walk : kColumnWalks) {
        if (!isWanted(walk)) {
            continue;
        }
        outcomes.push_back(WalkColumn(snmp, settings, walk, tables));
        if (walked) {
            walked(outcomes.back());
        }
    }
    return outcomes;
}

ReadProgress ShowingFailures(MessageBox& messages) {
    return [&messages](const ColumnOutcome& outcome) {
        if (outcome.Failed()) {
            messages.Show(ReadFailure{outcome.walk->column->role, outcome.outcome});
        }
    };
}

}  // namespace tarnwick
