// The library's one in-memory image: a packed device-independent bitmap in
// one heap block. The first 40 bytes are laid out exactly as the platform's
// BITMAPINFOHEADER (little-endian), followed by the colour table (blue,
// green, red, 0 per entry) and the pixel rows, bottom row first unless the
// height is negative. The Win32 layer hands the block to CreateDIBitmap
// unchanged.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "imagelib/core/byte_buffer.h"

namespace imagelib {

inline constexpr std::uint32_t kInfoHeaderSize = 40;
inline constexpr std::uint32_t kCompressionNone = 0;
inline constexpr std::uint32_t kCompressionRle8 = 1;
inline constexpr std::uint32_t kCompressionRle4 = 2;
inline constexpr std::uint32_t kCompressionBitfields = 3;

// The 40-byte information header, field by field.
struct InfoHeader {
    std::uint32_t size = kInfoHeaderSize;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = kCompressionNone;
    std::uint32_t imageDataSize = 0;
    std::int32_t xPixelsPerMetre = 0;
    std::int32_t yPixelsPerMetre = 0;
    std::uint32_t coloursUsed = 0;
    std::uint32_t coloursImportant = 0;

    // Reads the 40 bytes at `bytes` / writes them there, little-endian.
    static InfoHeader Parse(const std::uint8_t* bytes);
    void Write(std::uint8_t* bytes) const;
};

// Bytes per stored row, always a multiple of 4: 1 bit: ((w + 31) / 32) * 4;
// 2 or 4 bits: ((w + 7) / 8) * 4; 8 bits: ((w + 3) / 4) * 4; 15, 16 or 24
// bits: ((3w + 3) / 4) * 4 (15 and 16 are given the 24-bit stride); any
// other bit count: 0. Negative widths give 0.
std::int64_t RowStride(std::int64_t width, int bitCount);

// The row length the platform itself uses for a bitmap of this width and
// bit count: (w * b + 31) / 32 * 4.
std::int64_t DibRowStride(std::int64_t width, int bitCount);

// 2 to the power of planes * bit count, kept to 9 bits: 2 for 1 bit, 16
// for 4, 256 for 8, 0 for 16 and 24. The shift count is taken modulo 32
// as the processor does, so 32 bits gives 1.
std::uint32_t ColourCount(std::uint32_t planes, std::uint32_t bitCount);

// Entries reserved between the header and the pixel rows of a record with
// this header: ColourCount, or more when the header asks for more - its
// colours-used field (up to 256) or the three masks of a bit-field bitmap -
// so that the platform never reads a colour table beyond the record.
std::uint32_t ColourTableEntries(const InfoHeader& header);

// Where everything lies in a record that a decoder makes: derived from
// the width, height and bit count alone. A row stride or data size beyond
// kMaxBlockSize is given as kMaxBlockSize + 1 (such a record is never
// made), so that it cannot wrap to a small size.
struct RecordLayout {
    std::int32_t width = 0;
    std::int32_t height = 0;
    int bits = 0;
    std::uint32_t colours = 0;      // colour-table entries: ColourCount(1, bits)
    std::size_t headerSize = 0;     // 40 + 4 * colours: the offset of the pixel rows
    std::size_t rowStride = 0;      // RowStride(width, bits)
    std::size_t imageDataSize = 0;  // rowStride * height

    static RecordLayout For(std::int32_t width, std::int32_t height, int bits);
    // The offset of picture row y (0 at the top) in the pixel rows, which
    // are stored bottom row first.
    std::size_t TopDownRow(std::int32_t y) const {
        return static_cast<std::size_t>(height - 1 - y) * rowStride;
    }
};

// Up to 256 palette entries of red, green, blue, filled by a decoder
// before it makes the record.
using PaletteTriples = std::array<std::uint8_t, 768>;

class ImageRecord {
public:
    ImageRecord() = default;

    // A zero-filled block of `size` bytes (at least the 40-byte header);
    // empty when it cannot be had.
    static ImageRecord Allocate(std::size_t size);

    explicit operator bool() const { return static_cast<bool>(block_); }
    std::uint8_t* Bytes() { return block_.Data(); }
    const std::uint8_t* Bytes() const { return block_.Data(); }
    std::size_t Size() const { return block_.Size(); }

    InfoHeader Header() const { return InfoHeader::Parse(block_.Data()); }
    std::int32_t Width() const { return Header().width; }
    std::int32_t Height() const { return Header().height; }
    int BitCount() const { return Header().bitCount; }

    // Offset of the pixel rows: 40 + 4 * ColourTableEntries.
    std::size_t PixelOffset() const;
    std::uint8_t* Pixels() { return Bytes() + PixelOffset(); }
    const std::uint8_t* Pixels() const { return Bytes() + PixelOffset(); }
    // Entry i of the colour table: blue, green, red, 0.
    const std::uint8_t* ColourTable() const { return Bytes() + kInfoHeaderSize; }

private:
    ByteBuffer block_;
};

}  // namespace imagelib
