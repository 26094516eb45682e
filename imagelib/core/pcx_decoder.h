// The PCX reader. Layouts read (bits per pixel and plane x planes):
//   1 x 1          1-bit record, the header's first two colours;
//   1 x 2, 1 x 4,  4-bit records with 16 colour-table entries: the
//   2 x 1, 2 x 2,  header's first 4 (two-bit pixels) or 16 colours, the
//   4 x 1          rest black; planes give the low bits first;
//   8 x 1          8-bit record, the 256 colours at the end of the file;
//   8 x 3          24-bit record from red, green and blue planes.
// Every other layout is refused. Version-3 files carry no colours of their
// own: they take the display's system palette, or, on a display without
// one, the fixed colours of FixedPcxColours. A scan line shorter than the
// picture is wide gives the pixels it holds; the rest of the row is 0.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imagelib/core/decoder_state.h"

namespace imagelib {

// A run of up to 63 bytes takes two bytes of the file, so the scan lines
// hold at most 31.5 bytes per byte of file. Headers that claim more than
// this many bytes of scan lines (of the picture's full width, where the
// lines are shorter) per byte of the whole file are refused before
// anything is allocated for the image.
inline constexpr std::int64_t kMaxPcxBytesPerFileByte = 32;

// The colours a version-3 file gets on a display without a system palette:
// black and white for 2 colours; black, light cyan, light magenta and white
// for 4; the 16 standard colours of the colour adapters for 16; for 256
// those 16, a 6 x 6 x 6 colour cube and 24 greys.
void FixedPcxColours(std::size_t count, PaletteTriples& triples);

// Decodes the file into the record.
// Placing reports phase 1 after each row i (from 1) with i * 100 / height.
LoadStatus DecodePcx(DecoderState& state);

}  // namespace imagelib
