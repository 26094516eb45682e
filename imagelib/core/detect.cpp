#include "imagelib/core/detect.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

#include "imagelib/core/input_stream.h"

namespace imagelib {
namespace {

bool Contains(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> pattern) {
    return std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end()) != bytes.end();
}

bool ExtensionIs(std::string_view fileName, std::string_view upperExtension) {
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view extension = fileName.substr(dot);
    return std::equal(
        extension.begin(), extension.end(), upperExtension.begin(), upperExtension.end(),
        [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; });
}

}  // namespace

FormatCode DetectFormat(std::span<const std::uint8_t> firstBytes, std::string_view fileName) {
    // A start-of-image marker followed by any marker: cameras and phones
    // begin with an Exif block (APP1), editors with a Photoshop (APP13)
    // or Adobe (APP14) block, some encoders with the tables. This comes
    // before the search for "GIF" and "BM", which an Exif block may hold.
    static constexpr std::array<std::uint8_t, 3> kStartOfImage{0xFF, 0xD8, 0xFF};
    if (firstBytes.size() >= kStartOfImage.size() &&
        std::equal(kStartOfImage.begin(), kStartOfImage.end(), firstBytes.begin())) {
        return FormatCode::Jpeg;
    }
    firstBytes = firstBytes.first(std::min(firstBytes.size(), kDetectionBytes));
    const auto zero = std::find(firstBytes.begin(), firstBytes.end(), std::uint8_t{0});
    const std::span<const std::uint8_t> text(firstBytes.begin(), zero);

    static constexpr std::array<std::uint8_t, 3> kGif{'G', 'I', 'F'};
    static constexpr std::array<std::uint8_t, 2> kBmp{'B', 'M'};
    static constexpr std::array<std::uint8_t, 4> kJpeg{0xFF, 0xD8, 0xFF, 0xE0};
    if (Contains(text, kGif)) return FormatCode::Gif;
    if (Contains(text, kBmp)) return FormatCode::Bmp;
    if (Contains(text, kJpeg)) return FormatCode::Jpeg;
    if (ExtensionIs(fileName, ".PCX")) return FormatCode::Pcx;
    if (ExtensionIs(fileName, ".TGA")) return FormatCode::Targa;
    return FormatCode::Unknown;
}

std::optional<FormatCode> DetectFormat(const std::string& fileName, const FileOpener* opener) {
    UniqueStdFile file = OpenForReading(fileName, opener);
    if (!file) return std::nullopt;
    std::array<std::uint8_t, kDetectionBytes> first{};
    const std::size_t count = std::fread(first.data(), 1, first.size(), file.get());
    if (count < first.size() && std::ferror(file.get())) return std::nullopt;
    return DetectFormat(std::span<const std::uint8_t>(first.data(), count), fileName);
}

}  // namespace imagelib
