#include "imagelib/core/exif_orientation.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace imagelib {
namespace {

constexpr std::array<std::uint8_t, 6> kExifHeader{'E', 'x', 'i', 'f', 0, 0};
constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;
constexpr std::size_t kEntrySize = 12;

// The TIFF structure inside the Exif block, read in its byte order. Every
// read is checked against the block's end.
class TiffReader {
public:
    explicit TiffReader(std::span<const std::uint8_t> tiff) : tiff_(tiff) {}

    // Reads the byte-order mark and the 42 that follows it.
    bool ReadByteOrder() {
        if (tiff_.size() < 8) return false;
        if (tiff_[0] == 'I' && tiff_[1] == 'I') {
            bigEndian_ = false;
        } else if (tiff_[0] == 'M' && tiff_[1] == 'M') {
            bigEndian_ = true;
        } else {
            return false;
        }
        return U16(2) == 42;
    }

    std::size_t Size() const { return tiff_.size(); }
    // The 16- and 32-bit numbers at `offset`; the caller has checked
    // that they lie within the block.
    std::uint16_t U16(std::size_t offset) const {
        const std::uint8_t* p = tiff_.data() + offset;
        return static_cast<std::uint16_t>(bigEndian_ ? (p[0] << 8) | p[1] : p[0] | (p[1] << 8));
    }
    std::uint32_t U32(std::size_t offset) const {
        const std::uint32_t first = U16(offset);
        const std::uint32_t second = U16(offset + 2);
        return bigEndian_ ? (first << 16) | second : (second << 16) | first;
    }

private:
    std::span<const std::uint8_t> tiff_;
    bool bigEndian_ = false;
};

// The upright position of stored pixel (x, y), by the table in the header.
struct Point {
    std::int64_t x, y;
};
Point UprightPoint(Orientation orientation, std::int64_t width, std::int64_t height, std::int64_t x,
                   std::int64_t y) {
    switch (orientation) {
    case Orientation::Upright: break;
    case Orientation::Mirrored: return {width - 1 - x, y};
    case Orientation::HalfTurn: return {width - 1 - x, height - 1 - y};
    case Orientation::UpsideDownMirrored: return {x, height - 1 - y};
    case Orientation::Transposed:  // top row to the left side, left column to the top
        return {y, x};
    case Orientation::QuarterClockwise:  // top row to the right side, left column to the top
        return {height - 1 - y, x};
    case Orientation::Transversed:  // top row to the right side, left column to the bottom
        return {height - 1 - y, width - 1 - x};
    case Orientation::QuarterAnticlockwise:  // top row to the left side, left column to the bottom
        return {y, width - 1 - x};
    }
    return {x, y};
}

}  // namespace

bool IsExifBlock(std::span<const std::uint8_t> app1) {
    return app1.size() >= kExifHeader.size() &&
           std::equal(kExifHeader.begin(), kExifHeader.end(), app1.begin());
}

Orientation ExifOrientation(std::span<const std::uint8_t> app1) {
    if (!IsExifBlock(app1)) return Orientation::Upright;
    TiffReader tiff(app1.subspan(kExifHeader.size()));
    if (!tiff.ReadByteOrder()) return Orientation::Upright;
    const std::uint32_t directory = tiff.U32(4);
    // The entry count must lie inside the block; of the entries, only
    // those that lie wholly inside it are read, however many it claims.
    if (directory < 8 || directory > tiff.Size() - 2) return Orientation::Upright;
    const std::size_t claimed = tiff.U16(directory);
    const std::size_t present = (tiff.Size() - directory - 2) / kEntrySize;
    const std::size_t entries = std::min(claimed, present);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t entry = directory + 2 + i * kEntrySize;
        if (tiff.U16(entry) != kOrientationTag) continue;
        if (tiff.U16(entry + 2) != kShortType || tiff.U32(entry + 4) < 1)
            return Orientation::Upright;
        const std::uint16_t value = tiff.U16(entry + 8);  // a SHORT sits first in the value field
        if (value < 1 || value > 8) return Orientation::Upright;
        return static_cast<Orientation>(value);
    }
    return Orientation::Upright;
}

UprightPlacement UprightPlacement::For(Orientation orientation, std::int32_t storedWidth,
                                       std::int32_t storedHeight, const RecordLayout& upright,
                                       int bytesPerPixel) {
    // The offset of upright pixel (x, y) in the rows, stored bottom row first.
    const auto offset = [&](Point p) {
        return static_cast<std::ptrdiff_t>((upright.height - 1 - p.y) *
                                               static_cast<std::int64_t>(upright.rowStride) +
                                           p.x * bytesPerPixel);
    };
    UprightPlacement placement;
    placement.origin = offset(UprightPoint(orientation, storedWidth, storedHeight, 0, 0));
    placement.xStep =
        offset(UprightPoint(orientation, storedWidth, storedHeight, 1, 0)) - placement.origin;
    placement.yStep =
        offset(UprightPoint(orientation, storedWidth, storedHeight, 0, 1)) - placement.origin;
    placement.storedWidth = storedWidth;
    placement.bytesPerPixel = bytesPerPixel;
    return placement;
}

namespace {

// Place for pixels of N bytes, each copied with a size the compiler knows.
template <int N>
void PlacePixels(const UprightPlacement& placement, std::uint8_t* first, std::int32_t count,
                 const std::uint8_t* const* rows) {
    const std::ptrdiff_t xStep = placement.xStep, yStep = placement.yStep;
    const std::int32_t width = placement.storedWidth;
    if (xStep == N) {  // upright rows, as stored
        for (std::int32_t r = 0; r < count; ++r) {
            std::memcpy(first + r * yStep, rows[r], static_cast<std::size_t>(width) * N);
        }
        return;
    }
    // Column by column, so that the rows of a band, which land side by
    // side when the picture is turned, are written together.
    for (std::int32_t x = 0; x < width; ++x) {
        std::uint8_t* const column = first + x * xStep;
        for (std::int32_t r = 0; r < count; ++r)
            std::memcpy(column + r * yStep, rows[r] + x * N, N);
    }
}

}  // namespace

void UprightPlacement::Place(std::int32_t firstRow, std::int32_t count,
                             const std::uint8_t* const* rows, std::uint8_t* pixels) const {
    std::uint8_t* const first = pixels + origin + firstRow * yStep;
    if (bytesPerPixel == 3) {
        PlacePixels<3>(*this, first, count, rows);
    } else {
        PlacePixels<1>(*this, first, count, rows);
    }
}

}  // namespace imagelib
