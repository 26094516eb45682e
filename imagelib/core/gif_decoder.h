// The GIF decoder: the first image of a GIF file, with the global or its
// own colour table, into a record of 1, 4 or 8 bits per pixel. Colour
// tables of 2 entries give 1-bit records; of 4, 8 or 16 entries 4-bit
// records with 16 colour-table entries; larger tables 8-bit records with
// 256 entries. An image's own table replaces the global table's first
// entries, and the entries beyond both tables are black. Extensions, and
// stray bytes between blocks, are read past.
#pragma once

#include <cstdint>
#include <span>

#include "imagelib/core/decoder_state.h"
#include "imagelib/core/lzw_decoder.h"

namespace imagelib {

// A code of n bits stands for at most 2^n - 4 pixels, so a GIF spends at
// least 12 bits on every 4092 pixels: no more than 2728 pixels per byte.
// Headers that claim more than this many pixels per byte of the whole file
// are refused before anything is allocated for the image.
inline constexpr std::int64_t kMaxGifPixelsPerFileByte = 4096;

// GIF's data sub-blocks (a length byte of 1 to 255, then that many bytes,
// until a length of 0) as one stream of blocks, in place in the file.
class GifSubBlocks : public CodeByteSource {
public:
    explicit GifSubBlocks(ByteReader& input) : input_(input) {}

    // The next sub-block. Empty at the terminating empty sub-block, or when
    // the file ends; a sub-block cut off by the end of the file gives the
    // bytes it has.
    std::span<const std::uint8_t> NextBlock() override;
    // Reads past the rest of the sub-blocks, up to and including the empty
    // one. False when the file ends first.
    bool SkipRest();

private:
    ByteReader& input_;
    bool finished_ = false;
};

// Decodes the file into the record.
// Reading reports phase 0 at each refill; placing reports phase 1 after
// each row r (from 0) of h with r * 100 / (h - 1) percent (100 for a
// picture of one row).
LoadStatus DecodeGif(DecoderState& state);

}  // namespace imagelib
