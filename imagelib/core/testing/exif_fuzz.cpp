// libFuzzer target: any bytes as the data of an APP1 segment, through the
// Exif orientation reader. The input is copied to a block of exactly its
// size, so that a read past its end is caught; the answer must be one of
// the eight orientations.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "imagelib/core/exif_orientation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> block(data, data + size);
    const auto value =
        static_cast<int>(imagelib::ExifOrientation(std::span<const std::uint8_t>(block)));
    if (value < 1 || value > 8) __builtin_trap();
    return 0;
}
