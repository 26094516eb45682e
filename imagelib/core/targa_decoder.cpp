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
void DecodePixels(ByteReader& input, DecodedData& decoded, std::size_t bytesPerPixel,
                  bool runLength) {
    std::array<std::uint8_t, 4> pixel{};
    int repeats = 0;
    int raw = 0;
    while (!decoded.Full()) {
        if (runLength && repeats > 0) {
            --repeats;  // the previous pixel again
        } else {
            if (runLength && --raw < 0) {
                const std::uint8_t packet = input.Byte();
                if (packet & 0x80) {
                    repeats = packet & 0x7F;
                    raw = 0;
                } else {
                    raw = packet & 0x7F;
                }
            }
            // A pixel cut off by the end of the file is not shown.
            if (!input.Read(pixel.data(), bytesPerPixel)) break;
        }
        if (bytesPerPixel == 2) {
            const unsigned word = ReadU16(pixel.data());
            decoded.Put(kFiveToEightBits[word & 31]);
            decoded.Put(kFiveToEightBits[(word >> 5) & 31]);
            decoded.Put(kFiveToEightBits[(word >> 10) & 31]);
        } else {
            decoded.Put(pixel[0]);
            decoded.Put(pixel[1]);
            decoded.Put(pixel[2]);
        }
    }
}

}  // namespace

LoadStatus DecodeTarga(DecoderState& state) {
    ByteReader& input = state.Input();
    const std::span<const std::uint8_t> headerBytes = input.TakeHeader(kHeaderSize);
    if (headerBytes.empty()) return LoadStatus::Truncated;
    const std::uint8_t* const header = headerBytes.data();
    const std::size_t idLength = header[0];
    const std::uint8_t imageType = header[2];
    const std::int32_t width = ReadU16(header + 12);
    const std::int32_t height = ReadU16(header + 14);
    const int depth = header[16] == 15 ? 16 : header[16];
    const std::uint8_t descriptor = header[17];
    const std::size_t bytesPerPixel = static_cast<std::size_t>(depth / 8);
    if (ReadU16(header + 5) != 0 || depth % 8 != 0 || bytesPerPixel < 2 || bytesPerPixel > 4 ||
        (descriptor & kInterleaving) != 0 ||
        (imageType != kTrueColour && imageType != kRunLengthTrueColour) ||
        !ImageSizeAllowed(width, height) ||
        std::int64_t{width} * height >
            kMaxTargaPixelsPerFileByte * static_cast<std::int64_t>(input.Size())) {
        return LoadStatus::BadHeader;
    }

    // The record is always 24 bits per pixel without colour table.
    const RecordLayout layout = RecordLayout::For(width, height, 24);
    state.ReportReadingEvery(layout.rowStride);
    // The image ID is read past.
    if (input.Take(idLength).size() != idLength) return LoadStatus::Truncated;
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(width);
    DecodedData decoded;
    if (!decoded.Allocate(rowBytes * static_cast<std::size_t>(height)))
        return LoadStatus::OutOfMemory;
    DecodePixels(input, decoded, bytesPerPixel, imageType == kRunLengthTrueColour);
    const auto [record, made] = state.MakeRecord(layout, nullptr);
    if (!record) return made;

    // Bottom first: decoded row i is record row i. Top first: the first
    // decoded row is the record's last.
    const bool topFirst = (descriptor & kTopFirst) != 0;
    std::uint8_t* const pixels = record->Pixels();
    for (std::int32_t i = 0; i < height; ++i) {
        const std::size_t row =
            topFirst ? layout.TopDownRow(i) : static_cast<std::size_t>(i) * layout.rowStride;
        std::memcpy(pixels + row, decoded.Data() + static_cast<std::size_t>(i) * rowBytes,
                    rowBytes);
        record->ReportRow(i + 1);
    }
    return LoadStatus::Ok;
}

}  // namespace imagelib
