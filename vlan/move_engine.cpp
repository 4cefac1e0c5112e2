// Sending a planned move: each SET from the freshest values, every step decided by what the
// switch confirmed, failed steps undone port by port.
#include "vlan/move_engine.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace tarnwick {
namespace {

// A step may take two SETs: one, and one more for what the first left undone (a switch that
// applied part of it; a restore lost or refused). A forward SET that changed nothing ends the
// way forward: the ports go back.
constexpr int kSetsPerStep = 2;
// How often the engine waits for a late SET before it reports: a late SET it waited for may
// call for a restore, whose SET may be late in turn.
constexpr int kLateWaits = 2;

bool IsList(const MoveObject& object) {
    return object.role != ObjectRole::Pvid;
}

// The value with each port's part set to its target; a port without a target keeps its part as
// held, and so does every other port.
SnmpValue WithParts(const MoveObject& object, const SnmpValue& held, std::span<const int> ports,
                    std::span<const std::optional<Part>> targets) {
    if (!IsList(object)) {
        for (std::size_t i = 0; i < ports.size(); ++i) {
            if (ports[i] == object.pvidPort && targets[i]) {
                return Unsigned32{*targets[i]};
            }
        }
        return held;
    }
    std::string octets = *OctetsIn(held);
    for (std::size_t i = 0; i < ports.size(); ++i) {
        if (targets[i]) {
            SetPortBits(octets, std::span<const int>(&ports[i], 1), *targets[i] != 0,
                        object.bitOrder);
        }
    }
    return OctetString{std::move(octets)};
}

// The targets of one object's parts, in the ports' order; none: the part is not to change.
using Targets = std::vector<std::optional<Part>>;

class MoveRun {
public:
    MoveRun(SnmpAgent& snmp, const DeviceSettings& settings, const MovePlan& plan)
        : m_snmp(snmp),
          m_settings(settings),
          m_plan(plan),
          m_held(plan.read.begin(), plan.read.end()),
          m_changedBySomeoneElse(plan.ports.size(), false) {}

    MoveReport Run() {
        Forward();
        Settle();
        AwaitLateSets();
        m_report.ports = States();
        m_report.held = m_held;
        return std::move(m_report);
    }

    // Reads every object; false when the GET failed.
    bool ReadAll() { return ReadBack(AllObjects()).ok() && Known(); }

    std::vector<PortState> States() const {
        std::vector<PortState> states;
        for (std::size_t i = 0; i < m_plan.ports.size(); ++i) {
            PortState state{m_plan.ports[i], Place(i), {}};
            for (std::size_t object = 0; object < m_plan.objects.size(); ++object) {
                state.parts.push_back(Held(object, i));
            }
            states.push_back(std::move(state));
        }
        return states;
    }

private:
    std::size_t PortCount() const { return m_plan.ports.size(); }
    const MoveObject& Object(std::size_t object) const { return m_plan.objects[object]; }
    bool Holds(std::size_t object, std::size_t port) const {
        return HoldsPartOf(Object(object), m_plan.ports[port]);
    }
    std::optional<Part> Held(std::size_t object, std::size_t port) const {
        const auto& held = m_held[object];
        return held ? PartIn(Object(object), *held, m_plan.ports[port]) : std::nullopt;
    }
    std::optional<Part> Before(std::size_t object, std::size_t port) const {
        return PartIn(Object(object), m_plan.read[object], m_plan.ports[port]);
    }
    Part Goal(std::size_t object) const { return Object(object).goal; }

    bool Known() const { return KnownObjects(AllObjects()); }
    std::vector<std::size_t> AllObjects() const {
        std::vector<std::size_t> objects(m_plan.objects.size());
        for (std::size_t object = 0; object < objects.size(); ++object) {
            objects[object] = object;
        }
        return objects;
    }

    // Whether every part of the port the objects hold is as `expected` gives it.
    bool PartsAre(std::size_t port,
                  const std::function<std::optional<Part>(std::size_t object)>& expected) const {
        for (std::size_t object = 0; object < m_plan.objects.size(); ++object) {
            if (Holds(object, port) && Held(object, port) != expected(object)) {
                return false;
            }
        }
        return true;
    }
    bool AtGoal(std::size_t port) const {
        return PartsAre(port, [this](std::size_t object) { return Goal(object); });
    }
    bool AtBefore(std::size_t port) const {
        return PartsAre(port, [&](std::size_t object) { return Before(object, port); });
    }
    // A part neither as it was nor the goal: not the engine's doing.
    bool IsForeign(std::size_t object, std::size_t port) const {
        const auto held = Holds(object, port) ? Held(object, port) : std::nullopt;
        return held && held != Before(object, port) && held != Goal(object);
    }
    bool HasForeignPart(std::size_t port) const {
        for (std::size_t object = 0; object < m_plan.objects.size(); ++object) {
            if (IsForeign(object, port)) {
                return true;
            }
        }
        return false;
    }
    // The port's part of the first object in the role: whether it is a member there.
    bool MemberOf(std::size_t port, ObjectRole role) const {
        for (std::size_t object = 0; object < m_plan.objects.size(); ++object) {
            if (Object(object).role == role) {
                return Held(object, port) == Part{1};
            }
        }
        return false;
    }
    // A member of neither VLAN, and no PVID of a third VLAN (where someone else put it).
    bool InNoVlan(std::size_t port) const {
        if (MemberOf(port, ObjectRole::FromMembers) || MemberOf(port, ObjectRole::ToMembers)) {
            return false;
        }
        for (std::size_t object = 0; object < m_plan.objects.size(); ++object) {
            if (Object(object).role == ObjectRole::Pvid && IsForeign(object, port)) {
                return false;
            }
        }
        return true;
    }

    PortPlace Place(std::size_t port) const {
        for (std::size_t object = 0; object < m_plan.objects.size(); ++object) {
            if (Holds(object, port) && !Held(object, port)) {
                return PortPlace::Unknown;
            }
        }
        if (AtGoal(port)) {
            return PortPlace::NewVlan;
        }
        if (AtBefore(port)) {
            return PortPlace::OldVlan;
        }
        if (HasForeignPart(port)) {
            return PortPlace::Changed;
        }
        return InNoVlan(port) ? PortPlace::Neither : PortPlace::Both;
    }

    // Towards the goal: every port the engine still writes.
    Targets TowardGoal(std::size_t object) const {
        Targets targets(PortCount());
        for (std::size_t port = 0; port < PortCount(); ++port) {
            if (Holds(object, port) && !m_changedBySomeoneElse[port]) {
                targets[port] = Goal(object);
            }
        }
        return targets;
    }
    // A port goes back unless it reached the goal, or someone else changed it and it is still in
    // a VLAN: then their change is theirs. Only the parts the move changed go back.
    bool GoesBack(std::size_t port) const {
        return !AtGoal(port) && (!m_changedBySomeoneElse[port] || InNoVlan(port));
    }
    Targets Back(std::size_t object) const {
        Targets targets(PortCount());
        for (std::size_t port = 0; port < PortCount(); ++port) {
            const auto before = Before(object, port);
            if (Holds(object, port) && GoesBack(port) && Held(object, port) == Goal(object) &&
                before != Goal(object)) {
                targets[port] = before;
            }
        }
        return targets;
    }

    // The step's objects whose parts differ from their targets.
    std::vector<std::size_t> Pending(const MoveStep& step,
                                     Targets (MoveRun::*targetsOf)(std::size_t) const) const {
        std::vector<std::size_t> pending;
        for (const std::size_t object : step) {
            const Targets targets = (this->*targetsOf)(object);
            for (std::size_t port = 0; port < PortCount(); ++port) {
                if (targets[port] && Held(object, port) != targets[port]) {
                    pending.push_back(object);
                    break;
                }
            }
        }
        return pending;
    }

    std::size_t PartsAtTarget(const std::vector<std::size_t>& objects,
                              const std::vector<Targets>& targets) const {
        std::size_t at = 0;
        for (std::size_t k = 0; k < objects.size(); ++k) {
            for (std::size_t port = 0; port < PortCount(); ++port) {
                at += targets[k][port] && Held(objects[k], port) == targets[k][port];
            }
        }
        return at;
    }

    // Reads every object with one GET. The objects the switch gave no usable value for are not
    // known; when the GET fails, neither are `uncertain`, the objects of the SET just sent.
    SnmpStatus ReadBack(const std::vector<std::size_t>& uncertain) {
        std::vector<std::string> oids;
        for (const MoveObject& object : m_plan.objects) {
            oids.push_back(object.oid);
        }
        GetResult read = m_snmp.Get(m_settings, oids);
        if (!read.status.ok() || read.values.size() != oids.size()) {
            for (const std::size_t object : uncertain) {
                m_held[object].reset();
            }
            return read.status;
        }
        for (std::size_t object = 0; object < oids.size(); ++object) {
            m_held[object] = std::move(read.values[object]);
            for (std::size_t port = 0; port < PortCount(); ++port) {
                if (Holds(object, port) && !Held(object, port)) {
                    m_held[object].reset();
                }
            }
        }
        for (std::size_t port = 0; port < PortCount(); ++port) {
            m_changedBySomeoneElse[port] = m_changedBySomeoneElse[port] || HasForeignPart(port);
        }
        return read.status;
    }

    struct Sent {
        SetOutcome outcome;
        std::size_t progress;  // parts the SET brought to their targets
    };

    // One SET of the objects, each the value as the switch holds it with the moved ports' parts
    // at their targets; what the switch then holds is learnt from its answer, or read back.
    Sent Send(SetPhase phase, std::size_t step, const std::vector<std::size_t>& objects,
              Targets (MoveRun::*targetsOf)(std::size_t) const) {
        SentSet sent{phase, step, objects, {}, {}, std::nullopt, std::nullopt};
        std::vector<Targets> targets;
        for (const std::size_t object : objects) {
            targets.push_back((this->*targetsOf)(object));
            sent.bindings.push_back({Object(object).oid, WithParts(Object(object), *m_held[object],
                                                                   m_plan.ports, targets.back())});
        }
        const std::size_t before = PartsAtTarget(objects, targets);
        sent.result = m_snmp.SetTogether(m_settings, sent.bindings);
        const SetOutcome outcome = sent.result.outcome;
        if (outcome == SetOutcome::Confirmed) {
            for (std::size_t k = 0; k < objects.size(); ++k) {
                m_held[objects[k]] = sent.bindings[k].value;
            }
            sent.applied = true;
        } else if (outcome == SetOutcome::NotSent) {
            sent.applied = false;
        } else {
            // A refusal too: not every agent applies a request all or none.
            sent.readBack = ReadBack(objects);
            if (KnownObjects(objects)) {
                std::size_t targeted = 0;
                for (const Targets& of : targets) {
                    targeted += static_cast<std::size_t>(
                        std::count_if(of.begin(), of.end(),
                                      [](const auto& target) { return target.has_value(); }));
                }
                sent.applied = PartsAtTarget(objects, targets) == targeted;
            }
            // Still on its way, perhaps: it may land after the read-back.
            m_lateSetPossible =
                m_lateSetPossible || (outcome == SetOutcome::NoResponse && sent.applied != true);
        }
        const std::size_t after = KnownObjects(objects) ? PartsAtTarget(objects, targets) : before;
        m_report.sets.push_back(std::move(sent));
        return {outcome, after > before ? after - before : 0};
    }
    bool KnownObjects(const std::vector<std::size_t>& objects) const {
        return std::all_of(objects.begin(), objects.end(),
                           [this](std::size_t object) { return m_held[object].has_value(); });
    }

    // The way to the goal; false when it stopped short.
    bool Forward() {
        if (m_plan.together) {
            Send(SetPhase::Together, 0, AllObjects(), &MoveRun::TowardGoal);
        }
        for (std::size_t step = 0; step < m_plan.steps.size(); ++step) {
            for (int sets = 0;; ++sets) {
                if (!Known()) {
                    return false;
                }
                const auto pending = Pending(m_plan.steps[step], &MoveRun::TowardGoal);
                if (pending.empty()) {
                    break;
                }
                if (sets == kSetsPerStep ||
                    Send(SetPhase::Forward, step, pending, &MoveRun::TowardGoal).progress == 0) {
                    return false;
                }
            }
        }
        return true;
    }

    // Every port that did not reach the goal goes back where it was, from what the switch holds
    // now. A restore lost or refused on the way goes out once more, computed afresh: a port left
    // in no VLAN is worth a second try.
    void Settle() {
        for (std::size_t step = 0; step < m_plan.restoreSteps.size(); ++step) {
            for (int sets = 0;; ++sets) {
                if (!Known()) {
                    return;
                }
                const auto pending = Pending(m_plan.restoreSteps[step], &MoveRun::Back);
                if (pending.empty()) {
                    break;
                }
                if (sets == kSetsPerStep) {
                    return;
                }
                Send(SetPhase::Restore, step, pending, &MoveRun::Back);
            }
        }
    }

    // A SET whose answer never came and whose read-back found it not applied may still be on
    // its way: before the report, wait one more timeout and read again, and put back what it
    // changed.
    void AwaitLateSets() {
        for (int wait = 0; wait < kLateWaits && m_lateSetPossible && Known(); ++wait) {
            m_lateSetPossible = false;
            const auto before = States();
            m_snmp.WaitOneTimeout(m_settings);
            m_report.lateRead = ReadBack(AllObjects());
            const auto after = States();
            const bool changed = !std::equal(
                before.begin(), before.end(), after.begin(), after.end(),
                [](const PortState& a, const PortState& b) { return a.parts == b.parts; });
            if (changed) {
                Settle();
            }
        }
    }

    SnmpAgent& m_snmp;
    const DeviceSettings& m_settings;
    const MovePlan& m_plan;
    std::vector<std::optional<SnmpValue>> m_held;
    // Per port: a part of it was found neither as it was nor the goal; the engine writes it no
    // more.
    std::vector<bool> m_changedBySomeoneElse;
    bool m_lateSetPossible = false;
    MoveReport m_report;
};

}  // namespace

bool HoldsPartOf(const MoveObject& object, int port) {
    return IsList(object) || object.pvidPort == port;
}

std::optional<std::uint32_t> VlanIndexIn(const SnmpValue& value) {
    if (const auto* number = std::get_if<Unsigned32>(&value)) {
        return number->value;
    }
    if (const auto* integer = std::get_if<std::int32_t>(&value); integer && *integer >= 0) {
        return static_cast<std::uint32_t>(*integer);
    }
    return std::nullopt;
}

std::optional<Part> PartIn(const MoveObject& object, const SnmpValue& value, int port) {
    if (!HoldsPartOf(object, port)) {
        return std::nullopt;
    }
    if (!IsList(object)) {
        return VlanIndexIn(value);
    }
    const std::string* octets = OctetsIn(value);
    if (!octets || !ReachesPorts(*octets, std::span<const int>(&port, 1), object.bitOrder)) {
        return std::nullopt;
    }
    return HasPortBit(*octets, port, object.bitOrder) ? 1U : 0U;
}

std::vector<VarBinding> GoalValues(const MovePlan& plan, std::span<const std::size_t> objects) {
    std::vector<VarBinding> values;
    for (const std::size_t index : objects) {
        const MoveObject& object = plan.objects[index];
        const Targets goals(plan.ports.size(), object.goal);
        values.push_back({object.oid, WithParts(object, plan.read[index], plan.ports, goals)});
    }
    return values;
}

std::optional<Part> PartOf(const MovePlan& plan, const PortState& state, ObjectRole role) {
    for (std::size_t object = 0; object < plan.objects.size(); ++object) {
        if (plan.objects[object].role == role && HoldsPartOf(plan.objects[object], state.port)) {
            return state.parts[object];
        }
    }
    return std::nullopt;
}

bool MoveReport::AllMoved() const {
    return std::all_of(ports.begin(), ports.end(),
                       [](const PortState& port) { return port.place == PortPlace::NewVlan; });
}

bool MoveReport::MayHaveChanged() const {
    return std::any_of(sets.begin(), sets.end(),
                       [](const SentSet& sent) { return sent.applied != false; }) ||
           std::any_of(ports.begin(), ports.end(),
                       [](const PortState& port) { return port.place != PortPlace::OldVlan; });
}

MoveReport SendMove(SnmpAgent& snmp, const DeviceSettings& settings, const MovePlan& plan) {
    return MoveRun(snmp, settings, plan).Run();
}

std::optional<std::vector<PortState>> ReadPortStates(SnmpAgent& snmp,
                                                     const DeviceSettings& settings,
                                                     const MovePlan& plan) {
    MoveRun run(snmp, settings, plan);
    if (!run.ReadAll()) {
        return std::nullopt;
    }
    return run.States();
}

std::string PortListText(std::span<const int> ports) {
    std::string text;
    for (const int port : ports) {
        text += (text.empty() ? "" : ",") + std::to_string(port);
    }
    return text;
}

}  // namespace tarnwick
