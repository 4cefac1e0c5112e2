// Where a switch has learned a MAC address: instances, entries, VLANs, uplinks and requests.
#include "vlan/forwarding.h"

#include <algorithm>
#include <bitset>

#include "snmp/decimal.h"
#include "snmp/printable.h"
#include "vlan/identifiers.h"
#include "vlan/indexed_lookup.h"
#include "vlan/port_bitmap.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

std::string QBridgeInstanceOid(std::string_view column, FdbId fdbId, const Mac& mac) {
    return std::string(column) + "." + std::to_string(fdbId) + "." + MacInstance(mac);
}

std::string BridgeInstanceOid(std::string_view column, const Mac& mac) {
    return std::string(column) + "." + MacInstance(mac);
}

// The instance of a walked row of the column: the text after "<column>." in the row's OID.
std::optional<std::string_view> InstanceOfRow(std::string_view row, std::string_view column) {
    const std::string_view oid = WalkRowOid(row);
    if (oid.size() <= column.size() || !oid.starts_with(column) || oid[column.size()] != '.') {
        return std::nullopt;
    }
    return oid.substr(column.size() + 1);
}

bool Serves(std::span<const int> fdbVlans, int vlan) {
    return fdbVlans.empty() || std::ranges::find(fdbVlans, vlan) != fdbVlans.end();
}

}  // namespace

std::string QBridgeFdbPortOid(FdbId fdbId, const Mac& mac) {
    return QBridgeInstanceOid(kDot1qTpFdbPortColumn, fdbId, mac);
}

std::string QBridgeFdbStatusOid(FdbId fdbId, const Mac& mac) {
    return QBridgeInstanceOid(kDot1qTpFdbStatusColumn, fdbId, mac);
}

std::string BridgeFdbPortOid(const Mac& mac) {
    return BridgeInstanceOid(kDot1dTpFdbPortColumn, mac);
}

std::string BridgeFdbStatusOid(const Mac& mac) {
    return BridgeInstanceOid(kDot1dTpFdbStatusColumn, mac);
}

std::optional<std::string> OidJustBelow(std::string_view instance) {
    std::optional<std::vector<std::uint64_t>> subIds = ParseOid(instance);
    if (!subIds || (subIds->size() == 1 && subIds->back() == 0)) {
        return std::nullopt;
    }
    if (subIds->back() == 0) {
        subIds->pop_back();
    } else {
        --subIds->back();
    }
    return PrintableOid(*subIds);
}

FdbVlans VlansOfFdbs(const WalkTable& vlanFdbIdTable) {
    FdbVlans fdbs;
    std::bitset<kLastVlanId + 1> seen;
    for (const std::string& row : vlanFdbIdTable) {
        const std::optional<std::string_view> instance = InstanceOfRow(row, kDot1qVlanFdbIdColumn);
        const std::size_t dot = instance ? instance->find('.') : std::string_view::npos;
        if (dot == std::string_view::npos ||
            !ParseDecimal<std::uint32_t>(instance->substr(0, dot))) {
            continue;
        }
        const std::optional<int> vlan = ParseVlanId(instance->substr(dot + 1));
        const std::optional<FdbId> fdbId = ParseDecimal<FdbId>(WalkRowValue(row));
        if (!vlan || !fdbId || seen.test(static_cast<std::size_t>(*vlan))) {
            continue;
        }
        seen.set(static_cast<std::size_t>(*vlan));
        std::vector<int>& vlans = fdbs[*fdbId];
        vlans.insert(std::ranges::upper_bound(vlans, *vlan), *vlan);
    }
    return fdbs;
}

FdbEntryKind KindOfFdbEntry(std::int64_t port, std::optional<std::int64_t> status) {
    if (status == kFdbStatusSelf) {
        return FdbEntryKind::Self;
    }
    if (status == kFdbStatusMgmt) {
        return FdbEntryKind::Mgmt;
    }
    return port >= 1 && port <= kLastBridgePort ? FdbEntryKind::Learned : FdbEntryKind::NoPort;
}

bool IsQBridgeUplink(int taggedVlans, int untaggedVlans) {
    return taggedVlans >= 2 || untaggedVlans == 0;
}

bool IsVendorUplink(int memberVlans) {
    return memberVlans > 1;
}

std::optional<int> VlanOfEntry(std::span<const int> fdbVlans, std::optional<int> pvid,
                               std::span<const int> untaggedVlans) {
    if (fdbVlans.size() == 1) {
        return fdbVlans.front();
    }
    if (pvid) {
        return Serves(fdbVlans, *pvid) ? pvid : std::nullopt;
    }
    if (untaggedVlans.size() == 1 && Serves(fdbVlans, untaggedVlans.front())) {
        return untaggedVlans.front();
    }
    return std::nullopt;
}

std::optional<int> VendorPortOfIfIndex(const WalkTable& portIfIndexTable, std::int32_t ifIndex) {
    std::optional<int> found;
    for (const std::string& row : portIfIndexTable) {
        const std::optional<std::string_view> instance = InstanceOfRow(row, kPortIfIndexColumn);
        const std::optional<int> port =
            instance ? ParseDecimal(*instance, 1, kLastPort) : std::nullopt;
        if (!port || ParseIfIndex(WalkRowValue(row)) != ifIndex) {
            continue;
        }
        if (found && *found != *port) {
            return std::nullopt;
        }
        found = port;
    }
    return found;
}

BindingBatches::BindingBatches(std::size_t bindings, std::size_t maxPerRequest)
    : m_bindings(bindings), m_size(std::max<std::size_t>(maxPerRequest, 1)) {}

BindingBatches::Range BindingBatches::Next() const {
    return {m_answered, std::min(m_size, m_bindings - m_answered)};
}

void BindingBatches::Answered() {
    m_answered += Next().count;
}

bool BindingBatches::TooBig() {
    const std::size_t count = Next().count;
    if (count <= 1) {
        return false;
    }
    m_size = count / 2;
    return true;
}

}  // namespace tarnwick
