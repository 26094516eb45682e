// A file's version as one number, and whether an installed copy is kept.
#pragma once

#include <cstdint>
#include <string_view>

namespace setup {

// The "FileVersion" text of a version record packed into 32 bits: the text
// is split at each '.' or ',' into at most four parts, each read as C's
// "%i" reads it; the low byte of each number goes in from the top, and
// missing parts count as 0. A part that is no number (an empty one too)
// ends the reading: "1, 0, 0, 5" is 0x01000005, "1..2" is 0x01000000.
std::uint32_t PackedFileVersion(std::string_view text);

enum class UpgradeDecision { Keep, Ask };

// An installed copy as new as the carried one, or newer, is kept without a
// question; an older one, or two copies of which neither has a readable
// version (both 0), make the installer ask. Versions compare unsigned.
UpgradeDecision DecideUpgrade(std::uint32_t installed, std::uint32_t carried);

}  // namespace setup
