#include "imagelib/core/gif_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>

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
void PlaceRows(NewRecord& record, const RecordLayout& layout, const DecodedData& decoded, bool interlaced) {
    std::uint8_t* const pixels = record.Pixels();
    const std::uint8_t* row = decoded.Data();
    InterlacedRows interlace(layout.height);
    // Row r reports r * 100 / (height - 1); a single row reports 100.
    const bool oneRow = layout.height == 1;
    record.ScaleRows(oneRow ? 1 : layout.height - 1);
    for (std::int32_t r = 0; r < layout.height; ++r, row += layout.width) {
        const std::int32_t y = interlaced ? interlace.Next() : r;
        PackRow(row, layout.width, layout.bits, pixels + layout.TopDownRow(y));
        record.ReportRow(oneRow ? 1 : r);
    }
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
        std::int64_t{width} * height > kMaxGifPixelsPerFileByte * static_cast<std::int64_t>(input.Size())) {
        return LoadStatus::BadHeader;
    }
    const int minimumCodeSize = input.Byte();
    if (input.Ended() || !LzwDecoder::MinimumCodeSizeAllowed(minimumCodeSize)) {
        return LoadStatus::Truncated;
    }

    // One byte per pixel, rows in file order. The decoded data starts
    // zeroed: pixels the codes never reach keep index 0, whether the codes
    // end early or the file does.
    DecodedData decoded;
    if (!decoded.Allocate(static_cast<std::size_t>(width) * static_cast<std::size_t>(height))) {
        return LoadStatus::OutOfMemory;
    }
    {
        GifSubBlocks raster(input);
        LzwDecoder lzw(minimumCodeSize, raster);
        while (!decoded.Full() && !lzw.Ended()) {
            const std::span<std::uint8_t> room = decoded.Room();
            decoded.Advance(lzw.Decode(room.data(), room.size()));
        }
    }

    const RecordLayout layout = RecordLayout::For(width, height, RecordBits(bits));
    const auto [record, made] = state.MakeRecord(layout, &palette);
    if (!record) return made;
    PlaceRows(*record, layout, decoded, (flags & kInterlaced) != 0);
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
