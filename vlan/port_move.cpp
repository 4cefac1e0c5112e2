// Planning a move on the vendor VLAN MIB's VlanPorts bitmaps.
#include "vlan/port_move.h"

#include <algorithm>

#include "vlan/port_bitmap.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

MoveRefusal Refused(MoveRefusal::Reason reason, std::string_view vlan = {}, int port = 0) {
    MoveRefusal refusal;
    refusal.reason = reason;
    refusal.vlan = vlan;
    refusal.port = port;
    return refusal;
}

// The first port the bitmap holds no bit for, or 0.
int PortBeyond(const std::string& octets, std::span<const int> ports) {
    const auto beyond = std::find_if(ports.begin(), ports.end(), [&](int port) {
        return !ReachesPorts(octets, std::span<const int>(&port, 1), kVlanPortsBitOrder);
    });
    return beyond == ports.end() ? 0 : *beyond;
}

}  // namespace

std::string VlanPortsOid(std::string_view vlanId) {
    return std::string(kVlanPortsColumn) + "." + std::string(vlanId);
}

PlannedMove PlanPortMove(SnmpAgent& snmp, const DeviceSettings& settings, std::string_view fromVlan,
                         std::string_view toVlan, std::span<const int> ports) {
    using Reason = MoveRefusal::Reason;
    // Out and back into one bitmap would leave the port in no VLAN for a round trip.
    if (fromVlan == toVlan) {
        return Refused(Reason::SameVlan, fromVlan);
    }
    GetResult read = snmp.Get(settings, {VlanPortsOid(fromVlan), VlanPortsOid(toVlan)});
    // SNMPv1 names the instance it has not (noSuchName) by its binding.
    if (read.status.code == kNoSuchNameStatus &&
        (read.failedBinding == 1 || read.failedBinding == 2)) {
        return Refused(Reason::NoRow, read.failedBinding == 1 ? fromVlan : toVlan);
    }
    const bool bitmaps = read.status.ok() && read.values.size() == 2 && OctetsIn(read.values[0]) &&
                         OctetsIn(read.values[1]);
    if (!bitmaps) {
        MoveRefusal refusal = Refused(Reason::ReadFailed);
        refusal.status = std::move(read.status);
        return refusal;
    }
    const std::string& from = *OctetsIn(read.values[0]);
    const std::string& to = *OctetsIn(read.values[1]);
    if (const int port = PortBeyond(from, ports)) {
        return Refused(Reason::PortBeyond, fromVlan, port);
    }
    if (const int port = PortBeyond(to, ports)) {
        return Refused(Reason::PortBeyond, toVlan, port);
    }
    for (const int port : ports) {
        if (!HasPortBit(from, port, kVlanPortsBitOrder)) {
            return Refused(Reason::NotInFrom, fromVlan, port);
        }
    }
    MovePlan plan;
    plan.fromVlan = fromVlan;
    plan.toVlan = toVlan;
    plan.ports.assign(ports.begin(), ports.end());
    plan.objects = {{VlanPortsOid(fromVlan), ObjectRole::FromMembers, kVlanPortsBitOrder, 0, 0},
                    {VlanPortsOid(toVlan), ObjectRole::ToMembers, kVlanPortsBitOrder, 0, 1}};
    plan.read = std::move(read.values);
    // The removal, then the addition; back: into the old VLAN first, then out of the new one.
    plan.steps = {{0}, {1}};
    plan.restoreSteps = {{0}, {1}};
    return plan;
}

}  // namespace tarnwick
