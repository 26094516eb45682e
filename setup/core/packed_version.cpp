#include "setup/core/packed_version.h"

#include "common/core/scan_integer.h"

namespace setup {

std::uint32_t PackedFileVersion(std::string_view text) {
    std::uint32_t packed = 0;
    int parts = 0;
    while (parts < 4) {
        const std::size_t separator = text.find_first_of(".,");
        const auto number = common::ScanInteger(text.substr(0, separator));
        if (!number) break;
        packed = (packed << 8) | (number->value & 0xFF);
        ++parts;
        if (separator == std::string_view::npos) break;
        text.remove_prefix(separator + 1);
    }
    for (; parts < 4; ++parts) packed <<= 8;
    return packed;
}

UpgradeDecision DecideUpgrade(std::uint32_t installed, std::uint32_t carried) {
    const bool neitherReadable = installed == 0 && carried == 0;
    return installed >= carried && !neitherReadable ? UpgradeDecision::Keep : UpgradeDecision::Ask;
}

}  // namespace setup
