#include "imagelib/core/targa_decoder.h"

#include <array>
#include <cstring>

#include "imagelib/core/image_limits.h"
#include "imagelib/core/little_endian.h"

namespace imagelib {
namespace {

constexpr std::size_t kHeaderSize = 18;
constexpr std::uint8_t kTrueColour = 2;
constexpr std::uint8_t kRunLengthTrueColour = 10;
constexpr std::uint8_t kInterleaving = 0xC0;
constexpr std::uint8_t kTopFirst = 0x20;

// Reads pixels, as blue, green and red, into the decoded data until it is
// full or the file ends. A run-length packet byte with its top bit set
// repeats the one pixel that follows (low seven bits) more times;
// otherwise that many more pixels follow it plainly. Packets may cross
// rows.
void DecodePixels(DecoderState& state, std::size_t bytesPerPixel, bool runLength) {
    std::array<std::uint8_t, 4> pixel{};
    int repeats = 0;
    int raw = 0;
    while (!state.outputFull) {
        if (runLength && repeats > 0) {
            --repeats;  // the previous pixel again
        } else {
            if (runLength && --raw < 0) {
                const std::uint8_t packet = state.ReadByte();
                if (packet & 0x80) {
                    repeats = packet & 0x7F;
                    raw = 0;
                } else {
                    raw = packet & 0x7F;
                }
            }
            // A pixel cut off by the end of the file is not shown.
            if (state.ReadBytes(pixel.data(), bytesPerPixel) != bytesPerPixel) break;
        }
        if (bytesPerPixel == 2) {
            const unsigned word = pixel[0] | (pixel[1] << 8);
            state.EmitByte(kFiveToEightBits[word & 31]);
            state.EmitByte(kFiveToEightBits[(word >> 5) & 31]);
            state.EmitByte(kFiveToEightBits[(word >> 10) & 31]);
        } else {
            state.EmitByte(pixel[0]);
            state.EmitByte(pixel[1]);
            state.EmitByte(pixel[2]);
        }
    }
    state.FlushOutput();
}

}  // namespace

bool DecodeTarga(DecoderState& state) {
    if (!state.OpenInput()) return state.FinishDecode(state.status);
    std::array<std::uint8_t, kHeaderSize> header{};
    if (state.ReadDirect(header.data(), header.size()) != header.size()) {
        return state.FinishDecode(LoadStatus::Truncated);
    }
    const std::size_t idLength = header[0];
    const std::uint8_t imageType = header[2];
    const std::int32_t width = ReadU16(header.data() + 12);
    const std::int32_t height = ReadU16(header.data() + 14);
    const int depth = header[16] == 15 ? 16 : header[16];
    const std::uint8_t descriptor = header[17];
    const std::size_t bytesPerPixel = static_cast<std::size_t>(depth / 8);
    if (ReadU16(header.data() + 5) != 0 || depth % 8 != 0 || bytesPerPixel < 2 ||
        bytesPerPixel > 4 || (descriptor & kInterleaving) != 0 ||
        (imageType != kTrueColour && imageType != kRunLengthTrueColour) ||
        !ImageSizeAllowed(width, height) ||
        std::int64_t{width} * height > kMaxTargaPixelsPerFileByte * state.fileSize) {
        return state.FinishDecode(LoadStatus::BadHeader);
    }

    state.bitsPerPixel = 24;
    state.headerSize = kInfoHeaderSize;
    state.rowStride = static_cast<std::size_t>(RowStride(width, 24));
    state.imageDataSize = state.rowStride * static_cast<std::size_t>(height);
    state.decodedRowLength = 3 * static_cast<std::size_t>(width);
    state.capacity = state.decodedRowLength * static_cast<std::size_t>(height);
    state.inputBufferSize = state.rowStride;
    state.chunkSize = 9 * static_cast<std::size_t>(width);
    if (!state.SetupBuffers()) return state.FinishDecode(state.status);

    // The image ID is read past.
    std::array<std::uint8_t, 255> id;
    if (state.ReadBytes(id.data(), idLength) != idLength) {
        return state.FinishDecode(LoadStatus::Truncated);
    }
    if (!state.AllocDecoded()) return state.FinishDecode(state.status);
    DecodePixels(state, bytesPerPixel, imageType == kRunLengthTrueColour);
    state.input.Close();
    if (!state.NewImageRecord(nullptr, width, height, state.imageDataSize, state.headerSize, 24)) {
        return state.FinishDecode(state.status);
    }

    // Bottom first: decoded row i is record row i. Top first: the first
    // decoded row is the record's last.
    const bool topFirst = (descriptor & kTopFirst) != 0;
    state.percentFactor = 100.0f / static_cast<float>(height);
    std::uint8_t* const pixels = state.record.Pixels();
    for (std::int32_t i = 0; i < height; ++i) {
        const std::int32_t row = topFirst ? height - 1 - i : i;
        std::memcpy(pixels + static_cast<std::size_t>(row) * state.rowStride,
                    state.decoded.Data() + static_cast<std::size_t>(i) * state.decodedRowLength,
                    state.decodedRowLength);
        state.ReportProgress(kPhaseConverting, i + 1);
    }
    return state.FinishDecode(LoadStatus::Ok);
}

}  // namespace imagelib
