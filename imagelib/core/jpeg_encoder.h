// Saving an image record as a baseline JFIF file through libjpeg.
#pragma once

#include <cstdint>
#include <string>

#include "imagelib/core/decoder_state.h"
#include "imagelib/core/image_record.h"

namespace imagelib {

// Writes `record` to `fileName` at this quality (libjpeg keeps it to 1 to
// 100), top row first. 24-bit records are written as they are; 16- and
// 32-bit records (plain or with colour masks, as BMP files hold them) are
// turned into 24-bit pixels first. Records of 1 to 8 bits are refused
// with CannotSave, so are records of any other kind, before any file is
// made. The file appears under its name only when it is complete (see
// ReplacementFile): a failed save answers a non-zero status and leaves a
// file that was there before as it was. Every row written is reported to
// the environment's progress hook (converting phase). The first warning
// of the JPEG library goes to its prompts.
LoadStatus EncodeJpeg(const ImageRecord& record, const std::string& fileName, std::int32_t quality,
                      const DecodeEnvironment& environment);

}  // namespace imagelib
