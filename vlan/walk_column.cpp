// Reading columns into the tables, and what each walk ended with.
#include "vlan/walk_column.h"

#include <algorithm>
#include <string>

namespace tarnwick {

WalkRequest RequestInto(const ColumnWalk& walk, VlanTables& tables) {
    WalkRequest request = walk.request;
    if (walk.instances) {
        request.instances = &(tables.*walk.instances);
    }
    return request;
}

ColumnOutcome WalkColumn(SnmpAgent& snmp, const DeviceSettings& settings, const ColumnWalk& walk,
                         VlanTables& tables) {
    WalkTable& table = tables.*walk.table;
    const std::size_t before = table.size();
    WalkOutcome outcome = snmp.Walk(settings, RequestInto(walk, tables), table);
    return {&walk, table.size() - before, std::move(outcome)};
}

std::vector<ColumnOutcome> ReadColumns(SnmpAgent& snmp, const DeviceSettings& settings,
                                       VlanTables& tables, std::span<const Column> wanted,
                                       const ReadProgress& progress) {
    // Every table is empty before the first walk: none holds rows of another read meanwhile.
    for (const Column column : wanted) {
        (tables.*column).clear();
    }
    for (const ColumnWalk& walk : kColumnWalks) {
        if (walk.instances && std::find(wanted.begin(), wanted.end(), walk.table) != wanted.end()) {
            (tables.*walk.instances).clear();
        }
    }
    std::vector<ColumnOutcome> outcomes;
    for (const ColumnWalk& walk : kColumnWalks) {
        if (std::find(wanted.begin(), wanted.end(), walk.table) == wanted.end()) {
            continue;
        }
        if (progress.walking) {
            progress.walking(walk, outcomes.size() + 1, wanted.size());
        }
        outcomes.push_back(WalkColumn(snmp, settings, walk, tables));
        if (progress.walked) {
            progress.walked(outcomes.back());
        }
    }
    return outcomes;
}

std::vector<ColumnOutcome> ReadColumnsTogether(SnmpAgent& snmp, const DeviceSettings& settings,
                                               VlanTables& tables, std::span<const Column> wanted,
                                               const ReadProgress& progress) {
    std::vector<ColumnOutcome> outcomes;
    for (auto& [walk, end] : WalkWantedTogether(snmp, settings, kColumnWalks, tables, wanted)) {
        outcomes.push_back({walk, (tables.*walk->table).size(), std::move(end)});
        if (progress.walked) {
            progress.walked(outcomes.back());
        }
    }
    return outcomes;
}

ReadProgress ShowingFailures(MessageBox& messages, bool withReason) {
    return {.walking = {}, .walked = [&messages, withReason](const ColumnOutcome& outcome) {
                if (!outcome.Failed()) {
                    return;
                }
                const std::string& reason = outcome.outcome.status.text;
                messages.Show(std::string(outcome.walk->failureMessage) +
                              (withReason && !reason.empty() ? " 错误信息: " + reason : ""));
            }};
}

}  // namespace tarnwick
