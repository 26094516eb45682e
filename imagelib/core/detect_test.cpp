#include "imagelib/core/detect.h"

#include <gtest/gtest.h>

#include <string>

#include "imagelib/core/test_files.h"

namespace imagelib {
namespace {

using testing::Bytes;

Bytes FromText(const std::string& text) { return Bytes(text.begin(), text.end()); }

// `filler` bytes of 'x', then `tail`.
Bytes After(std::size_t filler, const Bytes& tail) {
    Bytes bytes(filler, 'x');
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
}

const Bytes kJfifStart = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0};
const Bytes kExifStart = {0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x10, 'E', 'x', 'i', 'f', 0, 0};

TEST(DetectFormat, LooksAtTheBytesBeforeTheFirstZeroThenAtTheExtension) {
    struct Case {
        Bytes bytes;
        std::string name;
        FormatCode expected;
        const char* what;
    };
    const Case cases[] = {
        {FromText("GIF89a"), "a.gif", FormatCode::Gif, "GIF signature"},
        {FromText("BM6"), "a.bmp", FormatCode::Bmp, "BMP signature"},
        {kJfifStart, "a.jpg", FormatCode::Jpeg, "JPEG with APP0 first"},
        {kExifStart, "a.jpg", FormatCode::Unknown, "JPEG with APP1 first"},
        {kExifStart, "a.tga", FormatCode::Targa, "APP1 JPEG named .tga"},
        {kJfifStart, "picture.PCX", FormatCode::Jpeg, "a JPEG named .PCX: content first"},
        {FromText("BM"), "picture.pcx", FormatCode::Bmp, "a BMP named .pcx"},
        {FromText("xxGIFxx"), "a.bmp", FormatCode::Gif, "GIF anywhere"},
        {FromText("BM..GIF"), "a.bmp", FormatCode::Gif, "GIF before BM in priority"},
        {After(147, FromText("GIF")), "a", FormatCode::Gif, "GIF ending at byte 150"},
        {After(148, FromText("BM")), "a", FormatCode::Bmp, "BM ending at byte 150"},
        {After(148, FromText("GIF")), "a", FormatCode::Unknown, "GIF past byte 150"},
        {After(146, kJfifStart), "a", FormatCode::Jpeg, "JPEG start at byte 146"},
        {After(147, kJfifStart), "a", FormatCode::Unknown, "JPEG start past byte 150"},
        {Bytes{'B', 0, 'M', 'G', 'I', 'F'}, "a", FormatCode::Unknown, "after the first zero"},
        {Bytes{0, 'B', 'M'}, "a.pcx", FormatCode::Pcx, "zero at the start"},
        {Bytes{}, "A.TGA", FormatCode::Targa, "empty file named .TGA"},
        {FromText("P"), "a.pcx", FormatCode::Pcx, "lower case .pcx"},
        {FromText("P"), "a.PcX", FormatCode::Pcx, "mixed case .PcX"},
        {FromText("P"), "a.Tga", FormatCode::Targa, "mixed case .Tga"},
        {FromText("P"), "a.pcx.bak", FormatCode::Unknown, "only the last extension"},
        {FromText("P"), "folder.pcx/file", FormatCode::Unknown, "a dot in a folder name"},
        {FromText("P"), "pcx", FormatCode::Unknown, "no dot at all"},
        {FromText("P"), "a.pcxx", FormatCode::Unknown, "a longer extension"},
        {FromText("plain text"), "a.txt", FormatCode::Unknown, "nothing known"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DetectFormat(c.bytes, c.name), c.expected) << c.what;
    }
}

TEST(DetectFormat, ReadsOnlyTheFirst150BytesOfAFile) {
    testing::TempFolder folder;
    EXPECT_EQ(DetectFormat(folder.Write("within", After(147, FromText("GIF")))), FormatCode::Gif);
    EXPECT_EQ(DetectFormat(folder.Write("beyond", After(150, FromText("GIF")))),
              FormatCode::Unknown);
    EXPECT_EQ(DetectFormat(folder.Write("short.PCX", FromText("xBMx"))), FormatCode::Bmp);
    EXPECT_EQ(DetectFormat(folder.Write("short.PCX", FromText("xx"))), FormatCode::Pcx);
    EXPECT_FALSE(DetectFormat(folder.PathOf("missing.bmp")).has_value());
}

}  // namespace
}  // namespace imagelib
