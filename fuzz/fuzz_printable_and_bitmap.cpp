// libFuzzer target: printable forms, bitmap decoding and the instance lookups on any input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "snmp/printable.h"
#include "vlan/indexed_lookup.h"
#include "vlan/port_bitmap.h"
#include "vlan/vendor_mib.h"

namespace tarnwick {
namespace {

void Check(bool condition, const char* what) {
    if (condition) {
        return;
    }
    std::fprintf(stderr, "check failed: %s\n", what);
    std::abort();
}

std::optional<unsigned> HexValue(char c) {
    const std::string_view digits = "0123456789abcdef";
    const std::size_t upper = std::string_view("0123456789ABCDEF").find(c);
    if (upper != std::string_view::npos) {
        return static_cast<unsigned>(upper);
    }
    const std::size_t lower = digits.find(c);
    if (lower != std::string_view::npos) {
        return static_cast<unsigned>(lower);
    }
    return std::nullopt;
}

// Octet k of a bitmap text, read as "%02X" reads a pair.
unsigned OctetOf(const std::string& text, std::size_t k) {
    const std::optional<unsigned> high = HexValue(text[2 * k]);
    if (!high) {
        return 0;
    }
    const std::optional<unsigned> low = HexValue(text[2 * k + 1]);
    return low ? *high * 16 + *low : *high;
}

std::string UpperHex(std::string_view octets) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const char c : octets) {
        const auto byte = static_cast<unsigned char>(c);
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0F]);
    }
    return text;
}

// The input as octets: its dump must give back exactly its hex digits and its set bits.
void CheckOctets(std::string_view octets) {
    const std::string dump = HexDump(octets);
    Check(ExtractBitmapText(dump) == UpperHex(octets), "hex dump reads back as its octets");
    std::vector<int> expected;
    for (std::size_t k = 0; k < octets.size(); ++k) {
        for (unsigned i = 0; i < 8; ++i) {
            if ((static_cast<unsigned char>(octets[k]) & (1U << i)) != 0) {
                expected.push_back(static_cast<int>(k * 8 + i + 1));
            }
        }
    }
    Check(DecodePortBitmap(dump, kVlanPortsBitOrder) == expected,
          "hex dump decodes to the set bits");
    const std::string printable = PrintableOctets(octets);
    Check(printable == (IsPrintableOctets(octets) ? std::string(octets) : dump),
          "printable form is the octets or their dump");
}

// The input as a printed value: ports ascending, each on a set bit, none missing.
void CheckDecoding(std::string_view rowValue) {
    const std::string text = ExtractBitmapText(rowValue);
    Check(text.find(' ') == std::string::npos, "bitmap text holds no blank");
    const std::vector<int> ports = DecodePortBitmap(rowValue, kVlanPortsBitOrder);
    std::size_t setBits = 0;
    for (std::size_t k = 0; k < text.size() / 2; ++k) {
        for (unsigned v = OctetOf(text, k); v != 0; v &= v - 1) {
            ++setBits;
        }
    }
    Check(ports.size() == setBits, "one port per set bit");
    for (std::size_t i = 0; i < ports.size(); ++i) {
        Check(i == 0 || ports[i - 1] < ports[i], "ports strictly ascending");
        const BitPosition position = PortBitPosition(ports[i], kVlanPortsBitOrder);
        Check(position.octet < text.size() / 2, "port within the bitmap");
        Check((OctetOf(text, position.octet) & position.mask) != 0, "port's bit is set");
    }
}

void CheckOid(std::string_view text) {
    const std::optional<std::vector<std::uint64_t>> oid = ParseOid(text);
    if (!oid) {
        return;
    }
    const std::string printed = PrintableOid(*oid);
    Check(printed.find('-') == std::string::npos, "printed OID holds no dash");
    Check(ParseOid(printed) == oid, "printed OID parses back");
}

// The input as a table, one row per line; every suffix after a "." is tried as an index.
void CheckLookups(std::string_view text) {
    WalkTable table;
    std::size_t start = 0;
    while (start <= text.size() && table.size() < 64) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        table.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    const IndexedRows indexed(table);
    std::vector<std::string_view> indexes = {"", " ", "1", "1.1"};
    for (const std::string& row : table) {
        const std::string_view oid = std::string_view(row).substr(0, row.find('-'));
        for (std::size_t dot = oid.find('.'); dot != std::string_view::npos;
             dot = oid.find('.', dot + 1)) {
            indexes.push_back(oid.substr(dot + 1));
        }
        indexes.push_back(row);
    }
    for (const std::string_view index : indexes) {
        Check(indexed.Find(index) == FindIndexedValue(table, index),
              "indexed lookup answers as the scan");
    }
}

}  // namespace
}  // namespace tarnwick

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    tarnwick::CheckOctets(input);
    tarnwick::CheckDecoding(input);
    tarnwick::CheckOid(input);
    tarnwick::CheckLookups(input);
    return 0;
}
