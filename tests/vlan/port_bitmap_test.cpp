// Port bitmaps: the printed value to bitmap text and member ports, and the port-to-bit rule.
#include "vlan/port_bitmap.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "snmp/printable.h"
#include "vlan/vendor_mib.h"

namespace tarnwick {
namespace {

std::vector<int> PortRange(int first, int last) {
    std::vector<int> ports;
    for (int p = first; p <= last; ++p) {
        ports.push_back(p);
    }
    return ports;
}

std::string Octets(std::initializer_list<unsigned char> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// 20 octets, so the dump takes two rows: port 1 in the first, ports 129 and 160 in the second.
std::string TwentyOctets() {
    std::string octets(20, '\0');
    octets[0] = '\x01';
    octets[16] = '\x01';
    octets[19] = '\x80';
    return octets;
}

struct DecodeCase {
    const char* name;
    std::string rowValue;
    std::string bitmapText;
    std::vector<int> ports;
    friend void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }
};

class DecodePortBitmapCases : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodePortBitmapCases, GivesTheBitmapTextAndPorts) {
    const DecodeCase& c = GetParam();
    EXPECT_EQ(ExtractBitmapText(c.rowValue), c.bitmapText);
    EXPECT_EQ(DecodePortBitmap(c.rowValue, kVlanPortsBitOrder), c.ports);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DecodePortBitmapCases,
    ::testing::Values(
        DecodeCase{"GapThenRendering", "01 80 00   ...", "018000", {1, 16}},
        DecodeCase{"HexDumpRow", HexDump(Octets({0x01, 0x80, 0x00})), "018000", {1, 16}},
        DecodeCase{"LeadingWhiteSpace", "  FF 00  ..", "FF00", PortRange(1, 8)},
        DecodeCase{"LeadingTabsAndNewLines", "\t\r\n\v\f  FF  .", "FF", PortRange(1, 8)},
        DecodeCase{"LowerCase", "0a  ", "0a", {2, 4}}, DecodeCase{"NoGap", "0F", "", {}},
        DecodeCase{"SingleBlankIsNoGap", "0F ", "", {}}, DecodeCase{"Empty", "", "", {}},
        DecodeCase{"OnlyWhiteSpace", " \t\n  \n", "", {}},
        DecodeCase{"OddLengthIgnoresLastDigit", "010  ", "010", {1}},
        DecodeCase{"PairStartingWithNonHexIsZero", "G1 01  ", "G101", {9}},
        DecodeCase{"HexThenNonHexIsThatDigit", "F.  ", "F.", {1, 2, 3, 4}},
        DecodeCase{"TabIsNoSeparator", "0\t1  ", "0\t1", {}},
        DecodeCase{"EveryRowIsRead", "  01 00  ..\n  00 80  ..\n", "01000080", {1, 32}},
        DecodeCase{"RowWithoutGapAddsNothing", "  01  .\nFF\n  02  .", "0102", {1, 10}},
        DecodeCase{"CarriageReturnLineEnds", "  01  .\r\n  02  .\r\n", "0102", {1, 10}},
        DecodeCase{"MultiRowHexDump",
                   HexDump(TwentyOctets()),
                   "01000000000000000000000000000000"
                   "01000080",
                   {1, 129, 160}},
        DecodeCase{"PrintableBytesStillDumped", HexDump("\x40\x20"), "4020", {7, 14}}),
    [](const auto& c) { return std::string(c.param.name); });

struct PositionCase {
    int port;
    std::size_t octet;
    std::uint8_t mask;
    friend void PrintTo(const PositionCase& c, std::ostream* os) { *os << "port " << c.port; }
};

class PortBitPositions : public ::testing::TestWithParam<PositionCase> {};

TEST_P(PortBitPositions, FollowTheLeastSignificantBitFirstRule) {
    const PositionCase& c = GetParam();
    const BitPosition position = PortBitPosition(c.port, kVlanPortsBitOrder);
    EXPECT_EQ(position.octet, c.octet);
    EXPECT_EQ(position.mask, c.mask);

    std::string octets(c.octet + 1, '\0');
    octets[c.octet] = static_cast<char>(c.mask);
    EXPECT_EQ(DecodePortBitmap(HexDump(octets), kVlanPortsBitOrder), std::vector<int>{c.port});
}

INSTANTIATE_TEST_SUITE_P(Ports, PortBitPositions,
                         ::testing::Values(PositionCase{1, 0, 0x01}, PositionCase{8, 0, 0x80},
                                           PositionCase{9, 1, 0x01}, PositionCase{16, 1, 0x80},
                                           PositionCase{12, 1, 0x08}, PositionCase{4088, 510, 0x80},
                                           PositionCase{4089, 511, 0x01},
                                           PositionCase{4096, 511, 0x80},
                                           PositionCase{4097, 512, 0x01},
                                           PositionCase{4200, 524, 0x80}),
                         [](const auto& c) { return std::to_string(c.param.port); });

TEST(PortBitmap, ReadsABitmapOfAnyLengthWhole) {
    const std::string octets(600, '\xFF');
    EXPECT_EQ(ExtractBitmapText(HexDump(octets)).size(), 1200U);
    EXPECT_EQ(DecodePortBitmap(HexDump(octets), kVlanPortsBitOrder), PortRange(1, 4800));
}

// Each row: ports, and the octets each order gives them (as hex text), which mirror each other.
TEST(BitOrders, EncodeAndDecodeEachOrderAndMirrorEachOtherWithinAnOctet) {
    const std::string zeros(1018, '0');  // octets 1 to 509
    const struct {
        std::vector<int> ports;
        std::string leastFirst, mostFirst;
    } rows[] = {{{1}, "01", "80"},
                {{8}, "80", "01"},
                {{9}, "0001", "0080"},
                {{16}, "0080", "0001"},
                {{1, 2, 3, 8}, "87", "E1"},
                {{1, 4090, 4096}, "01" + zeros + "0082", "80" + zeros + "0041"}};
    for (const auto& row : rows) {
        for (const auto& [order, text] :
             {std::pair{BitOrder::LeastSignificantFirst, row.leastFirst},
              std::pair{BitOrder::MostSignificantFirst, row.mostFirst}}) {
            std::string octets(text.size() / 2, '\0');
            ASSERT_TRUE(SetPortBits(octets, row.ports, true, order));
            EXPECT_EQ(BitmapText(octets), text);
            EXPECT_EQ(PortsOfOctets(octets, order), row.ports);
            // A port past the bitmap changes nothing; clearing one port keeps every other bit.
            const int past = static_cast<int>(octets.size()) * 8 + 1;
            EXPECT_FALSE(SetPortBits(octets, std::array{row.ports.back(), past}, false, order));
            ASSERT_TRUE(SetPortBits(octets, std::array{row.ports[0]}, false, order));
            EXPECT_EQ(PortsOfOctets(octets, order),
                      std::vector(row.ports.begin() + 1, row.ports.end()));
        }
    }
}

}  // namespace
}  // namespace tarnwick
