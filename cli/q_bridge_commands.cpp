// The read commands and the save on a Q-BRIDGE-MIB switch: its columns, and the vendor
// commands' output with each port's tagging.
#include "cli/q_bridge_commands.h"

#include <initializer_list>
#include <span>

#include "cli/output.h"
#include "vlan/q_bridge_tables.h"
#include "vlan/walk_column.h"

namespace tarnwick::cli {
namespace {

using Tables = QBridgeTables;

// Reads the columns afresh, all together, with the progress line and each failure's message on
// stderr; false when a column failed.
bool ReadColumns(Context& context, Tables& tables, std::initializer_list<QBridgeColumn> wanted) {
    const std::span<const QBridgeColumn> columns(wanted.begin(), wanted.size());
    context.messages.Reading("reading " + WantedColumnNames(kQBridgeColumnWalks, columns));
    const bool read =
        ReadQBridgeColumns(context.snmp, context.settings, tables, columns, context.messages);
    context.messages.ReadDone();
    return read;
}

constexpr std::initializer_list<QBridgeColumn> kPortColumns = {
    &Tables::egressPortsTable, &Tables::untaggedPortsTable, &Tables::basePortIfIndexTable,
    &Tables::ifNameTable};

}  // namespace

int QBridgeVlans(Context& context) {
    Tables tables;
    const bool read = ReadColumns(context, tables, {&Tables::vlanNameTable});
    const bool shown = PrintOutput(context, VlansOutput(QBridgeVlansOf(tables), context.json));
    return Status(read && shown);
}

int QBridgeMembers(Context& context, const std::string& vlan) {
    Tables tables;
    const bool read = ReadColumns(context, tables, kPortColumns);
    const auto members = QBridgeMemberPortsOfVlans(tables, std::span<const std::string>(&vlan, 1));
    const bool shown =
        PrintOutput(context, MembersOutput(vlan, members.front(), context.json, true));
    return Status(read && shown);
}

int QBridgeDump(Context& context) {
    Tables tables;
    const bool read =
        ReadColumns(context, tables,
                    {&Tables::vlanNameTable, &Tables::egressPortsTable, &Tables::untaggedPortsTable,
                     &Tables::basePortIfIndexTable, &Tables::ifNameTable});
    const std::vector<Vlan> vlans = QBridgeVlansOf(tables);
    std::vector<std::string> ids;
    for (const Vlan& vlan : vlans) {
        ids.push_back(vlan.id);
    }
    const bool shown = PrintOutput(
        context, DumpOutput(vlans, QBridgeMemberPortsOfVlans(tables, ids), context.json, true));
    return Status(read && shown);
}

int QBridgeSave(Context& context) {
    context.messages.Show(
        "not saved, nothing sent: the Q-BRIDGE-MIB has no object that saves the configuration; "
        "save it with the switch's own means (its command line or web interface)");
    if (context.json) {
        context.out << JsonText({{QStringLiteral("saved"), false}});
    }
    return kFailed;
}

}  // namespace tarnwick::cli
