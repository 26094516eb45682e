// The Targa reader: true-colour files of 15, 16, 24 or 32 bits per pixel,
// stored plainly or run-length encoded, into 24-bit records. The alpha
// byte of 32-bit pixels is dropped; 15- and 16-bit channels are widened
// through FiveToEightBits. Colour-mapped, greyscale and interleaved files
// are refused. Rows stored top first and bottom first give the same
// record; the right-to-left flag is not looked at.
#pragma once

#include <array>
#include <cstdint>

#include "imagelib/core/decoder_state.h"

namespace imagelib {

// A run-length packet of 128 pixels takes at least three bytes of the file,
// so a file holds at most 43 pixels per byte. Headers that claim more than
// this many pixels per byte of the whole file are refused before anything
// is allocated for the image.
inline constexpr std::int64_t kMaxTargaPixelsPerFileByte = 64;

// Entry i is i * 255 / 31 rounded down: 0, 8, 16, ..., 246, 255.
inline constexpr std::array<std::uint8_t, 32> kFiveToEightBits = [] {
    std::array<std::uint8_t, 32> table{};
    for (int i = 0; i < 32; ++i) table[i] = static_cast<std::uint8_t>(i * 255 / 31);
    return table;
}();

// Decodes the file into the record.
// Placing reports phase 1 after each row i (from 1) with i * 100 / height.
LoadStatus DecodeTarga(DecoderState& state);

}  // namespace imagelib
