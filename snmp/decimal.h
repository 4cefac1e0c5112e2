// The one strict reading of a decimal number: every parser of numbers uses it.
#pragma once

#include <charconv>
#include <concepts>
#include <limits>
#include <optional>
#include <string_view>

namespace tarnwick {

// The whole text is one decimal number that fits T, within [low, high]: digits, for a signed T
// after an optional "-"; no blanks, no "+".
template <std::integral T>
std::optional<T> ParseDecimal(std::string_view text, T low = std::numeric_limits<T>::min(),
                              T high = std::numeric_limits<T>::max()) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < low ||
        value > high) {
        return std::nullopt;
    }
    return value;
}

}  // namespace tarnwick
