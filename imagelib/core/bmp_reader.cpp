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
    case kCompressionRle8:
        return info.bitCount == 8 && info.height > 0;
    case kCompressionRle4:
        return info.bitCount == 4 && info.height > 0;
    case kCompressionBitfields:
        return info.bitCount == 16 || info.bitCount == 32;
    default:
        return false;
    }
}

}  // namespace

bool DecodeBmp(DecoderState& state) {
    const LoadStatus opened = state.input.Open(state.fileName, false);
    if (opened != LoadStatus::Ok) return state.FinishDecode(opened);
    state.fileSize = state.input.Size();

    std::array<std::uint8_t, kFileHeaderSize + kInfoHeaderSize> headers{};
    if (state.input.Read(headers.data(), headers.size()) != headers.size()) {
        return state.FinishDecode(LoadStatus::Truncated);
    }
    const std::uint8_t* fileHeader = headers.data();
    const std::uint8_t* infoBytes = headers.data() + kFileHeaderSize;
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M' || ReadU32(infoBytes) != kInfoHeaderSize) {
        return state.FinishDecode(LoadStatus::UnsupportedBmp);
    }
    InfoHeader info = InfoHeader::Parse(infoBytes);
    if (!SupportedKind(info) || info.coloursUsed > 256) {
        return state.FinishDecode(LoadStatus::UnsupportedBmp);
    }
    const std::int64_t rows = std::llabs(static_cast<std::int64_t>(info.height));
    if (!ImageSizeAllowed(info.width, rows)) return state.FinishDecode(LoadStatus::BadHeader);

    const std::int64_t fileSizeField = ReadU32(fileHeader + 2);
    const std::int64_t bitsOffset = ReadU32(fileHeader + 10);
    // Uncompressed rows: exactly what the platform reads for this size,
    // whatever the header's data size says. Run-length encoded data: the
    // header's data size, or the rest of the file by its file header.
    std::int64_t dataSize = 0;
    if (info.compression == kCompressionNone || info.compression == kCompressionBitfields) {
        dataSize = DibRowStride(info.width, info.bitCount) * rows;
    } else {
        dataSize = info.imageDataSize != 0 ? std::int64_t{info.imageDataSize}
                                           : fileSizeField - bitsOffset;
        if (dataSize <= 0) return state.FinishDecode(LoadStatus::BadHeader);
    }
    // Nothing is allocated for data the file does not hold.
    if (bitsOffset + dataSize > state.fileSize) return state.FinishDecode(LoadStatus::Truncated);

    const std::size_t tableBytes = 4 * std::size_t{ColourTableEntries(info)};
    state.bitsPerPixel = info.bitCount;
    state.colours = static_cast<std::uint16_t>(tableBytes / 4);
    state.headerSize = kInfoHeaderSize + tableBytes;
    state.imageDataSize = static_cast<std::size_t>(dataSize);
    state.record = ImageRecord::Allocate(state.headerSize + state.imageDataSize);
    if (!state.record) return state.FinishDecode(LoadStatus::OutOfMemory);
    info.imageDataSize = static_cast<std::uint32_t>(dataSize);
    info.Write(state.record.Bytes());

    // The colour table follows the information header. A file may hold
    // fewer entries than reserved (its colours-used count is smaller): the
    // rest stay zero.
    const std::size_t tableInFile = static_cast<std::size_t>(std::min<std::int64_t>(
        static_cast<std::int64_t>(tableBytes),
        std::max<std::int64_t>(0, state.fileSize - static_cast<std::int64_t>(headers.size()))));
    if (state.input.Read(state.record.Bytes() + kInfoHeaderSize, tableInFile) != tableInFile) {
        return state.FinishDecode(LoadStatus::Truncated);
    }
    if (!state.input.Seek(bitsOffset) ||
        state.input.Read(state.record.Bytes() + state.headerSize, state.imageDataSize) !=
            state.imageDataSize) {
        return state.FinishDecode(LoadStatus::Truncated);
    }
    return state.FinishDecode(LoadStatus::Ok);
}

}  // namespace imagelib
