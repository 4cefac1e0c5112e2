// Port bitmaps: from the printed value to the bitmap text and the member ports.
#include "vlan/port_bitmap.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace tarnwick {
namespace {

// Keeps every port number within an int, however long the value.
constexpr std::size_t kMaxOctets = INT_MAX / 8;

std::optional<int> HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return std::nullopt;
}

// Reads a pair as "%02X" would: the digits up to the first non-hex character.
std::uint8_t ParseOctet(char high, char low) {
    const std::optional<int> first = HexDigitValue(high);
    if (!first) {
        return 0;
    }
    const std::optional<int> second = HexDigitValue(low);
    if (!second) {
        return static_cast<std::uint8_t>(*first);
    }
    return static_cast<std::uint8_t>(*first * 16 + *second);
}

// The hex part of one printed row: the text before its first gap of two blanks, blanks removed.
void AppendRowHexDigits(std::string_view line, std::string& digits) {
    const std::size_t start = line.find_first_not_of(kWhiteSpace);
    if (start == std::string_view::npos) {
        return;
    }
    line.remove_prefix(start);
    const std::size_t gap = line.find("  ");
    if (gap == std::string_view::npos) {
        return;
    }
    for (const char c : line.substr(0, gap)) {
        if (c != ' ') {
            digits.push_back(c);
        }
    }
}

}  // namespace

BitPosition PortBitPosition(int port, BitOrder order) {
    if (port < 1) {
        return {0, 0};
    }
    const auto bit = static_cast<unsigned>(port - 1);
    const unsigned mask =
        order == BitOrder::LeastSignificantFirst ? 1U << (bit % 8) : 0x80U >> (bit % 8);
    return {bit / 8, static_cast<std::uint8_t>(mask)};
}

std::vector<int> PortsOfOctets(std::string_view octets, BitOrder order) {
    std::vector<int> ports;
    const std::size_t count = std::min(octets.size(), kMaxOctets);
    for (std::size_t k = 0; k < count; ++k) {
        const auto octet = static_cast<unsigned char>(octets[k]);
        for (int i = 1; i <= 8 && octet != 0; ++i) {
            const int port = static_cast<int>(k * 8) + i;
            if ((octet & PortBitPosition(port, order).mask) != 0) {
                ports.push_back(port);
            }
        }
    }
    return ports;
}

bool HasPortBit(std::string_view octets, int port, BitOrder order) {
    const BitPosition position = PortBitPosition(port, order);
    return position.octet < octets.size() &&
           (static_cast<unsigned char>(octets[position.octet]) & position.mask) != 0;
}

bool ReachesPorts(std::string_view octets, std::span<const int> ports, BitOrder order) {
    return std::all_of(ports.begin(), ports.end(), [&](int port) {
        return port >= 1 && PortBitPosition(port, order).octet < octets.size();
    });
}

bool SetPortBits(std::string& octets, std::span<const int> ports, bool member, BitOrder order) {
    if (!ReachesPorts(octets, ports, order)) {
        return false;
    }
    for (const int port : ports) {
        const BitPosition position = PortBitPosition(port, order);
        auto octet = static_cast<unsigned char>(octets[position.octet]);
        octet = member ? octet | position.mask : octet & ~position.mask;
        octets[position.octet] = static_cast<char>(octet);
    }
    return true;
}

std::string ExtractBitmapText(std::string_view rowValue) {
    std::string digits;
    while (!rowValue.empty()) {
        const std::size_t end = rowValue.find('\n');
        AppendRowHexDigits(rowValue.substr(0, end), digits);
        if (end == std::string_view::npos) {
            break;
        }
        rowValue.remove_prefix(end + 1);
    }
    return digits;
}

std::string BitmapOctets(std::string_view bitmapText) {
    const std::size_t count = std::min(bitmapText.size() / 2, kMaxOctets);
    std::string octets(count, '\0');
    for (std::size_t k = 0; k < count; ++k) {
        octets[k] = static_cast<char>(ParseOctet(bitmapText[2 * k], bitmapText[2 * k + 1]));
    }
    return octets;
}

std::string BitmapText(std::string_view octets) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(octets.size() * 2);
    for (const char c : octets) {
        const auto octet = static_cast<unsigned char>(c);
        text += kDigits[octet >> 4];
        text += kDigits[octet & 0x0F];
    }
    return text;
}

std::vector<int> DecodePortBitmap(std::string_view rowValue, BitOrder order) {
    return PortsOfOctets(BitmapOctets(ExtractBitmapText(rowValue)), order);
}

}  // namespace tarnwick
