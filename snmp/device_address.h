// The device address field's text, parsed by us before Net-SNMP sees it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

inline constexpr std::uint16_t kDefaultSnmpPort = 161;

struct DeviceAddress {
    // Net-SNMP transport text: "udp:a.b.c.d:p", "udp6:[v6]:p" or "udp:host:p".
    std::string peerName;
    // The host name of "udp:host:p", which each session resolves; empty for an address.
    std::string hostName{};
    std::uint16_t port = 0;

    // The same switch: the same host and port, however the text was typed.
    bool operator==(const DeviceAddress&) const = default;
};

// IPv4 dotted quad or host name, optionally ":port"; "[IPv6]" optionally followed by ":port".
// Empty or malformed text (including "1.2.3", which Net-SNMP would read as 1.2.0.3) gives nothing.
std::optional<DeviceAddress> ParseDeviceAddress(std::string_view text);

// The address with a host name looked up once (IPv4, as Net-SNMP's udp transport would): the
// first address it resolves to, same port. Addresses are returned as parsed; nothing when the
// text does not parse or the name does not resolve.
std::optional<DeviceAddress> ResolveDeviceAddress(std::string_view text);

// A resolved address back from its peer name ("udp:a.b.c.d:p", "udp6:[v6]:p"), as a record of
// where a request went keeps it; nothing for a host name or any other text.
std::optional<DeviceAddress> ParseResolvedPeerName(std::string_view peerName);

}  // namespace tarnwick
