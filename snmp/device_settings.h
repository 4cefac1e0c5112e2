// The settings every SNMP request is built from, as last taken from the main window's fields.
#pragma once

#include <cstdint>
#include <string>

#include <optional>

#include "snmp/device_address.h"
#include "snmp/snmp_version.h"

namespace tarnwick {

// The wait per attempt that any request may use, in milliseconds: the window's field accepts
// exactly these, and the SNMP layer sends nothing with a timeout outside them.
inline constexpr std::int32_t kMinTimeout = 1000;
inline constexpr std::int32_t kMaxTimeout = 10000;

constexpr bool IsTimeoutInRange(std::int64_t milliseconds) {
    return milliseconds >= kMinTimeout && milliseconds <= kMaxTimeout;
}

struct DeviceSettings {
    std::string ipAddress = "192.168.0.241";
    std::string readCommunity = "public";
    std::string writeCommunity = "private";
    // Milliseconds per attempt, kMinTimeout to kMaxTimeout.
    std::int32_t timeout = 1000;
    int deviceType = 0;  // display only: no command reads it
    // The window always speaks SNMPv1 with the communities; the CLI may choose.
    SnmpVersion version = SnmpVersion::V1;
    UsmSettings usm{};  // SNMPv3 only
    // Where every request goes, resolved once (by the read a move acts on): a host name is not
    // looked up again, so a changed name cannot turn a move's requests to another switch.
    // Without it, each request parses and resolves ipAddress itself.
    std::optional<DeviceAddress> pinnedAddress{};
};

}  // namespace tarnwick
