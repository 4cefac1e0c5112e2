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

    // The same switch: the same host and port, however the text was typed.
    bool operator==(const DeviceAddress&) const = default;
};

// IPv4 dotted quad or host name, optionally ":port"; "[IPv6]" optionally followed by ":port".
// Empty or malformed text (including "1.2.3", which Net-SNMP would read as 1.2.0.3) gives nothing.
std::optional<DeviceAddress> ParseDeviceAddress(std::string_view text);

}  // namespace tarnwick
