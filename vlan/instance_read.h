// Instances read by name, each present or absent, in as few requests as fit, rather than walking
// the columns they are in: a VLAN's row, its member ports' interfaces, an address's forwarding
// entries.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "snmp/snmp_agent.h"
#include "vlan/mib_tables.h"
#include "vlan/vlan_mib.h"

namespace tarnwick {

// How an instance is asked for.
enum class InstanceLookup {
    // A GET. Over SNMPv1 one missing instance fails the whole GET: the one it names is left out
    // and the others are asked again.
    Get,
    // A GETNEXT from just below each instance (OidJustBelow), whose answer is the instance when
    // the agent has it: where most instances asked are missing, over SNMPv1, one request still
    // answers them all.
    NextFromJustBelow,
};

struct InstancesRead {
    // In the order asked: each instance's value; none when the agent has no such instance (or
    // its value is of a type a GET does not take).
    std::vector<std::optional<SnmpValue>> values;
    // A request failed otherwise than for a missing instance (no answer, a refusal, tooBig for a
    // single binding, an agent that cannot send it): the values are not all known.
    SnmpStatus status;
    bool ok() const { return status.ok(); }
};

// The instances in requests of at most kBindingsPerRequest bindings; a request answered tooBig is
// asked again in halves (BindingBatches).
InstancesRead ReadInstances(SnmpAgent& snmp, const DeviceSettings& settings,
                            const std::vector<std::string>& oids, InstanceLookup lookup);

// How a read of instances of a MIB's columns ended.
struct InstanceReadEnd {
    std::string object;  // on failure: the first object of the request that failed, named
    SnmpStatus status;
    bool ok() const { return status.ok(); }
};

// One VLAN's member ports by GETs: its row of the member (and untagged) lists, then its member
// ports' ifIndex rows, then their ifName rows, each request fitted to what the switch takes.
// `tables` then holds the rows that exist, as ReadMibColumns would for this VLAN, so
// MemberPortsOfVlans tells the same ports; a VLAN without a row leaves them empty.
InstanceReadEnd ReadVlanMembers(SnmpAgent& snmp, const DeviceSettings& settings, const VlanMib& mib,
                                const std::string& vlanId, MibTables& tables);

}  // namespace tarnwick
