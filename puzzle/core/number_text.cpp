#include "puzzle/core/number_text.h"

#include "common/core/scan_integer.h"

namespace puzzle {

std::optional<std::int32_t> ParseInteger(std::string_view text) {
    const auto scanned = common::ScanInteger(text);
    if (!scanned) return std::nullopt;
    return static_cast<std::int32_t>(scanned->value);
}

std::uint32_t VersionNumberFromText(std::string_view text) {
    std::uint32_t result = 0;
    int count = 0;
    std::size_t start = 0;
    while (count < 4) {
        const std::size_t dot = text.find('.', start);
        const std::string_view component =
            text.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        const auto value = ParseInteger(component);
        if (!value) break;
        result = (result << 8) | (static_cast<std::uint32_t>(*value) & 0xFF);
        ++count;
        if (dot == std::string_view::npos) break;
        start = dot + 1;
    }
    for (; count < 4; ++count) result <<= 8;
    return result;
}

}  // namespace puzzle
