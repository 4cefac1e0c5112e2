// A device's MAC address: the spellings a user may type it in, its one printed form, and its
// octets as the instance of a table indexed by it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

using Mac = std::array<std::uint8_t, 6>;

// Six octets as 02:00:5e:10:00:06, 02-00-5E-10-00-06, 0200.5e10.0006 or 02005e100006: hex digits
// of either case, two per octet, one kind of separator throughout. Nothing for any other text.
std::optional<Mac> ParseMac(std::string_view text);

// "02:00:5e:10:00:06": lower case, colons.
std::string MacText(const Mac& mac);

// The octets as decimal sub-identifiers, "2.0.94.16.0.6": a MacAddress index is a fixed-length
// OCTET STRING, so it carries no length sub-identifier.
std::string MacInstance(const Mac& mac);

}  // namespace tarnwick
