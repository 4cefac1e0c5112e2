// Moving ports between VLANs by rewriting the two VLANs' VlanPorts bitmaps, so that a port ends in
// the new VLAN or exactly where it was, never in none and never in two. The SETs are built from
// the bitmaps as the switch holds them just before (one GET), the removal goes first, and every
// step is decided from what the switch confirmed: a response, or, when none came, a read-back.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "snmp/snmp_agent.h"

namespace tarnwick {

inline constexpr std::string_view kSetVlanPortsFailure =
    "设定VlanPorts信息失败，请检查IP地址或共同体名! \r\n错误信息: ";

// The VLAN's VlanPorts instance.
std::string VlanPortsOid(std::string_view vlanId);

// Both SETs of a move, built from the two bitmaps as the switch held them just before: only the
// moved ports' bits differ from them, and each keeps the length the switch gave it.
struct PortMovePlan {
    std::string fromVlan;
    std::string toVlan;
    std::vector<int> ports;
    std::string fromOctets;    // the old VLAN's bitmap as read
    std::string toOctets;      // the new VLAN's bitmap as read
    std::string removalText;   // the old bitmap without the ports, two hex digits per octet
    std::string additionText;  // the new bitmap with the ports
};

// Why nothing was sent: the message that says so.
struct MoveRefusal {
    std::string message;
};

using PlannedMove = std::variant<PortMovePlan, MoveRefusal>;

// Checks that both bitmaps reach every port's octet, and plans the SETs from them.
PlannedMove PlanPortMove(std::string_view fromVlan, std::string_view toVlan,
                         std::span<const int> ports, std::string fromOctets, std::string toOctets);
// Reads both VLANs' bitmaps with one GET of two bindings, then plans as above; a VLAN the switch
// has no bitmap for, or a failed GET, is refused.
PlannedMove PlanPortMove(SnmpAgent& snmp, const DeviceSettings& settings, std::string_view fromVlan,
                         std::string_view toVlan, std::span<const int> ports);

enum class MoveStep { Removal, Addition, Restore };

// One SET a move sent, and what the switch said of it.
struct SentSet {
    MoveStep step;
    std::string vlan;
    std::string bitmapText;  // as sent
    SetResult result;
    // After no response, the instance was read back: the status of that GET.
    std::optional<SnmpStatus> readBack;
    // Whether the switch holds the moved ports' bits as sent; nothing when it did not tell.
    std::optional<bool> applied;
};

// Where the switch confirmed a port is now, as far as the two VLANs go.
enum class PortPlace {
    NewVlan,  // the goal
    OldVlan,  // where it was
    Neither,
    Both,
    Unknown,  // a VLAN could not be read back
};

struct PortOutcome {
    int port;
    PortPlace place;
};

struct PortMoveReport {
    std::vector<SentSet> sets;
    std::vector<PortOutcome> ports;
    // What the user is told; empty when the switch confirmed every port in the new VLAN.
    std::string message;

    bool AllMoved() const;
};

// Sends the removal; after a confirmed removal the addition; after a failed addition the old
// bitmap back. A SET without a response is read back, and a VLAN that cannot be read back ends
// the move. Nothing is shown: the report says what happened.
PortMoveReport SendPortMove(SnmpAgent& snmp, const DeviceSettings& settings,
                            const PortMovePlan& plan);

// "9" or "1,2,12": the ports as the messages name them.
std::string PortListText(std::span<const int> ports);

}  // namespace tarnwick
