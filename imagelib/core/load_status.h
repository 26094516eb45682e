// What went wrong in a decode. Only zero or non-zero ever leaves the
// library (as success or failure); the codes tell the cases apart in tests.
#pragma once

#include <cstdint>

namespace imagelib {

enum class LoadStatus : std::uint16_t {
    Ok = 0,
    OutOfMemory = 129,     // a buffer or the image record cannot be allocated
    BadHeader = 131,       // not of the detected format, or header values refused
    ReadFailed = 132,      // the file cannot be opened or read
    Truncated = 134,       // the file ended before the image was complete
    JpegFailure = 135,     // any other failure of the JPEG library
    NoSuchFile = 136,      // the file does not exist
    UnsupportedBmp = 137,  // the BMP headers are not of the supported kind
    NotRecognised = 138,   // the format was not recognised (also a JPEG without SOI)
    JpegCancelled = 141,   // the user cancelled after a JPEG warning
    CannotSave = 146,      // (saving) the kept image's bit count cannot be saved
};

}  // namespace imagelib
