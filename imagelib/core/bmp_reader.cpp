#include "imagelib/core/bmp_reader.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "imagelib/core/image_limits.h"
#include "imagelib/core/little_endian.h"

namespace imagelib {
namespace {

constexpr std::size_t kFileHeaderSize = 14;

// The kinds of bitmap the platform draws from a record: one plane, the
// usual bit counts, and each compression only with the bit count it is
// made for (run-length encoded rows are always stored bottom-up).
bool SupportedKind(const InfoHeader& info) {
    if (info.planes != 1) return false;
    switch (info.compression) {
    case kCompressionNone:
        return info.bitCount == 1 || info.bitCount == 4 || info.bitCount == 8 ||
               info.bitCount == 16 || info.bitCount == 24 || info.bitCount == 32;
    case kCompressionRle8: return info.bitCount == 8 && info.height > 0;
    case kCompressionRle4: return info.bitCount == 4 && info.height > 0;
    case kCompressionBitfields: return info.bitCount == 16 || info.bitCount == 32;
    default: return false;
    }
}

}  // namespace

LoadStatus DecodeBmp(DecoderState& state) {
    ByteReader& input = state.Input();
    const std::int64_t fileSize = static_cast<std::int64_t>(input.Size());

    const std::span<const std::uint8_t> headers =
        input.TakeHeader(kFileHeaderSize + kInfoHeaderSize);
    if (headers.empty()) return LoadStatus::Truncated;
    const std::uint8_t* fileHeader = headers.data();
    const std::uint8_t* infoBytes = headers.data() + kFileHeaderSize;
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M' || ReadU32(infoBytes) != kInfoHeaderSize) {
        return LoadStatus::UnsupportedBmp;
    }
    InfoHeader info = InfoHeader::Parse(infoBytes);
    if (!SupportedKind(info) || info.coloursUsed > 256) {
        return LoadStatus::UnsupportedBmp;
    }
    const std::int64_t rows = std::llabs(static_cast<std::int64_t>(info.height));
    if (!ImageSizeAllowed(info.width, rows)) return LoadStatus::BadHeader;

    const std::int64_t fileSizeField = ReadU32(fileHeader + 2);
    const std::int64_t bitsOffset = ReadU32(fileHeader + 10);
    // Uncompressed rows: exactly what the platform reads for this size,
    // whatever the header's data size says. Run-length encoded data: the
    // header's data size, or the rest of the file by its file header.
    std::int64_t dataSize = 0;
    if (info.compression == kCompressionNone || info.compression == kCompressionBitfields) {
        dataSize = DibRowStride(info.width, info.bitCount) * rows;
    } else {
        dataSize =
            info.imageDataSize != 0 ? std::int64_t{info.imageDataSize} : fileSizeField - bitsOffset;
        if (dataSize <= 0) return LoadStatus::BadHeader;
    }
    // Nothing is allocated for data the file does not hold.
    if (bitsOffset + dataSize > fileSize) return LoadStatus::Truncated;

    // The header is kept as the file has it (bit count, compression,
    // colours used); the record reserves the colour table it asks for.
    const auto [record, made] = state.MakeRecord(info, static_cast<std::size_t>(dataSize));
    if (!record) return made;

    // The colour table follows the information header. A file may hold
    // fewer entries than reserved (its colours-used count is smaller): the
    // rest stay zero.
    const std::size_t tableBytes = 4 * std::size_t{ColourTableEntries(info)};
    const std::span<const std::uint8_t> table =
        input.TakeHeader(std::min(tableBytes, input.Left()));
    std::copy(table.begin(), table.end(), record->ColourTable());
    // The pixels lie wholly inside the file (checked above).
    if (!input.Seek(static_cast<std::size_t>(bitsOffset))) return LoadStatus::Truncated;
    const std::span<const std::uint8_t> pixels =
        input.TakeHeader(static_cast<std::size_t>(dataSize));
    if (pixels.size() != static_cast<std::size_t>(dataSize)) return LoadStatus::Truncated;
    std::copy(pixels.begin(), pixels.end(), record->Pixels());
    return LoadStatus::Ok;
}

}  // namespace imagelib
