// Moving access ports between VLANs through the Q-BRIDGE-MIB's PortLists and PVIDs.
#include "vlan/q_bridge_move.h"

#include <algorithm>
#include <array>
#include <utility>

#include "vlan/port_bitmap.h"
#include "vlan/q_bridge.h"

namespace tarnwick {
namespace {

using Held = std::vector<std::optional<SnmpValue>>;

std::string Instance(std::string_view column, std::uint32_t index) {
    return std::string(column) + "." + std::to_string(index);
}

std::string VlanText(std::uint32_t vlan) {
    return "VLAN " + std::to_string(vlan);
}

std::string PortText(int port) {
    return "port " + std::to_string(port);
}

bool IsList(std::size_t object) {
    return object < kFirstPvid;
}

bool HasPort(const std::string& list, int port) {
    return HasPortBit(list, port, kPortListBitOrder);
}

// A VlanIndex as read: agents send it as Unsigned32 or, some, as INTEGER.
std::optional<std::uint32_t> VlanIndexIn(const SnmpValue& value) {
    if (const auto* number = std::get_if<Unsigned32>(&value)) {
        return number->value;
    }
    if (const auto* integer = std::get_if<std::int32_t>(&value); integer && *integer >= 0) {
        return static_cast<std::uint32_t>(*integer);
    }
    return std::nullopt;
}

// Whether a value read for the object is one a move can work with: a PortList that reaches every
// moved port, or a VLAN index.
bool Usable(std::size_t object, const SnmpValue& value, std::span<const int> ports) {
    if (!IsList(object)) {
        return VlanIndexIn(value).has_value();
    }
    const std::string* list = OctetsIn(value);
    return list && ReachesPorts(*list, ports, kPortListBitOrder);
}

// The moved ports' part of an object: their bits in a list; the port's PVID.
bool PartsAgree(std::size_t object, const SnmpValue& held, const SnmpValue& target,
                std::span<const int> ports) {
    if (!IsList(object)) {
        return VlanIndexIn(held) == VlanIndexIn(target);
    }
    return std::all_of(ports.begin(), ports.end(), [&](int port) {
        return HasPort(*OctetsIn(held), port) == HasPort(*OctetsIn(target), port);
    });
}

// The held value with the target's part: every other port's bit stays as the switch holds it.
SnmpValue WithPartOf(std::size_t object, const SnmpValue& held, const SnmpValue& target,
                     std::span<const int> ports) {
    if (!IsList(object)) {
        return Unsigned32{*VlanIndexIn(target)};
    }
    std::string list = *OctetsIn(held);
    for (const int port : ports) {
        const int one[] = {port};
        SetPortBits(list, one, HasPort(*OctetsIn(target), port), kPortListBitOrder);
    }
    return OctetString{std::move(list)};
}

// The objects a port's place depends on: the four lists and its own PVID.
std::array<std::size_t, 5> ObjectsOfPort(std::size_t portIndex) {
    return {kFromEgress, kFromUntagged, kToEgress, kToUntagged, kFirstPvid + portIndex};
}

std::vector<QBridgePortState> PortStates(const QBridgeMovePlan& plan, const Held& held) {
    std::vector<QBridgePortState> states;
    for (std::size_t i = 0; i < plan.ports.size(); ++i) {
        const int port = plan.ports[i];
        QBridgePortState state{port};
        const auto objects = ObjectsOfPort(i);
        if (!std::all_of(objects.begin(), objects.end(),
                         [&](std::size_t object) { return held[object].has_value(); })) {
            states.push_back(state);
            continue;
        }
        auto has = [&](std::size_t object) { return HasPort(*OctetsIn(*held[object]), port); };
        state.inFromEgress = has(kFromEgress);
        state.inFromUntagged = has(kFromUntagged);
        state.inToEgress = has(kToEgress);
        state.inToUntagged = has(kToUntagged);
        state.pvid = VlanIndexIn(*held[kFirstPvid + i]).value_or(0);
        const std::span<const int> one(&plan.ports[i], 1);
        auto all = [&](const std::vector<VarBinding>& values) {
            return std::all_of(objects.begin(), objects.end(), [&](std::size_t object) {
                return PartsAgree(object, *held[object], values[object].value, one);
            });
        };
        if (all(plan.goal)) {
            state.place = PortPlace::NewVlan;
        } else if (all(plan.before)) {
            state.place = PortPlace::OldVlan;
        } else if (!state.inFromEgress && !state.inToEgress) {
            state.place = PortPlace::Neither;
        } else {
            state.place = PortPlace::Both;
        }
        states.push_back(state);
    }
    return states;
}

std::string Membership(bool egress, bool untagged) {
    return untagged ? (egress ? "untagged" : "untagged only, not egress")
                    : (egress ? "tagged" : "not a member");
}

// "VLAN 10: untagged, VLAN 20: not a member, PVID 10": what the switch holds of the port.
std::string StateText(const QBridgeMovePlan& plan, const QBridgePortState& state) {
    return VlanText(plan.fromVlan) + ": " + Membership(state.inFromEgress, state.inFromUntagged) +
           ", " + VlanText(plan.toVlan) + ": " + Membership(state.inToEgress, state.inToUntagged) +
           ", PVID " + std::to_string(state.pvid);
}

std::string ObjectList(const std::vector<VarBinding>& bindings) {
    std::string text;
    for (const VarBinding& binding : bindings) {
        text += (text.empty() ? "" : ", ") + QBridgeObjectName(binding.oid);
    }
    return text;
}

std::string Ports(const std::vector<int>& ports) {
    return (ports.size() == 1 ? "port " : "ports ") + PortListText(ports);
}

class QBridgeMove {
public:
    QBridgeMove(SnmpAgent& snmp, const DeviceSettings& settings, const QBridgeMovePlan& plan)
        : m_snmp(snmp), m_settings(settings), m_plan(plan) {
        for (const VarBinding& binding : plan.before) {
            m_held.emplace_back(binding.value);
        }
    }

    bool Known() const {
        return std::all_of(m_held.begin(), m_held.end(),
                           [](const auto& value) { return value.has_value(); });
    }
    bool Holds(std::size_t object, const std::vector<VarBinding>& values) const {
        return m_held[object] &&
               PartsAgree(object, *m_held[object], values[object].value, m_plan.ports);
    }
    bool AllAt(const std::vector<VarBinding>& values) const {
        for (std::size_t object = 0; object < m_held.size(); ++object) {
            if (!Holds(object, values)) {
                return false;
            }
        }
        return true;
    }

    // Sends the objects' values in one SET and learns what the switch holds: whether it holds
    // the moved ports' part of every binding as sent; nothing when it did not tell. A refusal of
    // several bindings is read back too: not every agent applies them all or none.
    std::optional<bool> Send(std::string step, const std::vector<std::size_t>& objects,
                             const std::vector<VarBinding>& values) {
        QBridgeSentSet sent{std::move(step), {}, {}, std::nullopt, std::nullopt};
        for (const std::size_t object : objects) {
            const VarBinding& held = m_plan.before[object];
            sent.bindings.push_back({held.oid, WithPartOf(object, *m_held[object],
                                                          values[object].value, m_plan.ports)});
        }
        sent.result = m_snmp.SetTogether(m_settings, sent.bindings);
        const SetOutcome outcome = sent.result.outcome;
        if (outcome == SetOutcome::Confirmed) {
            for (std::size_t i = 0; i < objects.size(); ++i) {
                m_held[objects[i]] = sent.bindings[i].value;
            }
            sent.applied = true;
        } else if (outcome == SetOutcome::NotSent ||
                   (outcome == SetOutcome::Refused && objects.size() == 1)) {
            sent.applied = false;
        } else {
            sent.readBack = ReadBack(outcome == SetOutcome::Refused ? AllObjects() : objects);
            if (std::all_of(objects.begin(), objects.end(),
                            [&](std::size_t object) { return m_held[object].has_value(); })) {
                sent.applied = true;
                for (std::size_t i = 0; i < objects.size(); ++i) {
                    const std::size_t object = objects[i];
                    sent.applied =
                        *sent.applied &&
                        PartsAgree(object, *m_held[object], sent.bindings[i].value, m_plan.ports);
                }
            }
        }
        m_report.sets.push_back(std::move(sent));
        return m_report.sets.back().applied;
    }
    const QBridgeSentSet& LastSet() const { return m_report.sets.back(); }

    std::vector<std::size_t> AllObjects() const {
        std::vector<std::size_t> objects(m_held.size());
        for (std::size_t object = 0; object < objects.size(); ++object) {
            objects[object] = object;
        }
        return objects;
    }

    QBridgeMoveReport Finish();

private:
    SnmpStatus ReadBack(const std::vector<std::size_t>& objects) {
        std::vector<std::string> oids;
        for (const std::size_t object : objects) {
            oids.push_back(m_plan.before[object].oid);
        }
        GetResult read = m_snmp.Get(m_settings, oids);
        for (std::size_t i = 0; i < objects.size(); ++i) {
            const bool usable = read.status.ok() && read.values.size() == objects.size() &&
                                Usable(objects[i], read.values[i], m_plan.ports);
            m_held[objects[i]] = usable ? std::optional(read.values[i]) : std::nullopt;
        }
        return read.status;
    }

    std::string Message() const;

    SnmpAgent& m_snmp;
    const DeviceSettings& m_settings;
    const QBridgeMovePlan& m_plan;
    Held m_held;
    QBridgeMoveReport m_report;
};

std::string QBridgeMove::Message() const {
    std::vector<std::string> lines;
    const auto& sets = m_report.sets;
    // Some SET may have taken effect, or an agent applied part of a refused one.
    const bool changed = !AllAt(m_plan.before) ||
                         std::any_of(sets.begin(), sets.end(), [](const QBridgeSentSet& sent) {
                             return sent.applied != false;
                         });
    for (const QBridgeSentSet& sent : sets) {
        if (sent.applied == true) {
            continue;
        }
        const std::string what = "the SET of " + ObjectList(sent.bindings);
        switch (sent.result.outcome) {
            case SetOutcome::Confirmed:
                break;
            case SetOutcome::Refused:
                lines.push_back("the switch refused " + what + " (" + sent.result.status.text +
                                ")");
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
    std::vector<int> moved;
    std::vector<int> stayed;
    std::vector<int> unknown;
    for (const QBridgePortState& state : m_report.ports) {
        switch (state.place) {
            case PortPlace::NewVlan:
                moved.push_back(state.port);
                break;
            case PortPlace::OldVlan:
                stayed.push_back(state.port);
                break;
            case PortPlace::Unknown:
                unknown.push_back(state.port);
                break;
            case PortPlace::Neither:
            case PortPlace::Both:
                lines.push_back(PortText(state.port) + " is neither where it was nor moved: " +
                                StateText(m_plan, state) + "!");
                break;
        }
    }
    if (!moved.empty()) {
        lines.push_back(Ports(moved) + " moved to " + VlanText(m_plan.toVlan) + ".");
    }
    if (!stayed.empty()) {
        lines.push_back(Ports(stayed) + " in " + VlanText(m_plan.fromVlan) + " as before.");
    }
    if (!unknown.empty()) {
        lines.push_back("where " + Ports(unknown) + (unknown.size() == 1 ? " is" : " are") +
                        " now is not known: read the switch again!");
    }
    if (!changed) {
        lines.push_back("Nothing was changed.");
    }
    std::string message;
    for (const std::string& line : lines) {
        message += (message.empty() ? "" : "\n") + line;
    }
    return message;
}

QBridgeMoveReport QBridgeMove::Finish() {
    m_report.ports = PortStates(m_plan, m_held);
    if (!m_report.AllMoved()) {
        m_report.message = Message();
    }
    return std::move(m_report);
}

// The separate SETs' order: at every step each port is an egress member of a VLAN, and an
// untagged member of exactly one (some switches refuse a port untagged in two VLANs).
std::vector<std::size_t> SeparateOrder(std::size_t ports) {
    std::vector<std::size_t> order{kToEgress, kFromUntagged, kToUntagged};
    for (std::size_t i = 0; i < ports; ++i) {
        order.push_back(kFirstPvid + i);
    }
    order.push_back(kFromEgress);
    return order;
}

MoveRefusal Refused(std::string why) {
    return {why + "; nothing was sent."};
}

// Why the port cannot move as planned, or nothing.
std::optional<std::string> CheckPort(int port, std::uint32_t fromVlan, std::uint32_t toVlan,
                                     std::span<const std::string> lists, std::uint32_t pvid) {
    for (std::size_t object = 0; object < lists.size(); ++object) {
        if (!ReachesPorts(lists[object], {&port, 1}, kPortListBitOrder)) {
            const bool from = object == kFromEgress || object == kFromUntagged;
            return "the port lists of " + VlanText(from ? fromVlan : toVlan) + " do not reach " +
                   PortText(port);
        }
    }
    if (!HasPort(lists[kFromUntagged], port)) {
        return PortText(port) +
               (HasPort(lists[kFromEgress], port) ? " is only a tagged member of "
                                                  : " is not a member of ") +
               VlanText(fromVlan);
    }
    if (pvid != fromVlan) {
        return PortText(port) + "'s PVID is " + std::to_string(pvid) + ", not " +
               std::to_string(fromVlan);
    }
    return std::nullopt;
}

}  // namespace

std::string QBridgeObjectName(std::string_view oid) {
    for (const auto& [column, name] : kQBridgeColumnNames) {
        if (oid.size() > column.size() && oid.starts_with(column) && oid[column.size()] == '.') {
            return std::string(name) + std::string(oid.substr(column.size()));
        }
    }
    return std::string(oid);
}

PlannedQBridgeMove PlanQBridgeMove(SnmpAgent& snmp, const DeviceSettings& settings,
                                   std::uint32_t fromVlan, std::uint32_t toVlan,
                                   std::span<const int> ports) {
    if (fromVlan == toVlan) {
        return Refused("FROM and TO are the same VLAN");
    }
    std::vector<std::string> oids{Instance(kDot1qVlanStaticEgressPortsColumn, fromVlan),
                                  Instance(kDot1qVlanStaticUntaggedPortsColumn, fromVlan),
                                  Instance(kDot1qVlanStaticEgressPortsColumn, toVlan),
                                  Instance(kDot1qVlanStaticUntaggedPortsColumn, toVlan),
                                  Instance(kDot1qVlanForbiddenEgressPortsColumn, toVlan)};
    const std::size_t forbidden = oids.size() - 1;
    for (const int port : ports) {
        oids.push_back(Instance(kDot1qPvidColumn, static_cast<std::uint32_t>(port)));
    }
    GetResult read = snmp.Get(settings, oids);
    // SNMPv1 names the instance it has not (noSuchName) by its binding.
    const std::size_t missing = read.failedBinding;
    if (read.status.code == kNoSuchNameStatus && missing >= 1 && missing <= oids.size()) {
        if (missing > forbidden + 1) {
            return Refused("bridge port " + std::to_string(ports[missing - forbidden - 2]) +
                           " has no PVID (dot1qPvid): the switch has no such port");
        }
        return Refused(VlanText(missing <= 2 ? fromVlan : toVlan) +
                       " has no row in dot1qVlanStaticTable");
    }
    if (!read.status.ok() || read.values.size() != oids.size()) {
        return Refused("reading the port lists of " + VlanText(fromVlan) + " and " +
                       VlanText(toVlan) + " and the ports' PVIDs failed (" + read.status.text +
                       ")");
    }
    std::vector<std::string> lists;
    for (std::size_t i = 0; i <= forbidden; ++i) {
        const std::string* list = OctetsIn(read.values[i]);
        if (!list) {
            return Refused(QBridgeObjectName(oids[i]) + " is not a PortList");
        }
        lists.push_back(*list);
    }
    QBridgeMovePlan plan{fromVlan, toVlan, {ports.begin(), ports.end()}, {}, {}};
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const auto pvid = VlanIndexIn(read.values[forbidden + 1 + i]);
        if (!pvid) {
            return Refused(QBridgeObjectName(oids[forbidden + 1 + i]) + " is not a VLAN index");
        }
        const std::span<const std::string> written(lists.data(), forbidden);
        if (auto why = CheckPort(ports[i], fromVlan, toVlan, written, *pvid)) {
            return Refused(std::move(*why));
        }
        if (HasPort(lists[forbidden], ports[i])) {
            return Refused(VlanText(toVlan) + " forbids " + PortText(ports[i]) +
                           " (dot1qVlanForbiddenEgressPorts)");
        }
    }
    for (std::size_t i = 0; i < oids.size(); ++i) {
        if (i == forbidden) {
            continue;
        }
        plan.before.push_back({oids[i], std::move(read.values[i])});
    }
    plan.goal = plan.before;
    for (std::size_t object = 0; object < kFirstPvid; ++object) {
        const bool member = object == kToEgress || object == kToUntagged;
        SetPortBits(std::get<OctetString>(plan.goal[object].value).octets, plan.ports, member,
                    kPortListBitOrder);
    }
    for (std::size_t i = 0; i < ports.size(); ++i) {
        plan.goal[kFirstPvid + i].value = Unsigned32{toVlan};
    }
    return plan;
}

bool QBridgeMoveReport::AllMoved() const {
    return std::all_of(ports.begin(), ports.end(), [](const QBridgePortState& port) {
        return port.place == PortPlace::NewVlan;
    });
}

QBridgeMoveReport SendQBridgeMove(SnmpAgent& snmp, const DeviceSettings& settings,
                                  const QBridgeMovePlan& plan) {
    QBridgeMove move(snmp, settings, plan);
    move.Send("together", move.AllObjects(), plan.goal);
    if (!move.Known() || move.AllAt(plan.goal)) {
        return move.Finish();
    }
    // The one request did not do it: from what the switch holds, one object at a time.
    const std::vector<std::size_t> order = SeparateOrder(plan.ports.size());
    for (const std::size_t object : order) {
        if (move.Holds(object, plan.goal)) {
            continue;
        }
        const std::optional<bool> applied = move.Send("separate", {object}, plan.goal);
        if (!move.Known()) {
            return move.Finish();  // the switch no longer answers
        }
        if (applied == true) {
            continue;
        }
        // The fallback's fallback: back as it was, in the reverse order. A restore that got
        // lost on the way goes out once more; one the switch refuses ends it.
        for (auto back = order.rbegin(); back != order.rend(); ++back) {
            if (move.Holds(*back, plan.before)) {
                continue;
            }
            std::optional<bool> restored = move.Send("restore", {*back}, plan.before);
            if (restored == false && move.Known() &&
                move.LastSet().result.outcome == SetOutcome::NoResponse) {
                restored = move.Send("restore", {*back}, plan.before);
            }
            if (restored != true) {
                break;
            }
        }
        break;
    }
    return move.Finish();
}

std::optional<std::vector<QBridgePortState>> ReadQBridgePorts(SnmpAgent& snmp,
                                                              const DeviceSettings& settings,
                                                              const QBridgeMovePlan& plan) {
    std::vector<std::string> oids;
    for (const VarBinding& binding : plan.before) {
        oids.push_back(binding.oid);
    }
    GetResult read = snmp.Get(settings, oids);
    if (!read.status.ok() || read.values.size() != oids.size()) {
        return std::nullopt;
    }
    Held held;
    for (std::size_t object = 0; object < oids.size(); ++object) {
        if (!Usable(object, read.values[object], plan.ports)) {
            return std::nullopt;
        }
        held.emplace_back(std::move(read.values[object]));
    }
    return PortStates(plan, held);
}

}  // namespace tarnwick
