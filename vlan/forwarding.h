// Where a switch has learned a device's MAC address: the forwarding-table instances that hold it,
// what an entry says, the VLAN it is in, whether its port is an uplink, which of several ports
// to answer with, and how the bindings asked are split into requests. Values in, values out: the
// requests themselves are the caller's.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "snmp/snmp_agent.h"
#include "vlan/mac_address.h"

namespace tarnwick {

// BRIDGE-MIB's dot1dTpFdbTable, indexed by the address's six octets: one database for the switch.
inline constexpr std::string_view kDot1dTpFdbPortColumn = "1.3.6.1.2.1.17.4.3.1.2";
inline constexpr std::string_view kDot1dTpFdbStatusColumn = "1.3.6.1.2.1.17.4.3.1.3";
// Q-BRIDGE-MIB's dot1qTpFdbTable, indexed by FDB id and the six octets: one database per FDB id.
inline constexpr std::string_view kDot1qTpFdbPortColumn = "1.3.6.1.2.1.17.7.1.2.2.1.2";
inline constexpr std::string_view kDot1qTpFdbStatusColumn = "1.3.6.1.2.1.17.7.1.2.2.1.3";
// dot1qVlanCurrentTable's dot1qVlanFdbId, indexed by TimeMark and VLAN ID: the VLAN's FDB id.
inline constexpr std::string_view kDot1qVlanFdbIdColumn = "1.3.6.1.2.1.17.7.1.4.2.1.3";

using FdbId = std::uint32_t;

// BRIDGE-MIB numbers bridge ports 1 to 65535 (dot1dBasePort).
inline constexpr std::int64_t kLastBridgePort = 65535;

// The address's own instances in each table.
std::string QBridgeFdbPortOid(FdbId fdbId, const Mac& mac);
std::string QBridgeFdbStatusOid(FdbId fdbId, const Mac& mac);
std::string BridgeFdbPortOid(const Mac& mac);
std::string BridgeFdbStatusOid(const Mac& mac);

// Where an SNMPv1 GETNEXT starts so that it answers `instance` when the agent holds it (a GET
// of several instances fails whole when one is missing; a GETNEXT answers whatever comes next).
// GETNEXT of P answers the first OID after P, so P must leave no OID between itself and the
// instance:
// - last sub-identifier 0: the instance without it. Nothing lies between, as X.0 is the first
//   OID after X.
// - otherwise: that sub-identifier less one. Between X.(n-1) and X.n lie only OIDs that extend
//   X.(n-1), longer than the instance, which a table with fixed-length instances (both
//   forwarding tables) has none of.
// The answer is the instance only when its OID is exactly the one asked; any other OID means the
// agent has no such entry. Nothing for malformed text, or an instance with nothing below it ("0").
std::optional<std::string> OidJustBelow(std::string_view instance);

// The VLANs each forwarding database serves, ascending, from dot1qVlanFdbId rows
// ("<column>.<TimeMark>.<VLAN>-<FDB id>"). A VLAN seen under several TimeMarks is one VLAN, its
// first row counting; rows that are not of the column, or hold no VLAN ID or FDB id, are left
// out. The keys are the FDB ids to ask, each once however many VLANs share it.
using FdbVlans = std::map<FdbId, std::vector<int>>;
FdbVlans VlansOfFdbs(const WalkTable& vlanFdbIdTable);

// dot1dTpFdbStatus and dot1qTpFdbStatus: how the entry came about.
inline constexpr std::int64_t kFdbStatusSelf = 4;  // the switch's own address
inline constexpr std::int64_t kFdbStatusMgmt = 5;  // a static entry, configured by hand

// What a forwarding entry says about where the address is.
enum class FdbEntryKind {
    Learned,  // the device is behind the port
    NoPort,   // the port is 0 (the switch knows the address, not its port) or no bridge port
    Self,     // the switch's own address
    Mgmt,     // a static entry: where it was configured, not where the device was seen
};
// The status decides first; without a status (not asked, or not answered) the port alone.
FdbEntryKind KindOfFdbEntry(std::int64_t port, std::optional<std::int64_t> status);

// Whether a port carries the traffic of another switch, the device then behind that switch.
// Q-BRIDGE: a tagged member of two or more VLANs, or untagged in none (a PC behind an IP phone is
// untagged in one VLAN and tagged in the voice VLAN: no uplink).
bool IsQBridgeUplink(int taggedVlans, int untaggedVlans);
// The vendor MIB, which knows no tagging: a member of more than one VLAN.
bool IsVendorUplink(int memberVlans);

// The VLAN an entry is in: the database's VLAN when it serves one; when it serves several (or, as
// BRIDGE-MIB's single database, every VLAN: `fdbVlans` empty), the port's PVID, else the one VLAN
// the port is untagged in (on the vendor MIB: its one member VLAN), each only when the database
// serves it. None when the entry leaves it open.
std::optional<int> VlanOfEntry(std::span<const int> fdbVlans, std::optional<int> pvid,
                               std::span<const int> untaggedVlans);

// One port the address was found on: `port` is the number a move takes on that MIB, 0 when no
// port of the MIB holds the bridge port's interface.
struct FoundPort {
    int port = 0;
    std::optional<int> vlan;
    bool uplink = false;
    int bridgePort = 0;
    std::optional<std::int32_t> ifIndex{};  // none without a usable dot1dBasePortIfIndex row
    std::optional<std::string> ifName{};    // none without an ifIndex, or without its ifName row
};
// The preferred answer first: ports that are not uplinks before uplinks, each kind in the order
// found. `toPort` gives each item's port, for lists that hold more than ports.
template <typename Item, typename ToPort = std::identity>
void OrderByPreference(std::vector<Item>& found, ToPort toPort = {}) {
    // The iterator form: clang 14 cannot instantiate the subrange the ranges form returns.
    std::stable_partition(found.begin(), found.end(), [&toPort](const Item& item) {
        return !std::invoke(toPort, item).uplink;
    });
}

// The vendor port whose row in the port-to-ifIndex table ("<column>.<port>-<ifIndex>") holds the
// ifIndex; none when no row does, or more than one (no port a move could trust).
std::optional<int> VendorPortOfIfIndex(const WalkTable& portIfIndexTable, std::int32_t ifIndex);

// Splits `bindings` bindings into requests of at most `maxPerRequest`, in order. A request
// answered tooBig is sent again as its first half, and no later request is larger: an agent that
// could not fit so many will not fit them later either.
class BindingBatches {
public:
    struct Range {
        std::size_t first = 0;
        std::size_t count = 0;
    };
    BindingBatches(std::size_t bindings, std::size_t maxPerRequest);
    // The bindings the next request carries; count 0 once every binding has been answered.
    Range Next() const;
    // Next's bindings were answered.
    void Answered();
    // Next's request was answered tooBig: halves it. False when it carries one binding, which no
    // smaller request holds: the caller gives up.
    bool TooBig();

private:
    std::size_t m_bindings;
    std::size_t m_size;
    std::size_t m_answered = 0;
};

}  // namespace tarnwick
