// VlanPorts bitmaps: from the printed value to the bitmap text and the member ports.
// One bit per port, least significant bit first: bit i of octet k is port k * 8 + i + 1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// The last port a walked bitmap can hold: the value arrives whole in one UDP datagram, so it
// has fewer than 65536 octets. The decoding itself reads bitmaps of any length.
inline constexpr int kLastPort = 65535 * 8;

struct BitPosition {
    std::size_t octet;
    std::uint8_t mask;
};

// Port p (from 1) is octet (p - 1) / 8 under the mask 1 << (p - 1) % 8.
BitPosition PortBitPosition(int port);

// The hex digits of every row of a printed value, run together: two per octet, octet 0 first.
std::string ExtractBitmapText(std::string_view rowValue);

// Octets of a bitmap text: each pair read as "%02X" reads it, a last odd digit ignored.
std::string BitmapOctets(std::string_view bitmapText);
// Two upper-case hex digits per octet, octet 0 first.
std::string BitmapText(std::string_view octets);

// Member ports of a printed value, ascending.
std::vector<int> DecodePortBitmap(std::string_view rowValue);

}  // namespace tarnwick
