// Printable OIDs and octet strings: the exact texts that the bitmap decoding and row lookups read.
#include "snmp/printable.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using namespace std::string_literals;

std::string Repeat(std::string_view text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

TEST(PrintableOid, DottedWithoutLeadingDot) {
    const std::vector<std::uint64_t> subIds{1, 3, 6, 1, 4294967295u};
    EXPECT_EQ(PrintableOid(subIds), "1.3.6.1.4294967295");
    EXPECT_EQ(PrintableOid({}), "");
}

TEST(ParseOid, AcceptsDottedDecimal) {
    struct Case {
        const char* name;
        std::string_view text;
        std::vector<std::uint64_t> expected;
    };
    const Case cases[] = {
        {"plain", "1.3.6.1.2.1.2.2.1.1", {1, 3, 6, 1, 2, 1, 2, 2, 1, 1}},
        {"leading dot", ".1.3.6", {1, 3, 6}},
        {"single", "0", {0}},
        {"largest 32-bit", "1.4294967295", {1, 4294967295u}},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseOid(c.text);
        ASSERT_TRUE(parsed.has_value()) << c.name;
        EXPECT_EQ(*parsed, c.expected) << c.name;
    }
}

TEST(ParseOid, RefusesMalformedText) {
    for (const std::string_view text : {"", ".", "1..3", "1.3.", "..1", "1.a", "1.-3", "1.+3",
                                        " 1.3", "1.3 ", "1.4294967296", "1.99999999999999999999"}) {
        EXPECT_FALSE(ParseOid(text).has_value()) << '"' << text << '"';
    }
}

TEST(IsPrintableOctets, TextInAsciiUtf8OrGb18030) {
    struct Case {
        const char* name;
        std::string octets;
        bool printable;
    };
    const Case cases[] = {
        {"empty", "", true},
        {"ASCII with dash", "lab-net", true},
        {"space to tilde", " ~", true},
        {"CR LF and tab", "a\r\n\tb", true},
        {"embedded NUL", "ab\0c"s, false},
        {"escape", "a\x1B", false},
        {"DEL", "\x7F", false},
        {"UTF-8", "\xE5\x8A\x9E\xE5\x85\xAC\xE7\xBD\x91", true},
        {"GBK", "\xD3\xEF\xD2\xF4", true},
        {"GB18030 four bytes", "\x81\x30\x84\x32\x90\x30\x81\x30", true},
        {"ASCII and UTF-8", "VLAN-\xE5\x8A\x9E", true},
        {"UTF-8 then GBK", "\xE5\x8A\x9E\xD3\xEF\xD2\xF4", false},
        {"binary", "\xFF\x00\x01"s, false},
        {"lone lead byte", "ab\xE5", false},
        {"GB18030 cut short", "\x81\x30\x81", false},
        // Each is invalid in the other encoding too, so only its own check can refuse it.
        {"UTF-8 C1 control", "\xC2\x85\xE4\xB8\xAD", false},
        {"UTF-8 overlong", "\xE0\x80\xAF", false},
        {"UTF-8 surrogate", "\xED\xA0\x80", false},
        {"UTF-8 above U+10FFFF", "\xF4\x90\x80\x80", false},
        {"GB18030 C1 control", "\x81\x30\x81\x30", false},
        {"GB18030 between the BMP and the planes", "\x84\x31\xA5\x30", false},
        {"GB18030 above U+10FFFF", "\xE3\x32\x9A\x36", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsPrintableOctets(c.octets), c.printable) << c.name;
    }
}

TEST(HexDump, RowLayout) {
    struct Case {
        const char* name;
        std::string octets;
        std::string dump;
    };
    const std::string fullRowHex = "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F ";
    const Case cases[] = {
        {"empty", "", ""},
        {"three octets", "\x01\x80\x00"s, "  01 80 00 " + std::string(39, ' ') + "   ...\n"},
        {"printable bytes", "@  ", "  40 20 20 " + std::string(39, ' ') + "   @  \n"},
        {"full row",
         std::string("\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F", 16),
         "  " + fullRowHex + "   ................\n"},
        {"second row", std::string(16, 'A') + "\xFF",
         "  " + Repeat("41 ", 16) + "   " + std::string(16, 'A') + "\n" + "  FF " +
             std::string(45, ' ') + "   .\n"},
        {"CR and LF shown as dots", "\r\n", "  0D 0A " + std::string(42, ' ') + "   ..\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HexDump(c.octets), c.dump) << c.name;
    }
}

TEST(PrintableOctets, TextWhenPrintableElseDump) {
    EXPECT_EQ(PrintableOctets("GigabitEthernet0/0/1"), "GigabitEthernet0/0/1");
    EXPECT_EQ(PrintableOctets("line\r\n"), "line\r\n");
    EXPECT_EQ(PrintableOctets("\xFF"), "  FF " + std::string(45, ' ') + "   .\n");
}

}  // namespace
}  // namespace tarnwick
