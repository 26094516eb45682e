#include "puzzle/core/number_text.h"

namespace puzzle {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The value of `c` as a digit of `base`, or -1.
int DigitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9') value = c - '0';
    else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value < base ? value : -1;
}

}  // namespace

std::optional<std::int32_t> ParseInteger(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && IsSpace(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    int base = 10;
    bool sawDigit = false;
    if (at < text.size() && text[at] == '0') {
        // A lone "0", or the 0 of "0x" with no hexadecimal digit after it,
        // is the number 0.
        sawDigit = true;
        ++at;
        base = 8;
        if (at + 1 < text.size() && (text[at] == 'x' || text[at] == 'X') &&
            DigitValue(text[at + 1], 16) >= 0) {
            base = 16;
            ++at;
        }
    }
    std::uint32_t value = 0;
    for (; at < text.size(); ++at) {
        const int digit = DigitValue(text[at], base);
        if (digit < 0) break;
        value = value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
        sawDigit = true;
    }
    if (!sawDigit) return std::nullopt;
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
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
