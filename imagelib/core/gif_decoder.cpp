#include "imagelib/core/gif_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "imagelib/core/image_limits.h"

namespace imagelib {
namespace {

constexpr std::uint8_t kExtensionIntroducer = '!';
constexpr std::uint8_t kImageSeparator = ',';
constexpr std::uint8_t kTrailer = ';';

constexpr std::uint8_t kColourTableFollows = 0x80;
constexpr std::uint8_t kInterlaced = 0x40;

// The record's bit count for a colour table of 2^bits entries.
int RecordBits(int bits) {
    if (bits == 1) return 1;
    return bits <= 4 ? 4 : 8;
}

// File row r of an interlaced picture of `height` rows goes to the picture
// row this answers: four passes from rows 0, 4, 2 and 1, every 8, 8, 4
// and 2 rows. A pass whose first row lies outside the picture has none.
class InterlacedRows {
public:
    explicit InterlacedRows(std::int32_t height) : height_(height) {}
    std::int32_t Next() {
        static constexpr std::int32_t kStart[] = {0, 4, 2, 1};
        static constexpr std::int32_t kStep[] = {8, 8, 4, 2};
        while (row_ >= height_ && pass_ < 3) row_ = kStart[++pass_];
        const std::int32_t row = row_;
        row_ += kStep[pass_];
        return row;
    }

private:
    std::int32_t height_;
    int pass_ = 0;
    std::int32_t row_ = 0;
};

// Packs one row of indices into `out`: 8 bits as they are, 4 bits two to
// a byte (first pixel in the high half), 1 bit eight to a byte (first
// pixel in the top bit), each index cut to its low bits.
void PackRow(const std::uint8_t* indices, std::int32_t width, int bits, std::uint8_t* out) {
    if (bits == 8) {
        std::memcpy(out, indices, static_cast<std::size_t>(width));
    } else if (bits == 4) {
        for (std::int32_t x = 0; x < width; ++x) {
            const auto nibble = static_cast<std::uint8_t>(indices[x] & 0x0F);
            out[x / 2] |= (x % 2 == 0) ? static_cast<std::uint8_t>(nibble << 4) : nibble;
        }
    } else {
        for (std::int32_t x = 0; x < width; ++x) {
            if (indices[x] & 1) out[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
    }
}

// Moves the decoded rows, in file order, into the record.
void PlaceRows(DecoderState& state, std::int32_t width, std::int32_t height, bool interlaced) {
    const int bits = state.bitsPerPixel;
    std::uint8_t* const pixels = state.record.Pixels();
    const std::uint8_t* row = state.decoded.Data();
    InterlacedRows interlace(height);
    // Row r reports r * 100 / (height - 1); a single row reports 100.
    state.percentFactor = height > 1 ? 100.0f / static_cast<float>(height - 1) : 100.0f;
    for (std::int32_t r = 0; r < height; ++r, row += width) {
        const std::int32_t y = interlaced ? interlace.Next() : r;
        PackRow(row, width, bits, pixels + static_cast<std::size_t>(height - 1 - y) * state.rowStride);
        state.ReportProgress(kPhaseConverting, height > 1 ? r : 1);
    }
}

// One image: its descriptor and colour table behind the separator, then
// its raster. Answers the status the decode ends with.
LoadStatus DecodeImage(DecoderState& state) {
    std::array<std::uint8_t, 9> descriptor{};
    if (state.ReadBytes(descriptor.data(), descriptor.size()) != descriptor.size()) {
        return LoadStatus::Truncated;
    }
    // The image's place on the logical screen plays no part.
    const std::int32_t width = descriptor[4] | (descriptor[5] << 8);
    const std::int32_t height = descriptor[6] | (descriptor[7] << 8);
    const std::uint8_t flags = descriptor[8];
    if (flags & kColourTableFollows) {
        const int bits = (flags & 7) + 1;
        const std::size_t bytes = std::size_t{3} << bits;
        // Its own table replaces the global one; indices beyond it are black.
        state.palette.fill(0);
        if (state.ReadBytes(state.palette.data(), bytes) != bytes) return LoadStatus::Truncated;
        state.bitsPerPixel = static_cast<std::uint16_t>(bits);
    }
    if (!ImageSizeAllowed(width, height) ||
        std::int64_t{width} * height > kMaxGifPixelsPerFileByte * state.fileSize) {
        return LoadStatus::BadHeader;
    }
    const int minimumCodeSize = state.ReadByte();
    if (state.endOfInput || !LzwDecoder::MinimumCodeSizeAllowed(minimumCodeSize)) {
        return LoadStatus::Truncated;
    }

    // One byte per pixel, rows in file order.
    state.capacity = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    state.decodedRowLength = static_cast<std::size_t>(width);
    if (!state.AllocDecoded()) return state.status;
    {
        // The decoded data starts zeroed: pixels the codes never reach keep
        // index 0, whether the codes end early or the file does.
        GifSubBlocks raster(state);
        LzwDecoder lzw(minimumCodeSize, raster);
        std::array<std::uint8_t, 4096> run;
        while (!state.outputFull && !lzw.Ended()) {
            state.EmitBytes(run.data(), lzw.Decode(run.data(), run.size()));
        }
        state.FlushOutput();
    }
    state.input.Close();

    const int bits = RecordBits(state.bitsPerPixel);
    state.bitsPerPixel = static_cast<std::uint16_t>(bits);
    state.colours = static_cast<std::uint16_t>(ColourCount(1, static_cast<std::uint32_t>(bits)));
    state.headerSize = kInfoHeaderSize + 4 * std::size_t{state.colours};
    state.rowStride = static_cast<std::size_t>(RowStride(width, bits));
    state.imageDataSize = state.rowStride * static_cast<std::size_t>(height);
    if (!state.NewImageRecord(&state.palette, width, height, state.imageDataSize,
                              state.headerSize, bits)) {
        return state.status;
    }
    PlaceRows(state, width, height, (flags & kInterlaced) != 0);
    return LoadStatus::Ok;
}

}  // namespace

std::span<const std::uint8_t> GifSubBlocks::NextBlock() {
    if (finished_) return {};
    const std::uint8_t length = state_.ReadByte();
    if (length == 0 || state_.endOfInput) {
        finished_ = true;
        return {};
    }
    const std::size_t got = state_.ReadBytes(block_, length);
    if (got < length) finished_ = true;
    return {block_, got};
}

bool GifSubBlocks::SkipRest() {
    while (!NextBlock().empty()) {
    }
    return !state_.endOfInput;
}

bool DecodeGif(DecoderState& state) {
    if (!state.OpenInput()) return state.FinishDecode(state.status);
    state.inputBufferSize = kMinimumBufferSize;
    state.chunkSize = kMinimumBufferSize;
    if (!state.SetupBuffers()) return state.FinishDecode(state.status);

    // The signature must open the file (detection finds "GIF" anywhere in
    // the first bytes); the version is not looked at.
    std::array<std::uint8_t, 6> header{};
    if (state.ReadDirect(header.data(), header.size()) != header.size()) {
        return state.FinishDecode(LoadStatus::Truncated);
    }
    if (header[0] != 'G' || header[1] != 'I' || header[2] != 'F') {
        return state.FinishDecode(LoadStatus::BadHeader);
    }
    // Of the logical screen only the global table's presence and size count.
    std::array<std::uint8_t, 7> screen{};
    if (state.ReadDirect(screen.data(), screen.size()) != screen.size()) {
        return state.FinishDecode(LoadStatus::Truncated);
    }
    const int bits = (screen[4] & 7) + 1;
    state.bitsPerPixel = static_cast<std::uint16_t>(bits);
    if (screen[4] & kColourTableFollows) {
        const std::size_t bytes = std::size_t{3} << bits;
        if (state.ReadDirect(state.palette.data(), bytes) != bytes) {
            return state.FinishDecode(LoadStatus::Truncated);
        }
    }

    for (;;) {
        const std::uint8_t introducer = state.ReadByte();
        if (state.endOfInput) return state.FinishDecode(LoadStatus::Truncated);
        switch (introducer) {
        case kExtensionIntroducer: {
            state.ReadByte();  // the label: every extension is read past
            GifSubBlocks extension(state);
            if (state.endOfInput || !extension.SkipRest()) {
                return state.FinishDecode(LoadStatus::Truncated);
            }
            break;
        }
        case kImageSeparator:
            // Only the first image of a file is ever decoded.
            return state.FinishDecode(DecodeImage(state));
        case kTrailer:
            // The file ends without an image: there is nothing to show.
            return state.FinishDecode(LoadStatus::BadHeader);
        default:
            // Stray bytes between blocks are skipped.
            break;
        }
    }
}

}  // namespace imagelib
