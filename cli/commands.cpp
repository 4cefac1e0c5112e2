// The commands of tarnwick-cli: the columns each reads, what it sends, what it prints.
#include "cli/commands.h"

#include <QJsonArray>
#include <algorithm>
#include <initializer_list>
#include <optional>

#include "cli/move_command.h"
#include "cli/output.h"
#include "cli/q_bridge_commands.h"
#include "vlan/member_ports.h"
#include "vlan/q_bridge.h"
#include "vlan/save_configuration.h"
#include "vlan/vlan_mib.h"
#include "vlan/vlan_tables.h"
#include "vlan/walk_column.h"

namespace tarnwick::cli {

bool ReadColumns(Context& context, VlanTables& tables, std::span<const Column> wanted) {
    context.messages.Reading("reading " + WantedColumnNames(kColumnWalks, wanted));
    const auto outcomes = ReadColumnsTogether(
        context.snmp, context.settings, tables, wanted,
        ShowingFailures(context.messages, context.settings.version == SnmpVersion::V3));
    context.messages.ReadDone();
    return std::ranges::none_of(outcomes, &ColumnOutcome::Failed);
}

namespace {

bool ReadColumns(Context& context, VlanTables& tables, std::initializer_list<Column> wanted) {
    return ReadColumns(context, tables, std::span<const Column>(wanted.begin(), wanted.size()));
}

int Vlans(Context& context) {
    VlanTables tables;
    const bool read =
        ReadColumns(context, tables, {&VlanTables::vlanIdTable, &VlanTables::vlanNameTable});
    const bool shown = PrintOutput(context, VlansOutput(VlansOf(tables), context.json));
    return Status(read && shown);
}

int Members(Context& context, const std::string& vlan) {
    VlanTables tables;
    const bool read = ReadColumns(
        context, tables,
        {&VlanTables::ifNameTable, &VlanTables::vlanPortsTable, &VlanTables::portIfIndexTable});
    const bool shown =
        PrintOutput(context, MembersOutput(vlan, MemberPorts(tables, vlan), context.json, false));
    return Status(read && shown);
}

int Dump(Context& context) {
    VlanTables tables;
    const bool read = ReadColumns(
        context, tables,
        {&VlanTables::ifIndexTable, &VlanTables::ifNameTable, &VlanTables::vlanIdTable,
         &VlanTables::vlanNameTable, &VlanTables::vlanPortsTable, &VlanTables::portIfIndexTable});
    const bool shown = PrintOutput(
        context, DumpOutput(VlansOf(tables), MemberPortsOfVlans(tables, tables.vlanIdTable),
                            context.json, false));
    return Status(read && shown);
}

int Save(Context& context) {
    const bool saved = SaveConfiguration(context.snmp, context.messages, context.settings).ok();
    if (context.json) {
        context.out << JsonText({{QStringLiteral("saved"), saved}});
    } else if (saved) {
        context.out << "saved\n";
    }
    return Status(saved);
}

// How each MIB's VLAN table is named in messages: the table, and the column asked for its
// first row.
struct MibTable {
    std::string_view table;
    std::string_view column;
    std::string_view oid;
};
constexpr MibTable kMibTables[] = {
    {"the vendor VLAN table", "VLAN ID", kVlanIdColumn},
    {"Q-BRIDGE-MIB's dot1qVlanStaticTable", QBridgeColumnName(kDot1qVlanStaticNameColumn),
     kDot1qVlanStaticNameColumn}};

std::string ColumnText(const MibTable& table) {
    return std::string(table.column) + " (" + std::string(table.oid) + ")";
}

// The MIB the commands go through: the forced one if the switch has rows in its table, else
// the one the switch publishes. Nothing, with a message, when there is none or a request failed.
std::optional<VlanMib> ChooseVlanMib(Context& context, MibChoice choice) {
    context.messages.Reading("asking which VLAN MIB the switch publishes");
    const VlanMibDetection found =
        choice == MibChoice::Auto
            ? DetectVlanMib(context.snmp, context.settings)
            : ProbeVlanMib(context.snmp, context.settings,
                           choice == MibChoice::Vendor ? VlanMib::Vendor : VlanMib::QBridge);
    context.messages.ReadDone();
    if (found.mib != VlanMib::Neither) {
        return found.mib;
    }
    const MibTable& vendor = kMibTables[0];
    const MibTable& standard = kMibTables[1];
    if (found.Failed()) {
        const MibTable& asked = found.failedColumn == vendor.oid ? vendor : standard;
        context.messages.Show((choice == MibChoice::Auto
                                   ? "could not tell which VLAN MIB the switch publishes: reading "
                                   : "could not read the VLAN table --mib names: reading ") +
                              ColumnText(asked) + " failed: " + found.status.text);
    } else if (choice == MibChoice::Auto) {
        context.messages.Show("the switch publishes neither " + std::string(vendor.table) +
                              " nor " + std::string(standard.table) + ": " + ColumnText(vendor) +
                              " and " + ColumnText(standard) + " have no rows");
    } else {
        const MibTable& forced = choice == MibChoice::Vendor ? vendor : standard;
        context.messages.Show("the switch has no rows in " + std::string(forced.table) +
                              ", which --mib names: " + ColumnText(forced) + " has none");
    }
    return std::nullopt;
}

// The commands over one MIB's tables.
struct MibCommands {
    int (*vlans)(Context&);
    int (*members)(Context&, const std::string&);
    int (*dump)(Context&);
    int (*save)(Context&);
};
constexpr MibCommands kVendorCommands{Vlans, Members, Dump, Save};
constexpr MibCommands kQBridgeCommands{QBridgeVlans, QBridgeMembers, QBridgeDump, QBridgeSave};

}  // namespace

int RunCommand(Invocation invocation, SnmpAgent& snmp, StderrMessages& messages,
               std::ostream& out) {
    // Every request of the run goes to the one address the name resolves to now.
    invocation.settings.pinnedAddress = ResolveDeviceAddress(invocation.settings.ipAddress);
    Context context{snmp, messages, invocation.settings, invocation.json, out};
    const std::optional<VlanMib> mib = ChooseVlanMib(context, invocation.mib);
    if (!mib) {
        return kFailed;
    }
    const MibCommands& commands = *mib == VlanMib::QBridge ? kQBridgeCommands : kVendorCommands;
    switch (invocation.command) {
        case Command::Vlans:
            return commands.vlans(context);
        case Command::Members:
            return commands.members(context, invocation.vlan);
        case Command::Dump:
            return commands.dump(context);
        case Command::Move:
            return MovePorts(context, invocation, *mib);
        case Command::Save:
            break;
    }
    return commands.save(context);
}

}  // namespace tarnwick::cli
