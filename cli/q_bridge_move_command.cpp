// tarnwick-cli's move on a Q-BRIDGE switch: what it sends, what the switch confirmed of each port,
// and what the objects hold when read once more afterwards.
#include <QJsonArray>
#include <QJsonObject>

#include "cli/move_output.h"
#include "cli/output.h"
#include "cli/q_bridge_commands.h"
#include "snmp/decimal.h"
#include "vlan/port_bitmap.h"
#include "vlan/q_bridge_move.h"

namespace tarnwick::cli {
namespace {

// A PortList as two hex digits per octet, a PVID as its number.
std::string ValueText(const SnmpValue& value) {
    if (const std::string* octets = OctetsIn(value)) {
        return BitmapText(*octets);
    }
    if (const auto* number = std::get_if<Unsigned32>(&value)) {
        return std::to_string(number->value);
    }
    return std::to_string(std::get<std::int32_t>(value));
}

QJsonValue ValueJson(const SnmpValue& value) {
    return OctetsIn(value) ? QJsonValue(Json(ValueText(value))) : NumberOrText(ValueText(value));
}

QJsonObject StateJson(const QBridgePortState& state) {
    return {{QStringLiteral("port"), state.port},
            {QStringLiteral("fromEgress"), state.inFromEgress},
            {QStringLiteral("fromUntagged"), state.inFromUntagged},
            {QStringLiteral("toEgress"), state.inToEgress},
            {QStringLiteral("toUntagged"), state.inToUntagged},
            {QStringLiteral("pvid"), static_cast<qint64>(state.pvid)}};
}

std::string Member(bool egress, bool untagged) {
    return untagged ? "untagged" : egress ? "tagged" : "-";
}

// "FROM untagged, TO -, PVID 10".
std::string StateText(const QBridgePortState& state) {
    return "FROM " + Member(state.inFromEgress, state.inFromUntagged) + ", TO " +
           Member(state.inToEgress, state.inToUntagged) + ", PVID " + std::to_string(state.pvid);
}

void PrintJson(Context& context, const QBridgeMovePlan& plan,
               const std::vector<QBridgeSentSet>& sets, const QBridgeMoveReport* report,
               const std::optional<std::vector<QBridgePortState>>& afterwards) {
    const std::string from = std::to_string(plan.fromVlan);
    const std::string to = std::to_string(plan.toVlan);
    QJsonArray setList;
    for (const QBridgeSentSet& set : sets) {
        QJsonArray bindings;
        for (const VarBinding& binding : set.bindings) {
            bindings.append(
                QJsonObject{{QStringLiteral("object"), Json(QBridgeObjectName(binding.oid))},
                            {QStringLiteral("oid"), Json(binding.oid)},
                            {QStringLiteral("value"), ValueJson(binding.value)}});
        }
        QJsonObject item{{QStringLiteral("step"), Json(set.step)},
                         {QStringLiteral("bindings"), bindings}};
        if (report) {
            item.insert(QStringLiteral("response"), Json(OutcomeName(set.result.outcome)));
            item.insert(QStringLiteral("applied"),
                        set.applied ? QJsonValue(*set.applied) : QJsonValue(Json("unknown")));
        }
        setList.append(item);
    }
    QJsonArray ports;
    for (const int port : plan.ports) {
        ports.append(port);
    }
    QJsonObject document{
        {QStringLiteral("mib"), Json("q-bridge")}, {QStringLiteral("from"), NumberOrText(from)},
        {QStringLiteral("to"), NumberOrText(to)},  {QStringLiteral("ports"), ports},
        {QStringLiteral("dryRun"), !report},       {QStringLiteral("sets"), setList}};
    if (report) {
        QJsonArray confirmed;
        for (const QBridgePortState& state : report->ports) {
            const auto vlans = ConfirmedVlans(from, to, state.place);
            confirmed.append(
                QJsonObject{{QStringLiteral("port"), state.port},
                            {QStringLiteral("vlans"),
                             vlans ? QJsonValue(VlanArray(*vlans)) : QJsonValue(Json("unknown"))}});
        }
        document.insert(QStringLiteral("moved"), report->AllMoved());
        document.insert(QStringLiteral("confirmed"), confirmed);
    }
    if (afterwards) {
        QJsonArray after;
        for (const QBridgePortState& state : *afterwards) {
            after.append(StateJson(state));
        }
        document.insert(QStringLiteral("afterwards"), after);
    }
    context.out << JsonText(document);
}

void PrintText(Context& context, const QBridgeMovePlan& plan,
               const std::vector<QBridgeSentSet>& sets, const QBridgeMoveReport* report,
               const std::optional<std::vector<QBridgePortState>>& afterwards) {
    TextRows rows{{"SET", "OBJECT", "VALUE", "RESULT"}};
    for (const QBridgeSentSet& set : sets) {
        const std::string result = report
                                       ? std::string(OutcomeName(set.result.outcome)) +
                                             ", applied: " + std::string(AppliedName(set.applied))
                                       : "not sent (dry run)";
        for (std::size_t i = 0; i < set.bindings.size(); ++i) {
            const VarBinding& binding = set.bindings[i];
            rows.push_back({i == 0 ? set.step : "", QBridgeObjectName(binding.oid),
                            ValueText(binding.value), i == 0 ? result : ""});
        }
    }
    context.out << AlignedColumns(rows);
    if (!report) {
        return;
    }
    const std::string from = std::to_string(plan.fromVlan);
    const std::string to = std::to_string(plan.toVlan);
    TextRows after{{"PORT", "CONFIRMED IN", "READ AFTERWARDS"}};
    for (std::size_t i = 0; i < report->ports.size(); ++i) {
        const auto vlans = ConfirmedVlans(from, to, report->ports[i].place);
        after.push_back({std::to_string(report->ports[i].port),
                         vlans ? VlanList(*vlans) : "unknown",
                         afterwards ? StateText((*afterwards)[i]) : "unknown"});
    }
    context.out << '\n' << AlignedColumns(after);
}

void PrintMove(Context& context, const QBridgeMovePlan& plan, const QBridgeMoveReport* report,
               const std::optional<std::vector<QBridgePortState>>& afterwards) {
    // A dry run shows the one request the move sends first.
    const std::vector<QBridgeSentSet> planned{{"together", plan.goal, {}, {}, {}}};
    const std::vector<QBridgeSentSet>& sets = report ? report->sets : planned;
    if (context.json) {
        PrintJson(context, plan, sets, report, afterwards);
    } else {
        PrintText(context, plan, sets, report, afterwards);
    }
}

}  // namespace

int QBridgeMove(Context& context, const Invocation& invocation) {
    // The command line has checked both: decimal VLAN IDs from 1 to 4094.
    const auto from = ParseDecimal<std::uint32_t>(invocation.fromVlan);
    const auto to = ParseDecimal<std::uint32_t>(invocation.toVlan);
    if (!from || !to) {
        context.messages.Show("VLAN IDs must be decimal numbers; nothing was sent.");
        return kFailed;
    }
    const PlannedQBridgeMove planned =
        PlanQBridgeMove(context.snmp, context.settings, *from, *to, invocation.ports);
    if (const auto* refusal = std::get_if<MoveRefusal>(&planned)) {
        context.messages.Show(refusal->message);
        return kFailed;
    }
    const QBridgeMovePlan& plan = std::get<QBridgeMovePlan>(planned);
    if (invocation.dryRun) {
        PrintMove(context, plan, nullptr, std::nullopt);
        return kSucceeded;
    }
    const QBridgeMoveReport report = SendQBridgeMove(context.snmp, context.settings, plan);
    if (!report.message.empty()) {
        context.messages.Show(report.message);
    }
    // What the switch holds now, whatever the SETs did.
    const auto afterwards = ReadQBridgePorts(context.snmp, context.settings, plan);
    PrintMove(context, plan, &report, afterwards);
    return Status(report.AllMoved() && afterwards.has_value());
}

}  // namespace tarnwick::cli
