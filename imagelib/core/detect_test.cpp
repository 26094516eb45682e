#include "imagelib/core/detect.h"

#include <gtest/gtest.h>

#include <string>

#include "imagelib/core/testing/test_files.h"

namespace imagelib {
namespace {

using testing::Bytes;
using namespace std::string_literals;

// `filler` bytes of 'x', then `tail`.
Bytes After(std::size_t filler, const std::string& tail) {
    Bytes bytes(filler, 'x');
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
}

const std::string kJfif("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10);
const std::string kExif("\xFF\xD8\xFF\xE1\x00\x10\x45xif", 10);
// Exif blocks whose length fields read "BM" and "GI", so that the letters
// stand before the first zero, and one that holds both letters after it.
const std::string kExifBm =
    "\xFF\xD8\xFF\xE1"
    "BMExif"s;
const std::string kExifGif =
    "\xFF\xD8\xFF\xE1"
    "GIF89a"s;
const std::string kExifHolding =
    "\xFF\xD8\xFF\xE1\x01\x00"
    "Exif\x00\x00MM\x00*BM GIF"s;

TEST(DetectFormat, LooksForAStartOfImageThenAtTheFirst150BytesUpToTheFirstZeroThenAtTheExtension) {
    struct Case {
        Bytes bytes;
        std::string name;
        FormatCode expected;
    };
    const Case cases[] = {
        {After(0, "GIF89a"), "a.bmp", FormatCode::Gif},
        {After(0, "BM6"), "a.gif", FormatCode::Bmp},
        {After(0, kJfif), "a.jpg", FormatCode::Jpeg},
        // A start of image and any marker: Exif, Photoshop, Adobe, tables.
        {After(0, kExif), "a.jpg", FormatCode::Jpeg},
        {After(0, "\xFF\xD8\xFF\xED\x00\x1CPhotoshop 3.0"s), "a", FormatCode::Jpeg},
        {After(0,
               "\xFF\xD8\xFF\xEE\x00\x0E"
               "Adobe"s),
         "a", FormatCode::Jpeg},
        {After(0, "\xFF\xD8\xFF\xDB\x00\x43"s), "a", FormatCode::Jpeg},
        {After(0, "\xFF\xD8\xFF"), "a.gif", FormatCode::Jpeg},
        {After(0, kExifBm), "a.bmp", FormatCode::Jpeg},  // before "GIF" and "BM" anywhere
        {After(0, kExifGif), "a.gif", FormatCode::Jpeg},
        {After(0, kExifHolding), "a", FormatCode::Jpeg},
        {After(0, kJfif), "a.PCX", FormatCode::Jpeg},  // content before the name
        {After(0, kExif), "a.Tga", FormatCode::Jpeg},
        {After(0, "\xFF\xD8"), "a.Tga", FormatCode::Targa},  // too short for a JPEG
        {After(1, kExif), "a", FormatCode::Unknown},         // only at the very start
        {After(1, kExifGif), "a", FormatCode::Gif},
        {After(0, "BM..GIF"), "a", FormatCode::Gif},  // GIF wins anywhere
        {After(147, "GIF"), "a", FormatCode::Gif},    // ends at byte 150
        {After(148, "GIF"), "a", FormatCode::Unknown},
        {After(146, kJfif), "a", FormatCode::Jpeg},
        {After(147, kJfif), "a", FormatCode::Unknown},
        {Bytes{'x', 0, 'G', 'I', 'F', 'B', 'M'}, "a", FormatCode::Unknown},  // after the first zero
        {Bytes{}, "a.pcx", FormatCode::Pcx},
        {After(0, "P"), "a.pCx", FormatCode::Pcx},
        {After(0, "P"), "b.PCX", FormatCode::Pcx},
        {After(0, "P"), "a.pcc", FormatCode::Unknown},
        {After(0, "P"), "A.TGA", FormatCode::Targa},
        {After(0, "P"), "a.pcx.bak", FormatCode::Unknown},
        {After(0, "P"), "dir.pcx/a", FormatCode::Unknown},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DetectFormat(c.bytes, c.name), c.expected)
            << std::string(c.bytes.begin(), c.bytes.end()).substr(0, 12) << " " << c.name;
    }
    testing::TempFolder folder;
    EXPECT_EQ(DetectFormat(folder.Write("a", After(147, "GIF"))), FormatCode::Gif);
    EXPECT_EQ(DetectFormat(folder.Write("b", After(148, "GIF"))), FormatCode::Unknown);
    EXPECT_FALSE(DetectFormat(folder.PathOf("missing")).has_value());
}

}  // namespace
}  // namespace imagelib
