// Decoding one file into an image record, by the format detected.
#pragma once

#include <string>

#include "imagelib/core/decoder_state.h"

namespace imagelib {

// Detects the format of `fileName` and runs its decoder (BMP, JPEG, GIF,
// PCX or Targa) over the whole file read into memory: status 136 when the
// file does not exist, 138 when the format is not recognised, 132 when the
// file cannot be opened; otherwise the decoder's outcome.
DecodeResult DecodeFile(const std::string& fileName, const DecodeEnvironment& environment);

}  // namespace imagelib
