// The kit's version text and its copy into a caller's buffer.
#pragma once

namespace kit {

// The kit's version text, "1.5s".
inline constexpr char kVersionText[] = "1.5s";

// Copies the version text into the buffer as lstrcpynA does (at most
// capacity - 1 characters and a terminator; nothing when the capacity is
// below 1) and returns the version text's full length. With no buffer it
// returns the length alone.
int CopyVersionText(char* buffer, int capacity);

}  // namespace kit
