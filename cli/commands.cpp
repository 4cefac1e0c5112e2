// The commands of tarnwick-cli: the columns each reads, what it sends, what it prints.
#include "cli/commands.h"

#include <QJsonArray>
#include <algorithm>
#include <initializer_list>
#include <optional>

#include "cli/move_output.h"
#include "cli/output.h"
#include "cli/q_bridge_commands.h"
#include "vlan/member_ports.h"
#include "vlan/port_move.h"
#include "vlan/q_bridge.h"
#include "vlan/save_configuration.h"
#include "vlan/vlan_mib.h"
#include "vlan/vlan_tables.h"
#include "vlan/walk_column.h"

namespace tarnwick::cli {
namespace {

// Reads the tables' columns afresh, all together (the tables of the window's one-column walks in
// fewer round trips), with the progress line and each failure's message on stderr; false when a
// column failed. SNMPv3 has no communities, so there a message also gives the library's reason.
bool ReadColumns(Context& context, VlanTables& tables, std::initializer_list<Column> wanted) {
    context.messages.Reading("reading " +
                             WantedColumnNames(kColumnWalks, std::span<const Column>(wanted)));
    const auto outcomes = ReadColumnsTogether(
        context.snmp, context.settings, tables, {wanted.begin(), wanted.size()},
        ShowingFailures(context.messages, context.settings.version == SnmpVersion::V3));
    context.messages.ReadDone();
    return std::ranges::none_of(outcomes, &ColumnOutcome::Failed);
}

int Vlans(Context& context) {
    VlanTables tables;
    const bool read =
        ReadColumns(context, tables, {&VlanTables::vlanIdTable, &VlanTables::vlanNameTable});
    context.out << VlansOutput(VlansOf(tables), context.json);
    return Status(read);
}

int Members(Context& context, const std::string& vlan) {
    VlanTables tables;
    const bool read = ReadColumns(
        context, tables,
        {&VlanTables::ifNameTable, &VlanTables::vlanPortsTable, &VlanTables::portIfIndexTable});
    context.out << MembersOutput(vlan, MemberPorts(tables, vlan), context.json, false);
    return Status(read);
}

int Dump(Context& context) {
    VlanTables tables;
    const bool read = ReadColumns(
        context, tables,
        {&VlanTables::ifIndexTable, &VlanTables::ifNameTable, &VlanTables::vlanIdTable,
         &VlanTables::vlanNameTable, &VlanTables::vlanPortsTable, &VlanTables::portIfIndexTable});
    context.out << DumpOutput(VlansOf(tables), MemberPortsOfVlans(tables, tables.vlanIdTable),
                              context.json, false);
    return Status(read);
}

std::string_view StepName(MoveStep step) {
    switch (step) {
        case MoveStep::Removal:
            return "removal";
        case MoveStep::Addition:
            return "addition";
        case MoveStep::Restore:
            break;
    }
    return "restore";
}

// What was sent (or, in a dry run, would be), what the switch confirmed of each port, and each
// port's VLANs when the column was read again afterwards.
void PrintMove(Context& context, const PortMovePlan& plan, const PortMoveReport* report,
               const std::vector<std::vector<std::string>>* vlansOfPorts) {
    std::vector<SentSet> planned;
    if (!report) {
        planned = {{MoveStep::Removal, plan.fromVlan, plan.removalText, {}, {}, {}},
                   {MoveStep::Addition, plan.toVlan, plan.additionText, {}, {}, {}}};
    }
    const std::vector<SentSet>& sets = report ? report->sets : planned;
    const std::string unknown = "unknown";
    if (context.json) {
        QJsonArray setList;
        for (const SentSet& set : sets) {
            QJsonObject item{{QStringLiteral("step"), Json(StepName(set.step))},
                             {QStringLiteral("vlan"), NumberOrText(set.vlan)},
                             {QStringLiteral("bitmap"), Json(set.bitmapText)}};
            if (report) {
                item.insert(QStringLiteral("response"), Json(OutcomeName(set.result.outcome)));
                item.insert(QStringLiteral("applied"),
                            set.applied ? QJsonValue(*set.applied) : QJsonValue(Json(unknown)));
            }
            setList.append(item);
        }
        QJsonArray ports;
        QJsonArray confirmed;
        for (std::size_t i = 0; i < plan.ports.size(); ++i) {
            ports.append(plan.ports[i]);
            if (report) {
                const auto vlans =
                    ConfirmedVlans(plan.fromVlan, plan.toVlan, report->ports[i].place);
                confirmed.append(
                    QJsonObject{{QStringLiteral("port"), plan.ports[i]},
                                {QStringLiteral("vlans"), vlans ? QJsonValue(VlanArray(*vlans))
                                                                : QJsonValue(Json(unknown))}});
            }
        }
        QJsonObject document{{QStringLiteral("from"), NumberOrText(plan.fromVlan)},
                             {QStringLiteral("to"), NumberOrText(plan.toVlan)},
                             {QStringLiteral("ports"), ports},
                             {QStringLiteral("dryRun"), !report},
                             {QStringLiteral("sets"), setList}};
        if (report) {
            document.insert(QStringLiteral("moved"), report->AllMoved());
            document.insert(QStringLiteral("confirmed"), confirmed);
        }
        if (vlansOfPorts) {
            QJsonArray after;
            for (std::size_t i = 0; i < plan.ports.size(); ++i) {
                after.append(QJsonObject{{QStringLiteral("port"), plan.ports[i]},
                                         {QStringLiteral("vlans"), VlanArray((*vlansOfPorts)[i])}});
            }
            document.insert(QStringLiteral("portVlans"), after);
        }
        context.out << JsonText(document);
        return;
    }
    TextRows rows{{"SET", "VLAN", "BITMAP", "RESULT"}};
    for (const SentSet& set : sets) {
        rows.push_back({std::string(StepName(set.step)), set.vlan, set.bitmapText,
                        report ? std::string(OutcomeName(set.result.outcome)) +
                                     ", applied: " + std::string(AppliedName(set.applied))
                               : "not sent (dry run)"});
    }
    context.out << AlignedColumns(rows);
    if (!report) {
        return;
    }
    TextRows after{{"PORT", "CONFIRMED IN", "VLANS READ AFTERWARDS"}};
    for (std::size_t i = 0; i < plan.ports.size(); ++i) {
        const auto vlans = ConfirmedVlans(plan.fromVlan, plan.toVlan, report->ports[i].place);
        after.push_back({std::to_string(plan.ports[i]), vlans ? VlanList(*vlans) : unknown,
                         vlansOfPorts ? VlanList((*vlansOfPorts)[i]) : unknown});
    }
    context.out << '\n' << AlignedColumns(after);
}

int Move(Context& context, const Invocation& invocation) {
    const PlannedMove planned = PlanPortMove(context.snmp, context.settings, invocation.fromVlan,
                                             invocation.toVlan, invocation.ports);
    if (const auto* refusal = std::get_if<MoveRefusal>(&planned)) {
        context.messages.Show(refusal->message);
        return kFailed;
    }
    const PortMovePlan& plan = std::get<PortMovePlan>(planned);
    if (invocation.dryRun) {
        PrintMove(context, plan, nullptr, nullptr);
        return kSucceeded;
    }
    const PortMoveReport report = SendPortMove(context.snmp, context.settings, plan);
    if (!report.message.empty()) {
        context.messages.Show(report.message);
    }
    // What the switch holds now, whatever the SETs did.
    VlanTables tables;
    const bool reread = ReadColumns(context, tables, {&VlanTables::vlanPortsTable});
    const auto vlansOfPorts = VlansOfPorts(tables.vlanPortsTable, plan.ports);
    PrintMove(context, plan, &report, reread ? &vlansOfPorts : nullptr);
    return Status(report.AllMoved() && reread);
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
    int (*move)(Context&, const Invocation&);
    int (*save)(Context&);
};
constexpr MibCommands kVendorCommands{Vlans, Members, Dump, Move, Save};
constexpr MibCommands kQBridgeCommands{QBridgeVlans, QBridgeMembers, QBridgeDump, QBridgeMove,
                                       QBridgeSave};

}  // namespace

int RunCommand(const Invocation& invocation, SnmpAgent& snmp, StderrMessages& messages,
               std::ostream& out) {
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
            return commands.move(context, invocation);
        case Command::Save:
            break;
    }
    return commands.save(context);
}

}  // namespace tarnwick::cli
