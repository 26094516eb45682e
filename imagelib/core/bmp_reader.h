// The BMP reader: Windows bitmaps with the 40-byte information header, of
// 1, 4, 8, 16, 24 or 32 bits, uncompressed, run-length encoded or with bit
// fields. The header is kept as the file has it, so run-length encoded and
// top-down files pass unchanged to the platform, which draws them.
#pragma once

#include "imagelib/core/decoder_state.h"

namespace imagelib {

// Decodes the file into the record.
// Status 134 when the headers or the pixel data are cut short, 137 for
// headers not of the supported kind, 131 for sizes it refuses.
LoadStatus DecodeBmp(DecoderState& state);

}  // namespace imagelib
