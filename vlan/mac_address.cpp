// A MAC address from what a user types, and its printed and instance forms.
#include "vlan/mac_address.h"

#include <charconv>
#include <cstdio>
#include <vector>

#include "snmp/printable.h"

namespace tarnwick {
namespace {

// One way of writing the address: its length, and a separator after every `groupDigits` digits.
struct Spelling {
    std::size_t length;
    char separator;
    std::size_t groupDigits;
};

constexpr Spelling kSpellings[] = {
    {17, ':', 2},   // 02:00:5e:10:00:06
    {17, '-', 2},   // 02-00-5E-10-00-06
    {14, '.', 4},   // 0200.5e10.0006
    {12, '\0', 12}  // 02005e100006
};

// The text's characters between the separators, when every separator stands where the spelling
// puts one; nothing else is checked here.
std::optional<std::string> DigitsOf(std::string_view text, const Spelling& spelling) {
    if (text.size() != spelling.length) {
        return std::nullopt;
    }
    std::string digits;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const bool separatorPlace = (at + 1) % (spelling.groupDigits + 1) == 0;
        if (separatorPlace != (text[at] == spelling.separator)) {
            return std::nullopt;
        }
        if (!separatorPlace) {
            digits.push_back(text[at]);
        }
    }
    return digits;
}

// Twelve hex digits, two per octet.
std::optional<Mac> OctetsOf(std::string_view digits) {
    Mac mac{};
    for (std::size_t i = 0; i < mac.size(); ++i) {
        const char* first = digits.data() + 2 * i;
        const auto [end, error] = std::from_chars(first, first + 2, mac[i], 16);
        if (error != std::errc{} || end != first + 2) {
            return std::nullopt;
        }
    }
    return mac;
}

}  // namespace

std::optional<Mac> ParseMac(std::string_view text) {
    for (const Spelling& spelling : kSpellings) {
        if (const std::optional<std::string> digits = DigitsOf(text, spelling)) {
            return OctetsOf(*digits);
        }
    }
    return std::nullopt;
}

std::string MacText(const Mac& mac) {
    char text[18];
    std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", mac[0], mac[1], mac[2],
                  mac[3], mac[4], mac[5]);
    return text;
}

std::string MacInstance(const Mac& mac) {
    const std::vector<std::uint64_t> subIds(mac.begin(), mac.end());
    return PrintableOid(subIds);
}

}  // namespace tarnwick
