// Printable forms of OIDs and octet strings: the texts the walk stores and the decoding reads.
#include "printable.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace tarnwick {
namespace {

constexpr std::size_t kOctetsPerRow = 16;

// Printable in the C locale, whatever locale the process runs in.
bool IsPrintableByte(unsigned char c) {
    return c >= 0x20 && c <= 0x7E;
}

void AppendHexRow(std::string& out, std::string_view row) {
    out += "  ";
    for (const char c : row) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X ", static_cast<unsigned char>(c));
        out += hex;
    }
    out.append((kOctetsPerRow - row.size()) * 3, ' ');
    out += "   ";
    for (const char c : row) {
        out += IsPrintableByte(static_cast<unsigned char>(c)) ? c : '.';
    }
    out += '\n';
}

}  // namespace

std::string PrintableOid(std::span<const std::uint64_t> subIds) {
    std::string text;
    for (const auto subId : subIds) {
        if (!text.empty()) {
            text += '.';
        }
        text += std::to_string(subId);
    }
    return text;
}

std::optional<std::vector<std::uint64_t>> ParseOid(std::string_view text) {
    if (!text.empty() && text.front() == '.') {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::vector<std::uint64_t> subIds;
    while (true) {
        const auto dot = text.find('.');
        const auto part = text.substr(0, dot);
        // Sub-identifiers are 32-bit on the wire.
        std::uint32_t value = 0;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (part.empty() || error != std::errc{} || end != part.data() + part.size()) {
            return std::nullopt;
        }
        subIds.push_back(value);
        if (dot == std::string_view::npos) {
            return subIds;
        }
        text.remove_prefix(dot + 1);
    }
}

bool IsPrintableOctets(std::string_view octets) {
    return std::all_of(octets.begin(), octets.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return IsPrintableByte(byte) || byte == '\r' || byte == '\n';
    });
}

std::string HexDump(std::string_view octets) {
    std::string out;
    out.reserve((octets.size() / kOctetsPerRow + 1) * (2 + kOctetsPerRow * 4 + 4));
    for (std::size_t at = 0; at < octets.size(); at += kOctetsPerRow) {
        AppendHexRow(out, octets.substr(at, kOctetsPerRow));
    }
    return out;
}

std::string PrintableOctets(std::string_view octets) {
    return IsPrintableOctets(octets) ? std::string(octets) : HexDump(octets);
}

}  // namespace tarnwick
