// Numbers read from texts, shared by the platform-free cores: the integer
// at the start of a text as C's "%i" conversion reads it, and a version
// text packed into one number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace common {

// What a number whose digits need more than 32 bits reads as.
enum class Overflow {
    Wrap,    // its value modulo 2^32, as the 32-bit runtime stores it
    Refuse,  // no number at all
};

struct ScannedInteger {
    std::uint32_t value = 0;  // modulo 2^32, sign applied, as the 32-bit runtime
    std::size_t length = 0;   // characters read: white space, sign and digits
};

// Leading white space, an optional sign, then "0x"/"0X" and hexadecimal
// digits, a leading 0 and octal digits, or decimal digits, stopping at the
// first character that does not fit. Nothing when no digit is there. A
// negative value wraps to 32 bits whatever `overflow` says.
inline std::optional<ScannedInteger> ScanInteger(std::string_view text, Overflow overflow) {
    const auto digitValue = [](char c, unsigned base) -> int {
        int value = -1;
        if (c >= '0' && c <= '9')
            value = c - '0';
        else if (c >= 'a' && c <= 'f')
            value = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            value = c - 'A' + 10;
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
    bool sawDigit = false, overflowed = false;
    for (; at < text.size(); ++at) {
        const int digit = digitValue(text[at], base);
        if (digit < 0) break;
        sawDigit = true;
        result.value = result.value * base + static_cast<std::uint32_t>(digit);
        if (!overflowed) {
            whole = whole * base + static_cast<std::uint64_t>(digit);
            overflowed = whole > 0xFFFFFFFFu;
        }
    }
    if (!sawDigit || (overflowed && overflow == Overflow::Refuse)) return std::nullopt;
    if (negative) result.value = 0u - result.value;
    result.length = at;
    return result;
}

// A version text such as "1.1.5" packed into 32 bits: split at each of the
// `separators` into at most four parts, each scanned as above (wrapping);
// the low byte of each number goes in from the top, and missing parts
// count as 0. A part that is no number (an empty one too) ends the
// reading. Split at "." alone, "1, 0, 0, 5" is 0x01000000; at ".," it is
// 0x01000005.
inline std::uint32_t PackedVersion(std::string_view text, std::string_view separators) {
    std::uint32_t packed = 0;
    int parts = 0;
    while (parts < 4) {
        const std::size_t separator = text.find_first_of(separators);
        const auto number = ScanInteger(text.substr(0, separator), Overflow::Wrap);
        if (!number) break;
        packed = (packed << 8) | (number->value & 0xFF);
        ++parts;
        if (separator == std::string_view::npos) break;
        text.remove_prefix(separator + 1);
    }
    for (; parts < 4; ++parts) packed <<= 8;
    return packed;
}

}  // namespace common
