// Moving access (and hybrid) ports between VLANs on a switch with the standard Q-BRIDGE-MIB: each
// port leaves FROM's egress and untagged lists, joins TO's, and takes TO as its PVID; its tagged
// memberships of other VLANs and every other port's bits stay as the switch holds them.
// The change goes out as one SET of every binding; whatever the answer, what the switch holds
// decides: a response, or a read-back. Where the one request did not reach the goal, the move
// goes on in separate SETs, in an order that keeps each port in a VLAN at every step, and
// restores on failure: a port ends as it was or in TO, and nothing unconfirmed is reported.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "snmp/snmp_agent.h"
#include "vlan/port_move.h"

namespace tarnwick {

// The objects a move writes, in this order, then one PVID per moved port.
enum QBridgeObject : std::size_t { kFromEgress, kFromUntagged, kToEgress, kToUntagged, kFirstPvid };

struct QBridgeMovePlan {
    std::uint32_t fromVlan = 0;
    std::uint32_t toVlan = 0;
    std::vector<int> ports;
    // Each object (QBridgeObject; the PVIDs in the ports' order) as the switch held it just
    // before, and as the move leaves it: only the moved ports' bits and PVIDs differ.
    std::vector<VarBinding> before;
    std::vector<VarBinding> goal;
};

using PlannedQBridgeMove = std::variant<QBridgeMovePlan, MoveRefusal>;

// Reads FROM's and TO's lists (TO's forbidden list too) and the ports' PVIDs with one GET, and
// plans the move, or refuses it with the port and the reason: a VLAN without a row, the same
// VLAN twice, a port beyond a list, not an untagged member of FROM, a PVID other than FROM, a
// port TO forbids.
PlannedQBridgeMove PlanQBridgeMove(SnmpAgent& snmp, const DeviceSettings& settings,
                                   std::uint32_t fromVlan, std::uint32_t toVlan,
                                   std::span<const int> ports);

// The names the MIB gives the objects, with their instance: "dot1qPvid.5".
std::string QBridgeObjectName(std::string_view oid);

// One SET request of a move, and what the switch said of it.
struct QBridgeSentSet {
    std::string step;  // "all" for the one request, else "<object> <VLAN or port>", "restore …"
    std::vector<VarBinding> bindings;
    SetResult result;
    // After an answer that did not confirm it: the status of the GET that read it back.
    std::optional<SnmpStatus> readBack;
    // Whether the switch holds every binding's moved ports' part as sent; nothing when it did
    // not tell.
    std::optional<bool> applied;
};

// What the switch holds of one moved port, after the last response or read-back.
struct QBridgePortState {
    int port = 0;
    PortPlace place = PortPlace::Unknown;  // Both: partly moved, in both VLANs' lists or PVID
    bool inFromEgress = false;
    bool inFromUntagged = false;
    bool inToEgress = false;
    bool inToUntagged = false;
    std::uint32_t pvid = 0;
};

struct QBridgeMoveReport {
    std::vector<QBridgeSentSet> sets;
    std::vector<QBridgePortState> ports;
    // What the user is told; empty when the switch confirmed every port in TO.
    std::string message;

    bool AllMoved() const;
};

// Sends the move as planned; nothing is shown.
QBridgeMoveReport SendQBridgeMove(SnmpAgent& snmp, const DeviceSettings& settings,
                                  const QBridgeMovePlan& plan);

// Reads the plan's objects again with one GET: what the switch holds of each moved port now;
// nothing when the GET fails.
std::optional<std::vector<QBridgePortState>> ReadQBridgePorts(SnmpAgent& snmp,
                                                              const DeviceSettings& settings,
                                                              const QBridgeMovePlan& plan);

}  // namespace tarnwick
