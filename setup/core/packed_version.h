// Whether an installed copy is kept, by the versions of the two copies
// packed as common::PackedVersion packs them.
#pragma once

#include <cstdint>

namespace setup {

enum class UpgradeDecision { Keep, Ask };

// An installed copy as new as the carried one, or newer, is kept without a
// question; an older one, or two copies of which neither has a readable
// version (both 0), make the installer ask. Versions compare unsigned.
UpgradeDecision DecideUpgrade(std::uint32_t installed, std::uint32_t carried);

}  // namespace setup
