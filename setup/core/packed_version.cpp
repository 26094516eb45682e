#include "setup/core/packed_version.h"

namespace setup {

UpgradeDecision DecideUpgrade(std::uint32_t installed, std::uint32_t carried) {
    const bool neitherReadable = installed == 0 && carried == 0;
    return installed >= carried && !neitherReadable ? UpgradeDecision::Keep : UpgradeDecision::Ask;
}

}  // namespace setup
