// Planning a move through the Q-BRIDGE-MIB's PortLists and PVIDs.
#include "vlan/q_bridge_move.h"

#include <utility>

#include "vlan/port_bitmap.h"
#include "vlan/q_bridge_mib.h"

namespace tarnwick {
namespace {

using Reason = MoveRefusal::Reason;

// The objects a plan writes, in this order, then one PVID per moved port.
enum QBridgeObject : std::size_t { kFromEgress, kFromUntagged, kToEgress, kToUntagged, kFirstPvid };

std::string Instance(std::string_view column, std::uint32_t index) {
    return std::string(column) + "." + std::to_string(index);
}

MoveRefusal Refused(Reason reason, std::uint32_t vlan, int port = 0) {
    MoveRefusal refusal;
    refusal.reason = reason;
    refusal.vlan = std::to_string(vlan);
    refusal.port = port;
    return refusal;
}

bool HasPort(const std::string& list, int port) {
    return HasPortBit(list, port, kPortListBitOrder);
}

// Why the port cannot move as planned, or nothing.
std::optional<MoveRefusal> CheckPort(int port, std::uint32_t fromVlan, std::uint32_t toVlan,
                                     std::span<const std::string> lists, std::uint32_t pvid) {
    for (std::size_t object = 0; object < lists.size(); ++object) {
        if (!ReachesPorts(lists[object], {&port, 1}, kPortListBitOrder)) {
            const bool from = object == kFromEgress || object == kFromUntagged;
            return Refused(Reason::PortBeyond, from ? fromVlan : toVlan, port);
        }
    }
    if (!HasPort(lists[kFromUntagged], port)) {
        return Refused(HasPort(lists[kFromEgress], port) ? Reason::OnlyTagged : Reason::NotInFrom,
                       fromVlan, port);
    }
    if (pvid != fromVlan) {
        MoveRefusal refusal = Refused(Reason::PvidNotFrom, fromVlan, port);
        refusal.pvid = pvid;
        return refusal;
    }
    return std::nullopt;
}

MoveObject List(std::string oid, ObjectRole role, Part goal) {
    return {std::move(oid), role, kPortListBitOrder, 0, goal};
}

}  // namespace

PlannedMove PlanQBridgeMove(SnmpAgent& snmp, const DeviceSettings& settings, std::uint32_t fromVlan,
                            std::uint32_t toVlan, std::span<const int> ports) {
    if (fromVlan == toVlan) {
        return Refused(Reason::SameVlan, fromVlan);
    }
    MovePlan plan;
    plan.fromVlan = std::to_string(fromVlan);
    plan.toVlan = std::to_string(toVlan);
    plan.ports.assign(ports.begin(), ports.end());
    plan.objects = {
        List(Instance(kDot1qVlanStaticEgressPortsColumn, fromVlan), ObjectRole::FromMembers, 0),
        List(Instance(kDot1qVlanStaticUntaggedPortsColumn, fromVlan), ObjectRole::FromUntagged, 0),
        List(Instance(kDot1qVlanStaticEgressPortsColumn, toVlan), ObjectRole::ToMembers, 1),
        List(Instance(kDot1qVlanStaticUntaggedPortsColumn, toVlan), ObjectRole::ToUntagged, 1)};
    for (const int port : ports) {
        plan.objects.push_back({Instance(kDot1qPvidColumn, static_cast<std::uint32_t>(port)),
                                ObjectRole::Pvid, kPortListBitOrder, port, toVlan});
    }
    std::vector<std::string> oids;
    for (const MoveObject& object : plan.objects) {
        oids.push_back(object.oid);
    }
    // TO's forbidden list is read to check, never written.
    oids.push_back(Instance(kDot1qVlanForbiddenEgressPortsColumn, toVlan));
    GetResult read = snmp.Get(settings, oids);
    // SNMPv1 names the instance it has not (noSuchName) by its binding.
    const std::size_t missing = read.failedBinding;
    if (read.status.code == kNoSuchNameStatus && missing >= 1 && missing <= oids.size()) {
        const std::size_t object = missing - 1;
        if (object >= kFirstPvid && object < plan.objects.size()) {
            return Refused(Reason::NoSuchPort, toVlan, plan.objects[object].pvidPort);
        }
        const bool from = object == kFromEgress || object == kFromUntagged;
        return Refused(Reason::NoRow, from ? fromVlan : toVlan);
    }
    if (!read.status.ok() || read.values.size() != oids.size()) {
        MoveRefusal refusal = Refused(Reason::ReadFailed, fromVlan);
        refusal.status = std::move(read.status);
        return refusal;
    }
    std::vector<std::string> lists;
    for (const std::size_t object :
         {std::size_t{kFromEgress}, std::size_t{kFromUntagged}, std::size_t{kToEgress},
          std::size_t{kToUntagged}, oids.size() - 1}) {
        const std::string* list = OctetsIn(read.values[object]);
        if (!list) {
            MoveRefusal refusal = Refused(Reason::NotAValue, fromVlan);
            refusal.object = oids[object];
            return refusal;
        }
        lists.push_back(*list);
    }
    const std::string forbidden = lists.back();
    lists.pop_back();
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const auto pvid = VlanIndexIn(read.values[kFirstPvid + i]);
        if (!pvid) {
            MoveRefusal refusal = Refused(Reason::NotAValue, fromVlan, ports[i]);
            refusal.object = oids[kFirstPvid + i];
            return refusal;
        }
        if (auto refusal = CheckPort(ports[i], fromVlan, toVlan, lists, *pvid)) {
            return std::move(*refusal);
        }
        if (HasPort(forbidden, ports[i])) {
            return Refused(Reason::Forbidden, toVlan, ports[i]);
        }
    }
    read.values.pop_back();
    plan.read = std::move(read.values);
    plan.together = true;
    MoveStep pvids;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        pvids.push_back(kFirstPvid + i);
    }
    plan.steps = {{kToEgress}, {kFromUntagged, kToUntagged}, pvids, {kFromEgress}};
    // Back is the same way with FROM and TO swapped: a PVID returns once its port is untagged in
    // FROM again, as some switches require.
    plan.restoreSteps = {{kFromEgress}, {kFromUntagged, kToUntagged}, pvids, {kToEgress}};
    return plan;
}

}  // namespace tarnwick
