// The one strict reading of a decimal number in a text: every parser of numbers uses it.
#pragma once

#include <charconv>
#include <concepts>
#include <optional>
#include <string_view>

namespace tarnwick {

// The whole text is one decimal number of type T: digits, and for a signed T an optional "-"
// before them. No blanks, no "+", no other base; nothing when it does not fit T.
template <std::integral T>
std::optional<T> ParseDecimal(std::string_view text) {
    T value{};
    const char* const last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, value);
    if (text.empty() || error != std::errc{} || end != last) {
        return std::nullopt;
    }
    return value;
}

// The same, and within [low, high].
template <std::integral T>
std::optional<T> ParseDecimal(std::string_view text, T low, T high) {
    const std::optional<T> value = ParseDecimal<T>(text);
    return value && *value >= low && *value <= high ? value : std::nullopt;
}

}  // namespace tarnwick
