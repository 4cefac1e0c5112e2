// tarnwick-cli's move: the planner of the switch's VLAN MIB, the move engine, and what is printed.
#include "cli/move_command.h"

#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>
#include <chrono>
#include <optional>

#include "cli/change_journal.h"
#include "cli/commands.h"
#include "cli/confirmation_wait.h"
#include "cli/output.h"
#include "cli/signal_hold.h"
#include "vlan/mib_tables.h"
#include "vlan/port_bitmap.h"
#include "vlan/port_move.h"
#include "vlan/q_bridge_move.h"
#include "vlan/vendor_mib.h"

namespace tarnwick::cli {
namespace {

std::string VlanText(std::string_view vlan) {
    return "VLAN " + std::string(vlan);
}

std::string PortText(int port) {
    return "port " + std::to_string(port);
}

std::string PortsText(const std::vector<int>& ports) {
    return (ports.size() == 1 ? "port " : "ports ") + PortListText(ports);
}

std::string Membership(std::optional<Part> member, std::optional<Part> untagged) {
    if (!member) {
        return "unknown";
    }
    if (untagged == Part{1}) {
        return *member ? "untagged" : "untagged only, not a member";
    }
    return *member ? (untagged ? "tagged" : "member") : "not a member";
}

// "VLAN 10: untagged, VLAN 20: not a member, PVID 10": what the switch holds of the port.
std::string StateText(const MovePlan& plan, const PortState& state) {
    std::string text = VlanText(plan.fromVlan) + ": " +
                       Membership(PartOf(plan, state, ObjectRole::FromMembers),
                                  PartOf(plan, state, ObjectRole::FromUntagged)) +
                       ", " + VlanText(plan.toVlan) + ": " +
                       Membership(PartOf(plan, state, ObjectRole::ToMembers),
                                  PartOf(plan, state, ObjectRole::ToUntagged));
    if (const auto pvid = PartOf(plan, state, ObjectRole::Pvid)) {
        text += ", PVID " + std::to_string(*pvid);
    }
    return text;
}

// The VLANs of the two the switch holds the port in; nothing when it did not tell.
std::optional<std::vector<std::string>> ConfirmedVlans(const MovePlan& plan,
                                                       const PortState& state) {
    if (state.place == PortPlace::Unknown) {
        return std::nullopt;
    }
    std::vector<std::string> vlans;
    if (PartOf(plan, state, ObjectRole::FromMembers) == Part{1}) {
        vlans.push_back(plan.fromVlan);
    }
    if (PartOf(plan, state, ObjectRole::ToMembers) == Part{1}) {
        vlans.push_back(plan.toVlan);
    }
    return vlans;
}

std::string_view OutcomeName(SetOutcome outcome) {
    switch (outcome) {
        case SetOutcome::Confirmed:
            return "confirmed";
        case SetOutcome::Refused:
            return "refused";
        case SetOutcome::NotSent:
            return "notSent";
        case SetOutcome::NoResponse:
            break;
    }
    return "noResponse";
}

std::string_view AppliedName(std::optional<bool> applied) {
    return !applied ? "unknown" : *applied ? "yes" : "no";
}

// The vendor's moves print as they always have: one bitmap per SET, named by its VLAN.
bool IsVendor(const VlanMib& mib) {
    return &mib == &kVendorMib;
}

// What the report says of one SET that did not do what was asked.
void SetLines(const VlanMib& mib, const SentSet& sent, std::vector<std::string>& lines) {
    std::string what = "the SET of ";
    for (std::size_t i = 0; i < sent.bindings.size(); ++i) {
        what += (i == 0 ? "" : ", ") + ObjectName(mib, sent.bindings[i].oid);
    }
    switch (sent.result.outcome) {
        case SetOutcome::Confirmed:
            return;
        case SetOutcome::Refused:
            lines.push_back("the switch refused " + what + " (" + sent.result.status.text + ")");
            break;
        case SetOutcome::NotSent:
            lines.push_back(what + " was not sent (" + sent.result.status.text + ")");
            break;
        case SetOutcome::NoResponse:
            lines.push_back("no answer to " + what + " (" + sent.result.status.text + ")");
            break;
    }
    if (sent.readBack && !sent.applied) {
        lines.push_back(
            "reading it back failed (" +
            (sent.readBack->ok() ? std::string("unusable values") : sent.readBack->text) + ")");
    }
}

std::vector<int> PortsIn(const MoveReport& report, PortPlace place) {
    std::vector<int> ports;
    for (const PortState& state : report.ports) {
        if (state.place == place) {
            ports.push_back(state.port);
        }
    }
    return ports;
}

// How a MIB's move is shown: its step names, its objects' names and values, and what is read
// afterwards.
class MoveView {
public:
    MoveView(Context& context, const MovePlan& plan)
        : m_context(context), m_plan(plan), m_vendor(IsVendor(context.mib)) {}

    // What a dry run shows: the SETs a switch nobody else touches would get.
    std::vector<SentSet> Planned() const {
        std::vector<SentSet> sets;
        if (m_plan.together) {
            MoveStep all(m_plan.objects.size());
            for (std::size_t object = 0; object < all.size(); ++object) {
                all[object] = object;
            }
            sets.push_back({SetPhase::Together, 0, all, GoalValues(m_plan, all), {}, {}, {}});
            return sets;
        }
        for (std::size_t step = 0; step < m_plan.steps.size(); ++step) {
            const MoveStep& objects = m_plan.steps[step];
            sets.push_back(
                {SetPhase::Forward, step, objects, GoalValues(m_plan, objects), {}, {}, {}});
        }
        return sets;
    }

    // Reads what the switch holds afterwards: false when the read failed.
    bool ReadAfterwards() {
        if (m_vendor) {
            MibTables tables;
            if (!ReadColumns(m_context, tables, {ColumnRole::Members})) {
                return false;
            }
            m_vlansOfPorts = VlansOfPorts(m_context.mib, tables, m_plan.ports);
            return true;
        }
        m_states = ReadPortStates(m_context.snmp, m_context.settings, m_plan);
        return m_states.has_value();
    }

    void Print(const std::vector<SentSet>& sets, const MoveReport* report) const {
        if (m_context.json) {
            m_context.out << JsonText(Document(sets, report));
        } else {
            m_context.out << Text(sets, report);
        }
    }

private:
    std::string StepName(const SentSet& sent) const {
        switch (sent.phase) {
            case SetPhase::Together:
                return "together";
            case SetPhase::Forward:
                break;
            case SetPhase::Restore:
                return "restore";
        }
        if (!m_vendor) {
            return "separate";
        }
        return sent.step == 0 ? "removal" : "addition";
    }
    // The vendor's objects are named by their VLAN, Q-BRIDGE's by the MIB.
    std::string ObjectName(std::size_t object) const {
        if (!m_vendor) {
            return tarnwick::ObjectName(m_context.mib, m_plan.objects[object].oid);
        }
        return m_plan.objects[object].role == ObjectRole::FromMembers ? m_plan.fromVlan
                                                                      : m_plan.toVlan;
    }
    static std::string ValueText(const SnmpValue& value) {
        if (const std::string* octets = OctetsIn(value)) {
            return BitmapText(*octets);
        }
        if (const auto* number = std::get_if<Unsigned32>(&value)) {
            return std::to_string(number->value);
        }
        return std::to_string(std::get<std::int32_t>(value));
    }
    static std::string ResultText(const SentSet& sent, const MoveReport* report) {
        return report ? std::string(OutcomeName(sent.result.outcome)) +
                            ", applied: " + std::string(AppliedName(sent.applied))
                      : "not sent (dry run)";
    }

    std::string AfterwardsText(std::size_t port) const {
        if (m_vlansOfPorts) {
            std::string vlans;
            for (const std::string& vlan : (*m_vlansOfPorts)[port]) {
                vlans += (vlans.empty() ? "" : ",") + vlan;
            }
            return vlans;
        }
        if (!m_states) {
            return "unknown";
        }
        const PortState& state = (*m_states)[port];
        auto member = [&](ObjectRole members, ObjectRole untagged) -> std::string {
            return PartOf(m_plan, state, untagged) == Part{1}  ? "untagged"
                   : PartOf(m_plan, state, members) == Part{1} ? "tagged"
                                                               : "-";
        };
        return "FROM " + member(ObjectRole::FromMembers, ObjectRole::FromUntagged) + ", TO " +
               member(ObjectRole::ToMembers, ObjectRole::ToUntagged) + ", PVID " +
               std::to_string(PartOf(m_plan, state, ObjectRole::Pvid).value_or(0));
    }

    std::string Text(const std::vector<SentSet>& sets, const MoveReport* report) const {
        TextRows rows{
            {"SET", m_vendor ? "VLAN" : "OBJECT", m_vendor ? "BITMAP" : "VALUE", "RESULT"}};
        for (const SentSet& sent : sets) {
            for (std::size_t i = 0; i < sent.bindings.size(); ++i) {
                rows.push_back({i == 0 ? StepName(sent) : "", ObjectName(sent.objects[i]),
                                ValueText(sent.bindings[i].value),
                                i == 0 ? ResultText(sent, report) : ""});
            }
        }
        std::string text = AlignedColumns(rows);
        if (!report) {
            return text;
        }
        TextRows after{
            {"PORT", "CONFIRMED IN", m_vendor ? "VLANS READ AFTERWARDS" : "READ AFTERWARDS"}};
        for (std::size_t i = 0; i < report->ports.size(); ++i) {
            const auto vlans = ConfirmedVlans(m_plan, report->ports[i]);
            std::string confirmed = vlans ? "" : "unknown";
            for (const std::string& vlan : vlans.value_or(std::vector<std::string>{})) {
                confirmed += (confirmed.empty() ? "" : ",") + vlan;
            }
            after.push_back({std::to_string(report->ports[i].port), confirmed, AfterwardsText(i)});
        }
        return text + '\n' + AlignedColumns(after);
    }

    static QJsonArray VlanArray(const std::vector<std::string>& vlans) {
        QJsonArray array;
        for (const std::string& vlan : vlans) {
            array.append(NumberOrText(vlan));
        }
        return array;
    }

    QJsonObject SetJson(const SentSet& sent, const MoveReport* report) const {
        QJsonObject item{{QStringLiteral("step"), Json(StepName(sent))}};
        if (m_vendor) {
            item.insert(QStringLiteral("vlan"), NumberOrText(ObjectName(sent.objects.front())));
            item.insert(QStringLiteral("bitmap"), Json(ValueText(sent.bindings.front().value)));
        } else {
            QJsonArray bindings;
            for (const VarBinding& binding : sent.bindings) {
                const std::string value = ValueText(binding.value);
                bindings.append(QJsonObject{
                    {QStringLiteral("object"),
                     Json(tarnwick::ObjectName(m_context.mib, binding.oid))},
                    {QStringLiteral("oid"), Json(binding.oid)},
                    {QStringLiteral("value"),
                     OctetsIn(binding.value) ? QJsonValue(Json(value)) : NumberOrText(value)}});
            }
            item.insert(QStringLiteral("bindings"), bindings);
        }
        if (report) {
            item.insert(QStringLiteral("response"), Json(OutcomeName(sent.result.outcome)));
            item.insert(QStringLiteral("applied"), sent.applied
                                                       ? QJsonValue(*sent.applied)
                                                       : QJsonValue(QStringLiteral("unknown")));
        }
        return item;
    }

    QJsonValue AfterwardsJson(std::size_t port) const {
        const int number = m_plan.ports[port];
        if (m_vlansOfPorts) {
            return QJsonObject{{QStringLiteral("port"), number},
                               {QStringLiteral("vlans"), VlanArray((*m_vlansOfPorts)[port])}};
        }
        const PortState& state = (*m_states)[port];
        auto is = [&](ObjectRole role) { return PartOf(m_plan, state, role) == Part{1}; };
        return QJsonObject{
            {QStringLiteral("port"), number},
            {QStringLiteral("fromEgress"), is(ObjectRole::FromMembers)},
            {QStringLiteral("fromUntagged"), is(ObjectRole::FromUntagged)},
            {QStringLiteral("toEgress"), is(ObjectRole::ToMembers)},
            {QStringLiteral("toUntagged"), is(ObjectRole::ToUntagged)},
            {QStringLiteral("pvid"),
             static_cast<qint64>(PartOf(m_plan, state, ObjectRole::Pvid).value_or(0))}};
    }

    QJsonObject Document(const std::vector<SentSet>& sets, const MoveReport* report) const {
        QJsonArray setList;
        for (const SentSet& sent : sets) {
            setList.append(SetJson(sent, report));
        }
        QJsonArray ports;
        for (const int port : m_plan.ports) {
            ports.append(port);
        }
        QJsonObject document{{QStringLiteral("from"), NumberOrText(m_plan.fromVlan)},
                             {QStringLiteral("to"), NumberOrText(m_plan.toVlan)},
                             {QStringLiteral("ports"), ports},
                             {QStringLiteral("dryRun"), !report},
                             {QStringLiteral("sets"), setList}};
        if (!m_vendor) {
            document.insert(QStringLiteral("mib"), Json(m_context.mib.name));
        }
        if (!report) {
            return document;
        }
        QJsonArray confirmed;
        for (const PortState& state : report->ports) {
            const auto vlans = ConfirmedVlans(m_plan, state);
            confirmed.append(QJsonObject{
                {QStringLiteral("port"), state.port},
                {QStringLiteral("vlans"),
                 vlans ? QJsonValue(VlanArray(*vlans)) : QJsonValue(QStringLiteral("unknown"))}});
        }
        document.insert(QStringLiteral("moved"), report->AllMoved());
        document.insert(QStringLiteral("confirmed"), confirmed);
        if (m_vlansOfPorts || m_states) {
            QJsonArray after;
            for (std::size_t i = 0; i < m_plan.ports.size(); ++i) {
                after.append(AfterwardsJson(i));
            }
            document.insert(m_vendor ? QStringLiteral("portVlans") : QStringLiteral("afterwards"),
                            after);
        }
        return document;
    }

    Context& m_context;
    const MovePlan& m_plan;
    const bool m_vendor;
    std::optional<std::vector<std::vector<std::string>>> m_vlansOfPorts;
    std::optional<std::vector<PortState>> m_states;
};

}  // namespace

std::string RefusalText(const MoveRefusal& refusal, const VlanMib& mib, std::string_view fromVlan,
                        std::string_view toVlan) {
    using Reason = MoveRefusal::Reason;
    const std::string vlan = VlanText(refusal.vlan);
    const std::string port = PortText(refusal.port);
    const auto columnName = [&mib](ColumnRole role) {
        const MibColumn* column = mib.Find(role);
        return std::string(column ? column->name : "");
    };
    std::string why;
    switch (refusal.reason) {
        case Reason::SameVlan:
            why = "FROM and TO are the same VLAN";
            break;
        case Reason::NoRow:
            why = vlan + " has no row in " + std::string(mib.table);
            break;
        case Reason::ReadFailed:
            why = "reading " + VlanText(fromVlan) + " and " + VlanText(toVlan) + " failed (" +
                  refusal.status.text + ")";
            break;
        case Reason::NotAValue:
            why = ObjectName(mib, refusal.object) +
                  (refusal.port != 0 ? " is not a VLAN index" : " is not a port list");
            break;
        case Reason::PortBeyond:
            why = "the port lists of " + vlan + " do not reach " + port;
            break;
        case Reason::NotInFrom:
            why = port + " is not a member of " + vlan;
            break;
        case Reason::OnlyTagged:
            why = port + " is only a tagged member of " + vlan;
            break;
        case Reason::PvidNotFrom:
            why = port + "'s PVID is " + std::to_string(refusal.pvid) + ", not " + refusal.vlan;
            break;
        case Reason::Forbidden:
            why = vlan + " forbids " + port + " (" + columnName(ColumnRole::Forbidden) + ")";
            break;
        case Reason::NoSuchPort:
            why = "bridge " + port + " has no PVID (" + columnName(ColumnRole::Pvid) +
                  "): the switch has no such port";
            break;
    }
    return why + "; nothing was sent.";
}

std::string MoveText(const MovePlan& plan, const MoveReport& report, const VlanMib& mib) {
    if (report.AllMoved()) {
        return {};
    }
    std::vector<std::string> lines;
    for (const SentSet& sent : report.sets) {
        if (sent.applied != true) {
            SetLines(mib, sent, lines);
        }
    }
    for (const PortState& state : report.ports) {
        if (state.place == PortPlace::Neither || state.place == PortPlace::Both) {
            lines.push_back(PortText(state.port) +
                            " is neither where it was nor moved: " + StateText(plan, state) + "!");
        } else if (state.place == PortPlace::Changed) {
            lines.push_back(PortText(state.port) +
                            " was changed by someone else meanwhile and is written no more: " +
                            StateText(plan, state) + "; read the switch again!");
        }
    }
    if (const auto moved = PortsIn(report, PortPlace::NewVlan); !moved.empty()) {
        lines.push_back(PortsText(moved) + " moved to " + VlanText(plan.toVlan) + ".");
    }
    if (const auto stayed = PortsIn(report, PortPlace::OldVlan); !stayed.empty()) {
        lines.push_back(PortsText(stayed) + " in " + VlanText(plan.fromVlan) + " as before.");
    }
    if (const auto unknown = PortsIn(report, PortPlace::Unknown); !unknown.empty()) {
        lines.push_back("where " + PortsText(unknown) + (unknown.size() == 1 ? " is" : " are") +
                        " now is not known: read the switch again!");
    }
    if (!report.MayHaveChanged()) {
        lines.push_back("Nothing was changed.");
    }
    std::string message;
    for (const std::string& line : lines) {
        message += (message.empty() ? "" : "\n") + line;
    }
    return message;
}

namespace {

// The ports from VLAN `from` to VLAN `to`: planned from the switch's values read afresh. Nothing
// is sent, and why is shown, when the planner refuses, or when `change` is taken back and the
// switch no longer holds what it left for its ports.
std::optional<MovePlan> PlanMove(Context& context, std::uint32_t from, std::uint32_t to,
                                 std::span<const int> ports, const JournalRecord* change) {
    const std::string fromVlan = std::to_string(from), toVlan = std::to_string(to);
    PlannedMove planned =
        IsVendor(context.mib)
            ? PlanPortMove(context.snmp, context.settings, fromVlan, toVlan, ports)
            : PlanQBridgeMove(context.snmp, context.settings, from, to, ports);
    if (const auto* refusal = std::get_if<MoveRefusal>(&planned)) {
        context.messages.Show(RefusalText(*refusal, context.mib, fromVlan, toVlan));
        return std::nullopt;
    }
    const auto since = change ? ChangedSince(context.mib, std::get<MovePlan>(planned), *change)
                              : std::vector<std::string>{};
    if (!since.empty()) {
        std::string text = "the switch no longer holds what " + ChangeName(change->id) + " left: ";
        for (std::size_t i = 0; i < since.size(); ++i) {
            text += (i == 0 ? "" : "; ") + since[i];
        }
        context.messages.Show(text + "; nothing was sent.");
        return std::nullopt;
    }
    return std::get<MovePlan>(std::move(planned));
}

int ExitStatus(const SignalHold& hold, bool succeeded) {
    const auto signal = hold.Arrived();
    return signal ? SignalledStatus(*signal) : Status(succeeded);
}

// Takes a move waiting for its confirmation back: the same verified move from TO to FROM, its
// line on the move's own id (`reverted`, or what else the switch ended with). True when every
// port is back.
bool TakeBack(Context& context, const JournalRecord& moved, ChangeLines& lines,
              const SignalHold& hold) {
    const auto plan = PlanMove(context, *moved.to, *moved.from, moved.ports, &moved);
    if (!plan) {
        JournalRecord refused = ChangeRecord(context, kRevertCommand);
        refused.ports = moved.ports;
        refused.from = moved.to;
        refused.to = moved.from;
        refused.outcome = kRefusedOutcome;
        refused.exitStatus = ExitStatus(hold, false);
        lines.Add(std::move(refused));
        return false;
    }
    JournalRecord record = MoveRecord(context, kRevertCommand, *plan);
    const MoveReport report = SendMove(context.snmp, context.settings, *plan);
    record = MoveEnded(std::move(record), report);
    if (report.AllMoved()) {
        record.outcome = kRevertedOutcome;
    }
    record.exitStatus = ExitStatus(hold, false);
    lines.Add(std::move(record));
    context.messages.Show(report.AllMoved()
                              ? ChangeName(moved.id) + " taken back: " + PortsText(plan->ports) +
                                    " in " + VlanText(plan->toVlan) + " again."
                              : "taking " + ChangeName(moved.id) +
                                    " back failed: " + MoveText(*plan, report, context.mib));
    return report.AllMoved();
}

// After a move with --revert-after: its confirmation awaited (unless its line could not be
// written, or a signal came during the writes), else the move taken back. The exit status.
int AwaitOrTakeBack(Context& context, const Invocation& invocation, const JournalRecord& moved,
                    ChangeLines& lines, const SignalHold& hold, bool waiting) {
    if (!waiting) {
        context.messages.Show("the confirmation of " + ChangeName(moved.id) +
                              " cannot be awaited: taking it back now");
    } else if (!hold.Arrived()) {
        const std::string confirm = "tarnwick-cli confirm " + std::to_string(moved.id);
        context.messages.Show(ChangeName(moved.id) + " waits for its confirmation until " +
                              *moved.revertBy + ": type yes here, or run \"" + confirm +
                              "\" in any shell; without it the move is taken back then. It is "
                              "taken back only while this host reaches the switch.");
        const auto deadline = ParseUtcTime(*moved.revertBy).value_or(JournalClock::now());
        if (AwaitConfirmation(*lines.Written(), moved.id, invocation.confirmationInput, hold,
                              deadline, context.messages) == Confirmation::Confirmed) {
            context.messages.Show(ChangeName(moved.id) + " confirmed: the move stays.");
            return kSucceeded;
        }
        if (!hold.Arrived()) {
            context.messages.Show("no confirmation of " + ChangeName(moved.id) + " by " +
                                  *moved.revertBy + ": taking the move back");
        }
    }
    TakeBack(context, moved, lines, hold);
    return ExitStatus(hold, false);
}

// A move, an undo (`undoing`: the change it takes back) or the move of --revert-after, with its
// journal lines: `begun` before the first SET, the outcome after.
int RunMove(Context& context, const Invocation& invocation, const JournalRecord* undoing) {
    // A run that waits for its confirmation outlives its terminal: the hang-up is what it is for.
    std::optional<SignalsIgnored> hangUp;
    if (invocation.revertAfter) {
        hangUp.emplace(std::initializer_list<int>{SIGHUP, SIGPIPE});
    }
    const auto plan =
        PlanMove(context, invocation.fromVlan, invocation.toVlan, invocation.ports, undoing);
    if (!plan) {
        return kFailed;
    }
    MoveView view(context, *plan);
    if (invocation.dryRun) {
        view.Print(view.Planned(), nullptr);
        return kSucceeded;
    }
    ChangeLines lines(context.messages, !invocation.noJournal);
    JournalRecord record = MoveRecord(context, undoing ? kUndoCommand : kMoveCommand, *plan);
    if (undoing) {
        record.of = undoing->id;
    }
    if (!lines.Begin(record)) {
        return kFailed;
    }
    record.id = lines.Id();
    // A signal during the writes ends the run only once the move has ended or put the ports
    // back; with --revert-after, once the move has been taken back.
    SignalHold hold(invocation.revertAfter ? kTakingTheMoveBack : kFinishingTheMove);
    const MoveReport report = SendMove(context.snmp, context.settings, *plan);
    const bool waits = invocation.revertAfter && report.AllMoved();
    record = MoveEnded(std::move(record), report);
    if (waits) {
        const auto deadline = std::chrono::ceil<std::chrono::seconds>(
            JournalClock::now() + std::chrono::seconds(*invocation.revertAfter));
        record.revertBy = UtcTimeText(deadline);
    } else {
        record.exitStatus = ExitStatus(hold, report.AllMoved());
    }
    const bool written = lines.Add(record);
    const std::optional<int> held = waits ? std::nullopt : hold.Release();
    if (const std::string text = MoveText(*plan, report, context.mib); !text.empty()) {
        context.messages.Show(text);
    }
    // What the switch holds now, whatever the SETs did; the exit status is the engine's.
    const bool readAfterwards = view.ReadAfterwards();
    view.Print(report.sets, &report);
    if (waits) {
        context.out.flush();  // the report before the wait, wherever stdout goes
        return AwaitOrTakeBack(context, invocation, record, lines, hold, written);
    }
    return held ? SignalledStatus(*held) : Status(report.AllMoved() && readAfterwards && written);
}

}  // namespace

int MovePorts(Context& context, const Invocation& invocation) {
    return RunMove(context, invocation, nullptr);
}

int UndoChange(Context& context, const Invocation& invocation, const JournalRecord& change) {
    return RunMove(context, invocation, &change);
}

}  // namespace tarnwick::cli
