// The settings every SNMP request is built from, as last taken from the main window's fields.
#pragma once

#include <cstdint>
#include <string>

#include "snmp/snmp_version.h"

namespace tarnwick {

struct DeviceSettings {
    std::string ipAddress = "192.168.0.241";
    std::string readCommunity = "public";
    std::string writeCommunity = "private";
    // Milliseconds per attempt; the window accepts 1000 to 10000, lower layers take any value > 0.
    std::int32_t timeout = 1000;
    int deviceType = 0;  // display only: no command reads it
    // The window always speaks SNMPv1 with the communities; the CLI may choose.
    SnmpVersion version = SnmpVersion::V1;
    UsmSettings usm{};  // SNMPv3 only
};

}  // namespace tarnwick
