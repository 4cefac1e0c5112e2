// The commands of tarnwick-cli: the columns each reads, what it sends, what it prints.
#include "cli/commands.h"

#include <QJsonArray>
#include <algorithm>
#include <initializer_list>

#include "cli/output.h"
#include "snmp/display_text.h"
#include "vlan/member_ports.h"
#include "vlan/port_move.h"
#include "vlan/save_configuration.h"
#include "vlan/vlan_tables.h"
#include "vlan/walk_column.h"

namespace tarnwick::cli {
namespace {

struct Context {
    SnmpAgent& snmp;
    StderrMessages& messages;
    const DeviceSettings& settings;
    bool json;
    std::ostream& out;
};

// Walks the tables' columns afresh in the window's read order, one after the other, with the
// progress line and each failure's message on stderr; false when a walk failed.
bool ReadColumns(Context& context, VlanTables& tables, std::initializer_list<Column> wanted) {
    ReadProgress progress = ShowingFailures(context.messages);
    progress.walking = [&](const ColumnWalk& walk, std::size_t step, std::size_t steps) {
        context.messages.Reading("reading " + std::string(walk.name) + " (" + std::to_string(step) +
                                 "/" + std::to_string(steps) + ")");
    };
    const auto outcomes = tarnwick::ReadColumns(context.snmp, context.settings, tables,
                                                {wanted.begin(), wanted.size()}, progress);
    context.messages.ReadDone();
    return std::ranges::none_of(outcomes, &ColumnOutcome::Failed);
}

int Status(bool succeeded) {
    return succeeded ? kSucceeded : kFailed;
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

// One SET of a move as it was planned, and whether the switch took it (none: not sent).
struct MoveSet {
    std::string_view step;
    const std::string& vlan;
    const std::string& bitmapText;
    std::optional<bool> taken;
};

// What SendPortMove sent, in order, told by its result.
std::vector<MoveSet> SetsOf(const PortMovePlan& plan, std::optional<MoveResult> result) {
    const bool removed = result && *result != MoveResult::RemovalFailed;
    const auto taken = [&](bool ok) { return result ? std::optional(ok) : std::nullopt; };
    std::vector<MoveSet> sets{{"removal", plan.fromVlan, plan.removalText, taken(removed)}};
    if (!result || removed) {
        sets.push_back(
            {"addition", plan.toVlan, plan.additionText, taken(result == MoveResult::Moved)});
    }
    if (result && (*result == MoveResult::AdditionFailedRestored ||
                   *result == MoveResult::AdditionFailedNotRestored)) {
        sets.push_back({"restore", plan.fromVlan, plan.restoreText,
                        *result == MoveResult::AdditionFailedRestored});
    }
    return sets;
}

std::string_view ResultName(std::optional<MoveResult> result) {
    if (!result) {
        return "dryRun";
    }
    switch (*result) {
        case MoveResult::Moved:
            return "moved";
        case MoveResult::RemovalFailed:
            return "removalFailed";
        case MoveResult::AdditionFailedRestored:
            return "additionFailedRestored";
        case MoveResult::AdditionFailedNotRestored:
            break;
    }
    return "additionFailedNotRestored";
}

QString Json(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The bitmaps sent (or, in a dry run, to be sent) and each port's VLANs afterwards when the
// column was read again.
void PrintMove(Context& context, const PortMovePlan& plan, std::optional<MoveResult> result,
               const std::vector<std::vector<std::string>>* vlansOfPorts) {
    const std::vector<MoveSet> sets = SetsOf(plan, result);
    if (context.json) {
        QJsonArray setList;
        for (const MoveSet& set : sets) {
            QJsonObject item{{QStringLiteral("step"), Json(set.step)},
                             {QStringLiteral("vlan"), NumberOrText(set.vlan)},
                             {QStringLiteral("bitmap"), Json(set.bitmapText)}};
            if (set.taken) {
                item.insert(QStringLiteral("ok"), *set.taken);
            }
            setList.append(item);
        }
        QJsonArray ports;
        for (const int port : plan.ports) {
            ports.append(port);
        }
        QJsonObject document{{QStringLiteral("from"), NumberOrText(plan.fromVlan)},
                             {QStringLiteral("to"), NumberOrText(plan.toVlan)},
                             {QStringLiteral("ports"), ports},
                             {QStringLiteral("dryRun"), !result},
                             {QStringLiteral("result"), Json(ResultName(result))},
                             {QStringLiteral("sets"), setList}};
        if (vlansOfPorts) {
            QJsonArray after;
            for (std::size_t i = 0; i < plan.ports.size(); ++i) {
                QJsonArray vlans;
                for (const std::string& vlan : (*vlansOfPorts)[i]) {
                    vlans.append(NumberOrText(vlan));
                }
                after.append(QJsonObject{{QStringLiteral("port"), plan.ports[i]},
                                         {QStringLiteral("vlans"), vlans}});
            }
            document.insert(QStringLiteral("portVlans"), after);
        }
        context.out << JsonText(document);
        return;
    }
    TextRows rows{{"SET", "VLAN", "BITMAP", "RESULT"}};
    for (const MoveSet& set : sets) {
        rows.push_back({std::string(set.step), set.vlan, set.bitmapText,
                        !set.taken   ? "not sent (dry run)"
                        : *set.taken ? "ok"
                                     : "failed"});
    }
    context.out << AlignedColumns(rows);
    if (vlansOfPorts) {
        TextRows after{{"PORT", "VLANS"}};
        for (std::size_t i = 0; i < plan.ports.size(); ++i) {
            std::string vlans;
            for (const std::string& vlan : (*vlansOfPorts)[i]) {
                vlans += (vlans.empty() ? "" : ",") + vlan;
            }
            after.push_back({std::to_string(plan.ports[i]), vlans});
        }
        context.out << '\n' << AlignedColumns(after);
    }
}

int Move(Context& context, const Invocation& invocation) {
    VlanTables tables;
    if (!ReadColumns(context, tables, {&VlanTables::vlanPortsTable})) {
        return kFailed;
    }
    auto planned = PlanPortMove(tables.vlanPortsTable, invocation.fromVlan, invocation.toVlan,
                                invocation.ports);
    if (const auto* refusal = std::get_if<MoveRefusal>(&planned)) {
        context.messages.Show(refusal->message);
        return kFailed;
    }
    const PortMovePlan& plan = std::get<PortMovePlan>(planned);
    if (invocation.dryRun) {
        PrintMove(context, plan, std::nullopt, nullptr);
        return kSucceeded;
    }
    const MoveResult result = SendPortMove(context.snmp, context.messages, context.settings, plan);
    // What the switch holds now, whatever the SETs did.
    const bool reread = ReadColumns(context, tables, {&VlanTables::vlanPortsTable});
    const auto vlansOfPorts = VlansOfPorts(tables.vlanPortsTable, plan.ports);
    PrintMove(context, plan, result, reread ? &vlansOfPorts : nullptr);
    return Status(result == MoveResult::Moved && reread);
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
