// Parsing of the device address field into a Net-SNMP peer name; malformed text gives nothing.
// A host name is resolved once where a caller pins its switch.
#include "snmp/device_address.h"

#include <arpa/inet.h>
#include <netdb.h>

#include <algorithm>
#include <array>
#include <memory>

#include "snmp/decimal.h"

namespace tarnwick {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A port of at most five digits.
std::optional<std::uint16_t> ParsePort(std::string_view text) {
    return text.size() > 5 ? std::nullopt : ParseDecimal<std::uint16_t>(text, 1, 65535);
}

// Exactly four decimal parts 0..255, printed back in plain decimal (no octal reading of "010").
std::optional<std::string> CanonicalIpv4(std::string_view text) {
    std::string result;
    for (int part = 0; part < 4; ++part) {
        const auto dot = text.find('.');
        const bool last = part == 3;
        if (last != (dot == std::string_view::npos)) {
            return std::nullopt;
        }
        const auto digits = text.substr(0, dot);
        const auto value =
            digits.size() > 3 ? std::nullopt : ParseDecimal<unsigned>(digits, 0, 255);
        if (!value) {
            return std::nullopt;
        }
        result += std::to_string(*value);
        if (!last) {
            result += '.';
            text.remove_prefix(dot + 1);
        }
    }
    return result;
}

bool IsHostLabel(std::string_view label) {
    if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-') {
        return false;
    }
    return std::all_of(label.begin(), label.end(),
                       [](char c) { return IsLetter(c) || IsDigit(c) || c == '-'; });
}

// RFC 1123 host name: dot-separated labels of letters, digits and inner hyphens.
bool IsHostName(std::string_view text) {
    if (text.empty() || text.size() > 253) {
        return false;
    }
    while (true) {
        const auto dot = text.find('.');
        if (!IsHostLabel(text.substr(0, dot))) {
            return false;
        }
        if (dot == std::string_view::npos) {
            return true;
        }
        text.remove_prefix(dot + 1);
    }
}

bool IsAllNumeric(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return IsDigit(c) || c == '.'; });
}

std::string PeerName(std::string_view transport, std::string_view host, std::uint16_t port) {
    return std::string(transport) + ":" + std::string(host) + ":" + std::to_string(port);
}

// "[v6]" or "[v6]:port".
std::optional<DeviceAddress> ParseBracketed(std::string_view text) {
    const auto close = text.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string host(text.substr(1, close - 1));
    std::array<unsigned char, 16> bytes{};
    if (inet_pton(AF_INET6, host.c_str(), bytes.data()) != 1) {
        return std::nullopt;
    }
    std::uint16_t port = kDefaultSnmpPort;
    const auto rest = text.substr(close + 1);
    if (!rest.empty()) {
        const auto parsed = rest.front() == ':' ? ParsePort(rest.substr(1)) : std::nullopt;
        if (!parsed) {
            return std::nullopt;
        }
        port = *parsed;
    }
    return DeviceAddress{PeerName("udp6", "[" + host + "]", port), {}, port};
}

// "host", "host:port", "a.b.c.d" or "a.b.c.d:port".
std::optional<DeviceAddress> ParseHostAndPort(std::string_view text) {
    std::uint16_t port = kDefaultSnmpPort;
    const auto colon = text.find(':');
    if (colon != std::string_view::npos) {
        const auto parsed = ParsePort(text.substr(colon + 1));
        if (!parsed) {
            return std::nullopt;
        }
        port = *parsed;
        text = text.substr(0, colon);
    }
    if (IsAllNumeric(text)) {
        const auto ipv4 = CanonicalIpv4(text);
        if (!ipv4) {
            return std::nullopt;
        }
        return DeviceAddress{PeerName("udp", *ipv4, port), {}, port};
    }
    if (!IsHostName(text)) {
        return std::nullopt;
    }
    return DeviceAddress{PeerName("udp", text, port), std::string(text), port};
}

struct AddrInfoFreer {
    void operator()(addrinfo* info) const { freeaddrinfo(info); }
};

}  // namespace

std::optional<DeviceAddress> ResolveDeviceAddress(std::string_view text) {
    auto address = ParseDeviceAddress(text);
    if (!address || address->hostName.empty()) {
        return address;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(address->hostName.c_str(), nullptr, &hints, &found) != 0) {
        return std::nullopt;
    }
    const std::unique_ptr<addrinfo, AddrInfoFreer> owned(found);
    char ipv4[INET_ADDRSTRLEN] = {};
    const auto* in = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    if (inet_ntop(AF_INET, &in->sin_addr, ipv4, sizeof ipv4) == nullptr) {
        return std::nullopt;
    }
    return DeviceAddress{PeerName("udp", ipv4, address->port), {}, address->port};
}

std::optional<DeviceAddress> ParseDeviceAddress(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    if (text.front() == '[') {
        return ParseBracketed(text);
    }
    return ParseHostAndPort(text);
}

std::optional<DeviceAddress> ParseResolvedPeerName(std::string_view peerName) {
    const auto colon = peerName.find(':');
    const auto transport = peerName.substr(0, colon);
    if (colon == std::string_view::npos || (transport != "udp" && transport != "udp6")) {
        return std::nullopt;
    }
    auto address = ParseDeviceAddress(peerName.substr(colon + 1));
    if (!address || !address->hostName.empty() || address->peerName != peerName) {
        return std::nullopt;
    }
    return address;
}

}  // namespace tarnwick
