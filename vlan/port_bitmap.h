// Port bitmaps: from the printed value to the bitmap text and the member ports.
// One bit per port, octet 0 holding ports 1 to 8. The vendor's VlanPorts count an octet's ports
// from its least significant bit; the standard PortList (Q-BRIDGE-MIB) from its most significant.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// The white space a printed value's rows are trimmed of: C's isspace set.
inline constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";

// The last port a walked bitmap can hold: the value arrives whole in one UDP datagram, so it
// has fewer than 65536 octets. The decoding itself reads bitmaps of any length.
inline constexpr int kLastPort = 65535 * 8;

struct BitPosition {
    std::size_t octet;
    std::uint8_t mask;
};

// Which bit of its octet holds an octet's first port.
enum class BitOrder {
    LeastSignificantFirst,  // VlanPorts: 0x01 is port 1, 0x80 port 8
    MostSignificantFirst,   // PortList: 0x80 is port 1, 0x01 port 8
};

// Port p (from 1) is octet (p - 1) / 8 under the mask 1 << (p - 1) % 8 (least significant bit
// first) or 0x80 >> (p - 1) % 8 (most significant bit first). No bit ({0, 0}) below port 1.
BitPosition PortBitPosition(int port, BitOrder order);

// Whether the port's bit is set; false for a port outside the octets.
bool HasPortBit(std::string_view octets, int port, BitOrder order);
// Whether every port's octet lies within them.
bool ReachesPorts(std::string_view octets, std::span<const int> ports, BitOrder order);
// The ports whose bits are set in the octets, ascending.
std::vector<int> PortsOfOctets(std::string_view octets, BitOrder order);
// Sets or clears each port's bit and keeps every other bit as it was. False, and the octets
// unchanged, when a port lies outside them: a bitmap keeps the length the switch gave it.
bool SetPortBits(std::string& octets, std::span<const int> ports, bool member, BitOrder order);

// The hex digits of every row of a printed value, run together: two per octet, octet 0 first.
std::string ExtractBitmapText(std::string_view rowValue);

// Octets of a bitmap text: each pair read as "%02X" reads it, a last odd digit ignored.
std::string BitmapOctets(std::string_view bitmapText);
// Two upper-case hex digits per octet, octet 0 first.
std::string BitmapText(std::string_view octets);

// Member ports of a printed bitmap value, ascending: a VlanPorts value, or with
// kPortListBitOrder a PortList.
std::vector<int> DecodePortBitmap(std::string_view rowValue, BitOrder order);

}  // namespace tarnwick
