// The integer at the start of a text, read as C's "%i" conversion reads it:
// leading white space, an optional sign, then "0x"/"0X" and hexadecimal
// digits, a leading 0 and octal digits, or decimal digits, stopping at the
// first character that does not fit. Shared by the platform-free cores.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace common {

struct ScannedInteger {
    std::uint32_t value = 0;  // modulo 2^32, sign applied, as the 32-bit runtime
    bool overflowed = false;  // the digits did not fit in 32 bits
    std::size_t length = 0;   // characters read: white space, sign and digits
};

// Nothing when no digit is there.
inline std::optional<ScannedInteger> ScanInteger(std::string_view text) {
    const auto digitValue = [](char c, unsigned base) -> int {
        int value = -1;
        if (c >= '0' && c <= '9') value = c - '0';
        else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
        return value >= 0 && static_cast<unsigned>(value) < base ? value : -1;
    };
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r'))) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    unsigned base = 10;
    if (at < text.size() && text[at] == '0') {
        base = 8;  // a lone 0, or the 0 of "0x" without a hexadecimal digit, reads as octal 0
        if (at + 2 < text.size() && (text[at + 1] == 'x' || text[at + 1] == 'X') &&
            digitValue(text[at + 2], 16) >= 0) {
            base = 16;
            at += 2;
        }
    }
    ScannedInteger result;
    std::uint64_t whole = 0;
    bool sawDigit = false;
    for (; at < text.size(); ++at) {
        const int digit = digitValue(text[at], base);
        if (digit < 0) break;
        sawDigit = true;
        result.value = result.value * base + static_cast<std::uint32_t>(digit);
        if (!result.overflowed) {
            whole = whole * base + static_cast<std::uint64_t>(digit);
            result.overflowed = whole > 0xFFFFFFFFu;
        }
    }
    if (!sawDigit) return std::nullopt;
    if (negative) result.value = 0u - result.value;
    result.length = at;
    return result;
}

}  // namespace common
