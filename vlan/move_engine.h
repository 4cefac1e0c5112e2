// The one way a move reaches the switch, whatever its VLAN MIB. A plan names the objects to write
// (port lists, PVIDs), each as the switch held it just before and the moved ports' goal in it,
// and the order of the SETs; the engine sends them, decides every step from what the switch
// confirmed (a response, or a read-back), puts ports back when a step fails, and reports per SET
// and per port. A port ends in the new VLAN or exactly where it was; each SET is computed from
// the freshest read, changing only the moved ports' part, so changes someone else made meanwhile
// stay. The engine words nothing: the window and the CLI do, each in its own language.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "snmp/snmp_agent.h"
#include "vlan/port_bitmap.h"

namespace tarnwick {

// What an object is to the move.
enum class ObjectRole {
    FromMembers,   // the old VLAN's member (egress) ports: the moved ports leave it
    FromUntagged,  // the old VLAN's untagged ports
    ToMembers,     // the new VLAN's member ports: the moved ports join it
    ToUntagged,
    Pvid,  // one moved port's PVID: it becomes the new VLAN
};

struct MoveObject {
    std::string oid;
    ObjectRole role = ObjectRole::FromMembers;
    BitOrder bitOrder = BitOrder::LeastSignificantFirst;  // a port list's
    int pvidPort = 0;                                     // a PVID's port
    // The moved ports' goal in it: a port list's bit (1 member, 0 not), a PVID's VLAN.
    std::uint32_t goal = 0;
};

// A moved port's part of an object: its bit in a port list, or its PVID.
using Part = std::uint32_t;

// The objects of one SET, by their index in the plan.
using MoveStep = std::vector<std::size_t>;

struct MovePlan {
    std::string fromVlan;  // as the front ends name them
    std::string toVlan;
    std::vector<int> ports;
    std::vector<MoveObject> objects;
    std::vector<SnmpValue> read;  // each object as the switch held it just before the move
    // First one SET of every object, the steps being the way on when it does not reach the goal.
    bool together = false;
    std::vector<MoveStep> steps;         // towards the goal, in order
    std::vector<MoveStep> restoreSteps;  // back to where the ports were, in order
};

// Why a planner sent nothing: what it found, for the front ends to word.
struct MoveRefusal {
    enum class Reason {
        SameVlan,     // the old and the new VLAN are one
        NoRow,        // `vlan` has no row
        ReadFailed,   // the GET before the move failed with `status`
        NotAValue,    // `object` (an OID) holds no value a move can work with
        PortBeyond,   // `vlan`'s port list holds no bit for `port`
        NotInFrom,    // `port` is not (or no longer) a member of the old VLAN `vlan`
        OnlyTagged,   // `port` is only a tagged member of the old VLAN `vlan`
        PvidNotFrom,  // `port`'s PVID is `pvid`, not the old VLAN
        Forbidden,    // `vlan` forbids `port`
        NoSuchPort,   // the switch has no PVID for `port`: no such bridge port
    };
    Reason reason = Reason::ReadFailed;
    std::string vlan{};
    int port = 0;
    std::string object{};
    std::uint32_t pvid = 0;
    SnmpStatus status{};
};

using PlannedMove = std::variant<MovePlan, MoveRefusal>;

// Whether the object holds a part of the port: a list holds every port's, a PVID its port's.
bool HoldsPartOf(const MoveObject& object, int port);
// The port's part of the value; nothing when the value has none (a list too short, a PVID that
// is not a VLAN index).
std::optional<Part> PartIn(const MoveObject& object, const SnmpValue& value, int port);
// The values of the objects with every moved port's part at its goal, from the read: what the
// steps would send to a switch nobody else touches (a dry run shows them).
std::vector<VarBinding> GoalValues(const MovePlan& plan, std::span<const std::size_t> objects);
// A VLAN index as read: agents send it as Unsigned32 or, some, as INTEGER.
std::optional<std::uint32_t> VlanIndexIn(const SnmpValue& value);

enum class SetPhase {
    Together,  // the one SET of every object
    Forward,   // a step towards the goal
    Restore,   // a step back
};

// One SET the engine sent, and what the switch said of it.
struct SentSet {
    SetPhase phase = SetPhase::Forward;
    std::size_t step = 0;  // in the plan's steps or restoreSteps
    std::vector<std::size_t> objects;
    std::vector<VarBinding> bindings;  // as sent
    SetResult result;
    // When the answer was not a confirmation: the status of the GET that read the objects back.
    std::optional<SnmpStatus> readBack;
    // Whether the switch holds the moved ports' parts as sent; nothing when it did not tell.
    std::optional<bool> applied;
};

// Where the switch holds a moved port, after the last response or read.
enum class PortPlace {
    NewVlan,  // every part at its goal
    OldVlan,  // every part as it was
    Neither,  // a member of neither VLAN
    Both,     // a member of both, or partly moved
    Changed,  // a part neither as it was nor the goal (another PVID): someone else's change
    Unknown,  // an object could not be read back
};

struct PortState {
    int port = 0;
    PortPlace place = PortPlace::Unknown;
    // Per plan object: the port's part as the switch holds it; nothing when the object holds
    // none of the port's or is not known.
    std::vector<std::optional<Part>> parts;
};

struct MoveReport {
    std::vector<SentSet> sets;
    std::vector<PortState> ports;
    // Per plan object: its value as the engine last knew the switch to hold it (the last
    // confirmation or read); nothing when that is not known.
    std::vector<std::optional<SnmpValue>> held;
    // A SET went unanswered and its read-back found it not applied: the engine waited one more
    // timeout and read again, and this is that GET's status.
    std::optional<SnmpStatus> lateRead;

    bool AllMoved() const;
    // Whether the move may have changed something: a SET confirmed or not known to have failed,
    // or a port no longer as it was.
    bool MayHaveChanged() const;
};

// The port's part of the plan's first object in the role that holds one of it; nothing when none
// does or the switch did not tell.
std::optional<Part> PartOf(const MovePlan& plan, const PortState& state, ObjectRole role);

// Sends the plan's SETs and reports. Nothing is shown.
MoveReport SendMove(SnmpAgent& snmp, const DeviceSettings& settings, const MovePlan& plan);

// Reads the plan's objects again with one GET: where each moved port is now; nothing when the
// GET fails.
std::optional<std::vector<PortState>> ReadPortStates(SnmpAgent& snmp,
                                                     const DeviceSettings& settings,
                                                     const MovePlan& plan);

// "9" or "1,2,12": ports as the messages name them.
std::string PortListText(std::span<const int> ports);

}  // namespace tarnwick
