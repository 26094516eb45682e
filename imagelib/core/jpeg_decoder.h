// The JPEG decoder, through libjpeg: colour files become 24-bit records
// (blue, green, red), greyscale files 8-bit records with a grey ramp.
// Four-component (CMYK and YCCK) files are converted to 24-bit colour.
// A picture whose Exif block gives an orientation is turned upright (see
// exif_orientation.h): the record is the picture as a photo viewer shows
// it, and its width and height are the upright ones.
#pragma once

#include <cstdint>

#include "imagelib/core/decoder_state.h"

namespace imagelib {

// A JPEG that is not arithmetic-coded spends at least one bit on every
// 8x8 block of its fullest component, so a file of n bytes holds at most
// 512 n pixels. Headers that claim more than twice that are refused before
// anything is allocated for the image. (Only arithmetic-coded pictures of
// almost no detail, or files cut off after a small fraction of their data,
// come near it.)
inline constexpr std::int64_t kMaxJpegPixelsPerFileByte = 1024;

// Decodes the file into the record.
// The first warning of the JPEG library goes to the environment's prompts:
// OK goes on, Cancel fails the decode.
LoadStatus DecodeJpeg(DecoderState& state);

}  // namespace imagelib
