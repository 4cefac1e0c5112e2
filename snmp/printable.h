// Printable forms of OIDs and values, as the walk stores them and the bitmap decoding reads them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// Dotted decimal, no leading dot.
std::string PrintableOid(std::span<const std::uint64_t> subIds);
// Parses dotted decimal (a leading dot is accepted); nothing for malformed text.
std::optional<std::vector<std::uint64_t>> ParseOid(std::string_view text);

// Text a name can be shown as: the whole value is valid UTF-8 or valid GB18030 (plain ASCII is
// both), with no control character other than CR, LF and tab. A NUL makes it binary.
bool IsPrintableOctets(std::string_view octets);
// Rows of "  " + up to 16 "%02X " + padding to 16 + "   " + characters ('.' if not printable)
// + "\n".
std::string HexDump(std::string_view octets);
// The octets themselves when IsPrintableOctets, else HexDump.
std::string PrintableOctets(std::string_view octets);

}  // namespace tarnwick
