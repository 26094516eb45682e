// The orientation a camera records in a JPEG's Exif block, and where each
// stored pixel goes in the picture turned upright, as photo viewers show it.
//
// A camera stores its sensor's pixels as they come and says in the Exif
// block how to turn them: the orientation tells which side of the upright
// picture the stored top row and left column are.
//
//   value  stored top row  stored left column  to show it upright
//   1      top             left                nothing
//   2      top             right               mirror left to right
//   3      bottom          right               turn half round
//   4      bottom          left                mirror top to bottom
//   5      left            top                 mirror about the top-left diagonal
//   6      right           top                 turn a quarter clockwise
//   7      right           bottom              mirror about the top-right diagonal
//   8      left            bottom              turn a quarter anticlockwise
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "imagelib/core/image_record.h"

namespace imagelib {

enum class Orientation : std::uint8_t {
    Upright = 1,
    Mirrored = 2,
    HalfTurn = 3,
    UpsideDownMirrored = 4,
    Transposed = 5,
    QuarterClockwise = 6,
    Transversed = 7,
    QuarterAnticlockwise = 8,
};

// True when `app1` (the data of an APP1 segment, after its length field)
// is an Exif block: it begins with "Exif" and two zero bytes.
bool IsExifBlock(std::span<const std::uint8_t> app1);

// The orientation tag (0x0112, one SHORT) of the first image directory of
// an Exif block, in either byte order. Anything else - not an Exif block,
// no such tag, a value outside 1 to 8, a block cut short or offsets past
// its end - answers Upright. Reads nothing outside `app1`, and only the
// first directory (no chain of directories is followed).
Orientation ExifOrientation(std::span<const std::uint8_t> app1);

// True when the upright picture's width is the stored height.
inline bool SwapsSides(Orientation orientation) {
    return static_cast<int>(orientation) >= static_cast<int>(Orientation::Transposed);
}

// Where the stored pixels of a picture go in the pixel rows of its upright
// record. Pixel (x, y) of the stored picture (y = 0 the top row) lands at
// origin + x * xStep + y * yStep bytes; the mapping is affine because
// every orientation is a turn and/or a mirror.
struct UprightPlacement {
    std::ptrdiff_t origin = 0;
    std::ptrdiff_t xStep = 0;
    std::ptrdiff_t yStep = 0;
    std::int32_t storedWidth = 0;
    int bytesPerPixel = 0;

    // For a stored picture of storedWidth x storedHeight, into a record of
    // `upright` layout (its width and height already turned when
    // SwapsSides), with pixels of 1 or 3 bytes.
    static UprightPlacement For(Orientation orientation, std::int32_t storedWidth,
                                std::int32_t storedHeight, const RecordLayout& upright,
                                int bytesPerPixel);

    // Places `count` stored rows, from row `firstRow` on, into `pixels`
    // (the record's pixel rows). rows[i] holds storedWidth pixels.
    void Place(std::int32_t firstRow, std::int32_t count, const std::uint8_t* const* rows,
               std::uint8_t* pixels) const;
};

}  // namespace imagelib
