#include "imagelib/core/gif_decoder.h"

#include <algorithm>
#include <array>

#include "imagelib/core/byte_buffer.h"
#include "imagelib/core/image_limits.h"
#include "imagelib/core/little_endian.h"

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

// Packs `count` indices of one row into `out`, which starts zeroed: 4 bits
// two to a byte (first pixel in the high half) or 1 bit eight to a byte
// (first pixel in the top bit), each index cut to its low bits.
void PackRow(const std::uint8_t* indices, std::size_t count, int bits, std::uint8_t* out) {
    if (bits == 4) {
        for (std::size_t x = 0; x < count; ++x) {
            const auto nibble = static_cast<std::uint8_t>(indices[x] & 0x0F);
            out[x / 2] |= (x % 2 == 0) ? static_cast<std::uint8_t>(nibble << 4) : nibble;
        }
    } else {
        for (std::size_t x = 0; x < count; ++x) {
            if (indices[x] & 1) out[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
    }
}

// Decodes the raster into the record's rows as the file orders them: an
// 8-bit record's rows take the indices directly, others are packed from a
// row of indices. Pixels the codes never reach keep the record's zeroes,
// whether the codes end early or the file does. False when the row of
// indices cannot be had.
bool PlaceRows(NewRecord& record, const RecordLayout& layout, LzwDecoder& lzw, bool interlaced) {
    const auto width = static_cast<std::size_t>(layout.width);
    std::uint8_t* const pixels = record.Pixels();
    const bool direct = layout.bits == 8;
    ByteBuffer indices = direct ? ByteBuffer() : ByteBuffer::Uninitialised(width);
    if (!direct && !indices) return false;
    InterlacedRows interlace(layout.height);
    for (std::int32_t r = 0; r < layout.height && !lzw.Ended(); ++r) {
        std::uint8_t* const row = pixels + layout.TopDownRow(interlaced ? interlace.Next() : r);
        if (direct) {
            const std::size_t count = lzw.Decode(row, width);
            // Decode may have written over the rest of the row.
            std::fill(row + count, row + width, std::uint8_t{0});
        } else {
            PackRow(indices.Data(), lzw.Decode(indices.Data(), width), layout.bits, row);
        }
    }

    // Row r reports r * 100 / (height - 1); a single row reports 100.
    const bool oneRow = layout.height == 1;
    record.ScaleRows(oneRow ? 1 : layout.height - 1);
    for (std::int32_t r = 0; r < layout.height; ++r) record.ReportRow(oneRow ? 1 : r);
    return true;
}

// One image: its descriptor and colour table behind the separator, then
// its raster. `bits` is the size of the colour table so far (2^bits
// entries), `palette` its colours. Answers the status the decode ends with.
LoadStatus DecodeImage(DecoderState& state, PaletteTriples& palette, int bits) {
    ByteReader& input = state.Input();
    std::array<std::uint8_t, 9> descriptor{};
    if (!input.Read(descriptor.data(), descriptor.size())) return LoadStatus::Truncated;
    // The image's place on the logical screen plays no part.
    const std::int32_t width = ReadU16(&descriptor[4]);
    const std::int32_t height = ReadU16(&descriptor[6]);
    const std::uint8_t flags = descriptor[8];
    if (flags & kColourTableFollows) {
        bits = (flags & 7) + 1;
        const std::size_t bytes = std::size_t{3} << bits;
        // Its own table takes the place of the global one's first entries;
        // entries beyond it keep the global colours (or black).
        if (!input.Read(palette.data(), bytes)) return LoadStatus::Truncated;
    }
    if (!ImageSizeAllowed(width, height) ||
        std::int64_t{width} * height >
            kMaxGifPixelsPerFileByte * static_cast<std::int64_t>(input.Size())) {
        return LoadStatus::BadHeader;
    }
    const int minimumCodeSize = input.Byte();
    if (input.Ended() || !LzwDecoder::MinimumCodeSizeAllowed(minimumCodeSize)) {
        return LoadStatus::Truncated;
    }

    const RecordLayout layout = RecordLayout::For(width, height, RecordBits(bits));
    const auto [record, made] = state.MakeRecord(layout, &palette);
    if (!record) return made;
    GifSubBlocks raster(input);
    LzwDecoder lzw(minimumCodeSize, raster);
    if (!PlaceRows(*record, layout, lzw, (flags & kInterlaced) != 0))
        return LoadStatus::OutOfMemory;
    return LoadStatus::Ok;
}

}  // namespace

std::span<const std::uint8_t> GifSubBlocks::NextBlock() {
    if (finished_) return {};
    const std::uint8_t length = input_.Byte();
    if (length == 0 || input_.Ended()) {
        finished_ = true;
        return {};
    }
    const std::span<const std::uint8_t> block = input_.Take(length);
    if (block.size() < length) finished_ = true;
    return block;
}

bool GifSubBlocks::SkipRest() {
    while (!NextBlock().empty()) {
    }
    return !input_.Ended();
}

LoadStatus DecodeGif(DecoderState& state) {
    ByteReader& input = state.Input();

    // The signature must open the file (detection finds "GIF" anywhere in
    // the first bytes); the version is not looked at.
    const std::span<const std::uint8_t> header = input.TakeHeader(6);
    if (header.empty()) return LoadStatus::Truncated;
    if (header[0] != 'G' || header[1] != 'I' || header[2] != 'F') {
        return LoadStatus::BadHeader;
    }
    // Of the logical screen only the global table's presence and size count.
    const std::span<const std::uint8_t> screen = input.TakeHeader(7);
    if (screen.empty()) return LoadStatus::Truncated;
    const int bits = (screen[4] & 7) + 1;
    PaletteTriples palette{};
    if (screen[4] & kColourTableFollows) {
        const std::span<const std::uint8_t> table = input.TakeHeader(std::size_t{3} << bits);
        if (table.empty()) return LoadStatus::Truncated;
        std::copy(table.begin(), table.end(), palette.begin());
    }

    for (;;) {
        const std::uint8_t introducer = input.Byte();
        if (input.Ended()) return LoadStatus::Truncated;
        switch (introducer) {
        case kExtensionIntroducer: {
            input.Byte();  // the label: every extension is read past
            GifSubBlocks extension(input);
            if (input.Ended() || !extension.SkipRest()) return LoadStatus::Truncated;
            break;
        }
        case kImageSeparator:
            // Only the first image of a file is ever decoded.
            return DecodeImage(state, palette, bits);
        case kTrailer:
            // The file ends without an image: there is nothing to show.
            return LoadStatus::BadHeader;
        default:
            // Stray bytes between blocks are skipped.
            break;
        }
    }
}

}  // namespace imagelib
