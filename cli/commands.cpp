// The commands of tarnwick-cli: the columns each reads, what it sends, what it prints.
#include "cli/commands.h"

#include <QJsonArray>
#include <algorithm>
#include <initializer_list>

#include "cli/move_output.h"
#include "cli/output.h"
#include "snmp/display_text.h"
#include "vlan/member_ports.h"
#include "vlan/port_move.h"
#include "vlan/save_configuration.h"
#include "vlan/vlan_tables.h"
#include "vlan/walk_column.h"

namespace tarnwick::cli {
namespace {

// Reads the tables' columns afresh, all together (the tables of the window's one-column walks in
// fewer round trips), with the progress line and each failure's message on stderr; false when a
// column failed. SNMPv3 has no communities, so there a message also gives the library's reason.
bool ReadColumns(Context& context, VlanTables& tables, std::initializer_list<Column> wanted) {
    std::string names;
    for (const ColumnWalk& walk : kColumnWalks) {
        if (std::find(wanted.begin(), wanted.end(), walk.table) != wanted.end()) {
            names += (names.empty() ? "" : ", ") + std::string(walk.name);
        }
    }
    context.messages.Reading("reading " + names);
    const auto outcomes = ReadColumnsTogether(
        context.snmp, context.settings, tables, {wanted.begin(), wanted.size()},
        ShowingFailures(context.messages, context.settings.version == SnmpVersion::V3));
    context.messages.ReadDone();
    return std::ranges::none_of(outcomes, &ColumnOutcome::Failed);
}

QJsonObject VlanJson(const Vlan& vlan) {
    return {{QStringLiteral("id"), NumberOrText(vlan.id)},
            {QStringLiteral("name"), DisplayText(vlan.name.value_or(""))}};
}

QJsonArray PortsJson(const std::vector<MemberPort>& members) {
    QJsonArray ports;
    for (const MemberPort& member : members) {
        QJsonObject port{{QStringLiteral("port"), member.port}};
        if (member.ifIndex) {
            port.insert(QStringLiteral("ifIndex"), NumberOrText(*member.ifIndex));
        }
        if (member.ifName) {
            port.insert(QStringLiteral("ifName"), DisplayText(*member.ifName));
        }
        ports.append(port);
    }
    return ports;
}

std::string PortsText(const std::vector<MemberPort>& members, std::string_view indent) {
    TextRows rows{{"PORT", "IFINDEX", "IFNAME"}};
    for (const MemberPort& member : members) {
        rows.push_back({std::to_string(member.port), member.ifIndex.value_or(""),
                        member.ifName ? NameCell(*member.ifName) : ""});
    }
    return AlignedColumns(rows, indent);
}

int Vlans(Context& context) {
    VlanTables tables;
    const bool read =
        ReadColumns(context, tables, {&VlanTables::vlanIdTable, &VlanTables::vlanNameTable});
    const std::vector<Vlan> vlans = VlansOf(tables);
    if (context.json) {
        QJsonArray list;
        for (const Vlan& vlan : vlans) {
            list.append(VlanJson(vlan));
        }
        context.out << JsonText({{QStringLiteral("vlans"), list}});
    } else {
        TextRows rows{{"ID", "NAME"}};
        for (const Vlan& vlan : vlans) {
            rows.push_back({vlan.id, NameCell(vlan.name.value_or(""))});
        }
        context.out << AlignedColumns(rows);
    }
    return Status(read);
}

int Members(Context& context, const std::string& vlan) {
    VlanTables tables;
    const bool read = ReadColumns(
        context, tables,
        {&VlanTables::ifNameTable, &VlanTables::vlanPortsTable, &VlanTables::portIfIndexTable});
    const std::vector<MemberPort> members = MemberPorts(tables, vlan);
    if (context.json) {
        context.out << JsonText({{QStringLiteral("vlan"), NumberOrText(vlan)},
                                 {QStringLiteral("ports"), PortsJson(members)}});
    } else {
        context.out << PortsText(members, "");
    }
    return Status(read);
}

int Dump(Context& context) {
    VlanTables tables;
    const bool read = ReadColumns(
        context, tables,
        {&VlanTables::ifIndexTable, &VlanTables::ifNameTable, &VlanTables::vlanIdTable,
         &VlanTables::vlanNameTable, &VlanTables::vlanPortsTable, &VlanTables::portIfIndexTable});
    const std::vector<Vlan> vlans = VlansOf(tables);
    const auto members = MemberPortsOfVlans(tables, tables.vlanIdTable);
    QJsonArray list;
    for (std::size_t i = 0; i < vlans.size(); ++i) {
        if (context.json) {
            QJsonObject vlan = VlanJson(vlans[i]);
            vlan.insert(QStringLiteral("ports"), PortsJson(members[i]));
            list.append(vlan);
            continue;
        }
        context.out << (i == 0 ? "" : "\n") << "VLAN " << vlans[i].id << "  "
                    << NameCell(vlans[i].name.value_or("")) << '\n';
        if (!members[i].empty()) {
            context.out << PortsText(members[i], "  ");
        }
    }
    if (context.json) {
        context.out << JsonText({{QStringLiteral("vlans"), list}});
    }
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

}  // namespace

int RunCommand(const Invocation& invocation, SnmpAgent& snmp, StderrMessages& messages,
               std::ostream& out) {
    Context context{snmp, messages, invocation.settings, invocation.json, out};
    switch (invocation.command) {
        case Command::Vlans:
            return Vlans(context);
        case Command::Members:
            return Members(context, invocation.vlan);
        case Command::Dump:
            return Dump(context);
        case Command::Move:
            return Move(context, invocation);
        case Command::Save:
            break;
    }
    return Save(context);
}

}  // namespace tarnwick::cli
