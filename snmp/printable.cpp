// Printable forms of OIDs and octet strings: the texts the walk stores and the decoding reads.
#include "snmp/printable.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "snmp/decimal.h"

namespace tarnwick {
namespace {

constexpr std::size_t kOctetsPerRow = 16;

// Printable in the C locale, whatever locale the process runs in.
bool IsPrintableByte(unsigned char c) {
    return c >= 0x20 && c <= 0x7E;
}

unsigned char ByteAt(std::string_view text, std::size_t at) {
    return static_cast<unsigned char>(text[at]);
}

// A character below 0x80 that a name may hold: no control character but the line breaks and tab.
std::size_t AsciiLength(unsigned char c) {
    return IsPrintableByte(c) || c == '\t' || c == '\r' || c == '\n' ? 1 : 0;
}

// The length of the UTF-8 sequence at the front of the text, or 0 when it is malformed,
// overlong, a surrogate, above U+10FFFF or a C1 control character.
std::size_t Utf8CharLength(std::string_view text) {
    struct Lead {
        unsigned char mask, bits;
        std::size_t length;
        char32_t least;  // the smallest code point this length may carry
    };
    static constexpr Lead kLeads[] = {
        {0xE0, 0xC0, 2, 0x80}, {0xF0, 0xE0, 3, 0x800}, {0xF8, 0xF0, 4, 0x10000}};
    const unsigned char first = ByteAt(text, 0);
    if (first < 0x80) {
        return AsciiLength(first);
    }
    const auto* lead = std::find_if(std::begin(kLeads), std::end(kLeads),
                                    [first](const Lead& l) { return (first & l.mask) == l.bits; });
    if (lead == std::end(kLeads) || text.size() < lead->length) {
        return 0;
    }
    char32_t code = first & static_cast<unsigned char>(~lead->mask);
    for (std::size_t at = 1; at < lead->length; ++at) {
        const unsigned char next = ByteAt(text, at);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        code = code << 6 | (next & 0x3Fu);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    const bool c1Control = code >= 0x80 && code <= 0x9F;
    const bool valid = code >= lead->least && code <= 0x10FFFF && !surrogate && !c1Control;
    return valid ? lead->length : 0;
}

bool InRange(unsigned char c, unsigned char low, unsigned char high) {
    return c >= low && c <= high;
}

// The length of the GB18030 sequence at the front of the text, or 0 when it is malformed, not
// assigned to a code point, or a C1 control character.
std::size_t Gb18030CharLength(std::string_view text) {
    const unsigned char first = ByteAt(text, 0);
    if (first < 0x80) {
        return AsciiLength(first);
    }
    if (!InRange(first, 0x81, 0xFE) || text.size() < 2) {
        return 0;
    }
    const unsigned char second = ByteAt(text, 1);
    if (InRange(second, 0x40, 0x7E) || InRange(second, 0x80, 0xFE)) {
        return 2;
    }
    if (!InRange(second, 0x30, 0x39) || text.size() < 4) {
        return 0;
    }
    const unsigned char third = ByteAt(text, 2);
    const unsigned char fourth = ByteAt(text, 3);
    if (!InRange(third, 0x81, 0xFE) || !InRange(fourth, 0x30, 0x39)) {
        return 0;
    }
    // Four-byte codes count up from 81 30 81 30, which is U+0080: the first 32 are the C1
    // controls, the rest of the BMP ends at 84 31 A4 39, and the other planes run from
    // 90 30 81 30 (U+10000) to E3 32 9A 35 (U+10FFFF); the codes in between stand for nothing.
    const unsigned index =
        ((first - 0x81u) * 10 + (second - 0x30u)) * 1260 + (third - 0x81u) * 10 + (fourth - 0x30u);
    constexpr unsigned kC1Controls = 32, kBmpCodes = 39420, kFirstPlane1 = 189000;
    const bool assigned = (index >= kC1Controls && index < kBmpCodes) ||
                          (index >= kFirstPlane1 && index < kFirstPlane1 + 0x100000);
    return assigned ? 4 : 0;
}

// Every character of the text passes the scan.
bool ScansWhole(std::string_view text, std::size_t (*charLength)(std::string_view)) {
    while (!text.empty()) {
        const std::size_t length = charLength(text);
        if (length == 0) {
            return false;
        }
        text.remove_prefix(length);
    }
    return true;
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
        // Sub-identifiers are 32-bit on the wire.
        const auto value = ParseDecimal<std::uint32_t>(text.substr(0, dot));
        if (!value) {
            return std::nullopt;
        }
        subIds.push_back(*value);
        if (dot == std::string_view::npos) {
            return subIds;
        }
        text.remove_prefix(dot + 1);
    }
}

bool IsPrintableOctets(std::string_view octets) {
    // Plain ASCII text is both; the window decodes in the same order.
    return ScansWhole(octets, Utf8CharLength) || ScansWhole(octets, Gb18030CharLength);
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
