// Numbers read from texts: the saver's default difficulty from its string
// table, and a library's file version from its "FileVersion" string.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace puzzle {

// The integer at the start of `text`, read as C's "%i" conversion reads
// it: leading white space, an optional sign, then "0x" or "0X" and
// hexadecimal digits, a leading 0 and octal digits, or decimal digits. It
// stops at the first character that does not fit. Nothing when no digit
// is there. Values wrap modulo 2^32, as in the 32-bit runtime.
std::optional<std::int32_t> ParseInteger(std::string_view text);

// A version text such as "1.1.5" as one number: up to four dot-separated
// components, the low 8 bits of each forming one byte, the first component
// in the top byte; missing components give 0 bytes. Reading stops at the
// first component that is not a number.
std::uint32_t VersionNumberFromText(std::string_view text);

}  // namespace puzzle
