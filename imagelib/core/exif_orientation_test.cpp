#include "imagelib/core/exif_orientation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imagelib/core/testing/test_files.h"

namespace imagelib {
namespace {

using testing::Bytes;
using testing::ExifBlock;
using testing::kExifOrientationTag;
using testing::kExifShort;

// Read from a copy of exactly its bytes, so that a read past the end is
// caught by the address sanitizer.
Orientation Read(const Bytes& block) {
    const std::vector<std::uint8_t> copy(block.begin(), block.end());
    return ExifOrientation(copy);
}

ExifBlock WithOrientation(std::uint32_t value, bool bigEndian = false) {
    ExifBlock block;
    block.bigEndian = bigEndian;
    block.entries = {
        {0x010F, 2, 4, 0}, {kExifOrientationTag, kExifShort, 1, value}, {0x0213, kExifShort, 1, 1}};
    return block;
}

// Every orientation in both byte orders is read by the JPEG decoder's
// tests; here what else a block may hold.
TEST(ExifOrientation, OnlyAWellFormedTagOfTheFirstDirectoryCounts) {
    const auto with = [](auto change) {
        ExifBlock block = WithOrientation(8);
        change(block);
        return testing::BuildExif(block);
    };
    Bytes xmp = testing::CameraExif(6, false);
    xmp[4] = 'x';  // "Exix": another APP1 block
    Bytes noMark = testing::CameraExif(6, false);
    noMark[6] = 'X';  // neither II nor MM
    Bytes notTiff = testing::CameraExif(6, true);
    notTiff[9] = 43;
    struct Case {
        std::string why;
        Bytes block;
        Orientation expected = Orientation::Upright;
    };
    const Case cases[] = {
        // The directory anywhere behind the header, its link pointing back
        // at itself (only the first directory is read).
        {"late directory", with([](ExifBlock& b) {
             b.bigEndian = true, b.directoryOffset = 40, b.nextDirectory = 40;
         }),
         Orientation::QuarterAnticlockwise},
        // 65535 entries claimed in a block of three: the three are read.
        {"count too large", with([](ExifBlock& b) { b.claimedCount = 0xFFFF; }),
         Orientation::QuarterAnticlockwise},
        {"empty", {}},
        {"header only", {'E', 'x', 'i', 'f', 0, 0}},
        {"another block", xmp},
        {"no byte order", noMark},
        {"not 42", notTiff},
        {"no orientation", with([](ExifBlock& b) { b.entries.erase(b.entries.begin() + 1); })},
        {"value 0", with([](ExifBlock& b) { b.entries[1].value = 0; })},
        {"value 9", with([](ExifBlock& b) { b.entries[1].value = 9; })},
        {"a LONG", with([](ExifBlock& b) { b.entries[1].type = testing::kExifLong; })},
        {"no values", with([](ExifBlock& b) { b.entries[1].count = 0; })},
        {"directory in the header", with([](ExifBlock& b) { b.directoryOffset = 4; })},
        {"no entries", with([](ExifBlock& b) { b.claimedCount = 0; })},
        {"the tag past the claimed entries", with([](ExifBlock& b) { b.claimedCount = 1; })},
    };
    for (const Case& c : cases) EXPECT_EQ(Read(c.block), c.expected) << c.why;
}

TEST(ExifOrientation, DamagedBlocksAreReadWithinTheirBytes) {
    // Cut at every length: upright until the whole entry is there.
    const Bytes whole = testing::CameraExif(3, true);
    const std::size_t entryEnd = 6 + 8 + 2 + 2 * 12;
    for (std::size_t length = 0; length < whole.size(); ++length) {
        EXPECT_EQ(Read(Bytes(whole.begin(), whole.begin() + length)),
                  length < entryEnd ? Orientation::Upright : Orientation::HalfTurn)
            << length;
    }
    // A directory past the end (up to 2^32 - 1) or too near it for one
    // entry. The block's TIFF part is 50 bytes.
    for (const std::uint32_t offset : {0xFFFFFFFFu, 0xFFFFFFF0u, 400u, 50u, 49u, 48u, 44u}) {
        Bytes bytes = testing::BuildExif(WithOrientation(6));
        ASSERT_EQ(bytes.size(), 6u + 50u);
        for (int i = 0; i < 4; ++i) bytes[10 + i] = static_cast<std::uint8_t>(offset >> (8 * i));
        EXPECT_EQ(Read(bytes), Orientation::Upright) << offset;
    }
}

}  // namespace
}  // namespace imagelib
