// Format detection: by the first bytes of the file, then by its extension.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "imagelib/core/input_stream.h"

namespace imagelib {

enum class FormatCode : std::uint8_t {
    Unknown,
    Bmp,
    Jpeg,
    Targa,
    Pcx,
    Gif,
};

// How many bytes of the file detection looks at.
inline constexpr std::size_t kDetectionBytes = 150;

// Detection from the first bytes of a file (up to kDetectionBytes) and its
// name. A file that begins with FF D8 FF (start of image, then any marker)
// is a JPEG. Otherwise only the bytes before the first zero byte count:
// "GIF" anywhere in them gives GIF; else "BM" gives BMP; else FF D8 FF E0
// (start of image followed by an APP0 marker) gives JPEG. Otherwise the
// extension decides, in any letter case: ".PCX" PCX, ".TGA" Targa,
// anything else Unknown.
FormatCode DetectFormat(std::span<const std::uint8_t> firstBytes, std::string_view fileName);

// Reads the first bytes of the file (opened through `opener`, see
// OpenForReading) and detects its format; nothing when the file cannot be
// opened.
std::optional<FormatCode> DetectFormat(const std::string& fileName,
                                       const FileOpener* opener = nullptr);

}  // namespace imagelib
