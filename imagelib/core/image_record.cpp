#include "imagelib/core/image_record.h"

#include <algorithm>

#include "imagelib/core/little_endian.h"

namespace imagelib {
namespace {

void WriteU16(std::uint8_t* p, std::uint16_t value) {
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}
void WriteU32(std::uint8_t* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

InfoHeader InfoHeader::Parse(const std::uint8_t* bytes) {
    InfoHeader header;
    header.size = ReadU32(bytes + 0);
    header.width = static_cast<std::int32_t>(ReadU32(bytes + 4));
    header.height = static_cast<std::int32_t>(ReadU32(bytes + 8));
    header.planes = ReadU16(bytes + 12);
    header.bitCount = ReadU16(bytes + 14);
    header.compression = ReadU32(bytes + 16);
    header.imageDataSize = ReadU32(bytes + 20);
    header.xPixelsPerMetre = static_cast<std::int32_t>(ReadU32(bytes + 24));
    header.yPixelsPerMetre = static_cast<std::int32_t>(ReadU32(bytes + 28));
    header.coloursUsed = ReadU32(bytes + 32);
    header.coloursImportant = ReadU32(bytes + 36);
    return header;
}

void InfoHeader::Write(std::uint8_t* bytes) const {
    WriteU32(bytes + 0, size);
    WriteU32(bytes + 4, static_cast<std::uint32_t>(width));
    WriteU32(bytes + 8, static_cast<std::uint32_t>(height));
    WriteU16(bytes + 12, planes);
    WriteU16(bytes + 14, bitCount);
    WriteU32(bytes + 16, compression);
    WriteU32(bytes + 20, imageDataSize);
    WriteU32(bytes + 24, static_cast<std::uint32_t>(xPixelsPerMetre));
    WriteU32(bytes + 28, static_cast<std::uint32_t>(yPixelsPerMetre));
    WriteU32(bytes + 32, coloursUsed);
    WriteU32(bytes + 36, coloursImportant);
}

std::int64_t RowStride(std::int64_t width, int bitCount) {
    if (width < 0) return 0;
    switch (bitCount) {
    case 1: return (width + 31) / 32 * 4;
    case 2:
    case 4: return (width + 7) / 8 * 4;
    case 8: return (width + 3) / 4 * 4;
    case 15:
    case 16:
    case 24: return (3 * width + 3) / 4 * 4;
    default: return 0;
    }
}

std::int64_t DibRowStride(std::int64_t width, int bitCount) {
    if (width < 0 || bitCount < 0) return 0;
    return (width * bitCount + 31) / 32 * 4;
}

std::uint32_t ColourCount(std::uint32_t planes, std::uint32_t bitCount) {
    return (std::uint32_t{1} << ((planes * bitCount) % 32)) & 0x1FF;
}

std::uint32_t ColourTableEntries(const InfoHeader& header) {
    std::uint32_t entries = ColourCount(header.planes, header.bitCount);
    entries = std::max(entries, std::min<std::uint32_t>(header.coloursUsed, 256));
    if (header.compression == kCompressionBitfields) entries = std::max<std::uint32_t>(entries, 3);
    return entries;
}

RecordLayout RecordLayout::For(std::int32_t width, std::int32_t height, int bits) {
    RecordLayout layout;
    layout.width = width;
    layout.height = height;
    layout.bits = bits;
    layout.colours = ColourCount(1, static_cast<std::uint32_t>(bits));
    layout.headerSize = kInfoHeaderSize + 4 * std::size_t{layout.colours};
    // Counted in 64 bits and kept to just beyond the block cap, so that no
    // size wraps where size_t has 32 bits.
    constexpr std::int64_t kBeyond = static_cast<std::int64_t>(kMaxBlockSize) + 1;
    const std::int64_t stride = std::min(RowStride(width, bits), kBeyond);
    const std::int64_t rows = std::max(height, 0);
    const std::int64_t dataSize = rows > 0 && stride > kBeyond / rows ? kBeyond : stride * rows;
    layout.rowStride = static_cast<std::size_t>(stride);
    layout.imageDataSize = static_cast<std::size_t>(dataSize);
    return layout;
}

ImageRecord ImageRecord::Allocate(std::size_t size) {
    ImageRecord record;
    if (size < kInfoHeaderSize) return record;
    record.block_ = ByteBuffer::Zeroed(size);
    return record;
}

std::size_t ImageRecord::PixelOffset() const {
    return kInfoHeaderSize + 4 * std::size_t{ColourTableEntries(Header())};
}

}  // namespace imagelib
