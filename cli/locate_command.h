// tarnwick-cli's locate, on one switch or on several at once, and the move of the port a MAC
// address was learned on.
#pragma once

#include <cstddef>
#include <ostream>

#include "cli/command_context.h"
#include "cli/command_line.h"
#include "vlan/mac_address.h"

namespace tarnwick::cli {

// How many switches locate asks at once.
inline constexpr std::size_t kSwitchesAtOnce = 8;

// The ports the context's switch learned the address on, printed; exit 0 when there is one.
int LocateMacAddress(Context& context, const Mac& mac);

// The same on each of the invocation's switches, at most kSwitchesAtOnce asked at once (over
// SNMPv3 one after another: the SNMP library keeps one table of users and engines for all its
// sessions). The ports of all, those that are no uplink first, each with its switch; exit 0 when
// any switch has learned the address.
int LocateOnSwitches(const Invocation& invocation, SnmpAgent& snmp, Messages& messages,
                     std::ostream& out);

// move --mac: locates the address, then moves its port from the VLAN it was learned in to TO, as
// move does. Refused, nothing sent, when the address is on no port, on several, or on an uplink,
// or when its port or VLAN is not known.
int MoveByMac(Context& context, const Invocation& invocation);

}  // namespace tarnwick::cli
