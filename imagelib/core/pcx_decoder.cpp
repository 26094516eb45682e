#include "imagelib/core/pcx_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "imagelib/core/byte_buffer.h"
#include "imagelib/core/image_limits.h"
#include "imagelib/core/little_endian.h"

namespace imagelib {
namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::uint8_t kManufacturer = 10;
constexpr std::uint8_t kVersionWithoutPalette = 3;
constexpr std::uint8_t kRunLengthEncoded = 1;
constexpr std::size_t kPaletteBlockSize = 769;  // the marker and 256 triples
constexpr std::uint8_t kPaletteMarker = 12;

struct Layout {
    int bitsPerPlane = 0;
    int planes = 0;
    std::size_t bytesPerLine = 0;
    int RecordBits() const {
        const int bits = bitsPerPlane * planes;
        return bits == 2 ? 4 : bits;
    }
};

bool LayoutRead(const Layout& layout) {
    switch (layout.bitsPerPlane) {
    case 1: return layout.planes == 1 || layout.planes == 2 || layout.planes == 4;
    case 2: return layout.planes == 1 || layout.planes == 2;
    case 4: return layout.planes == 1;
    case 8: return layout.planes == 1 || layout.planes == 3;
    default: return false;
    }
}

// The colours of the picture (not of a 24-bit one) into `palette`.
LoadStatus ReadColours(DecoderState& state, const std::uint8_t* header, const Layout& layout,
                       PaletteTriples& palette) {
    const std::size_t count =
        ColourCount(1, static_cast<std::uint32_t>(layout.bitsPerPlane * layout.planes));
    if (header[1] == kVersionWithoutPalette) {
        const DisplayPalette* display = state.Environment().displayPalette;
        if (!display || !display->SystemColours(count, palette)) FixedPcxColours(count, palette);
        return LoadStatus::Ok;
    }
    if (count <= 16) {
        std::memcpy(palette.data(), header + 16, 3 * count);
        return LoadStatus::Ok;
    }
    // 256 colours: a marker byte and the table close the file.
    ByteReader& input = state.Input();
    if (input.Size() < kPaletteBlockSize || !input.Seek(input.Size() - kPaletteBlockSize)) {
        return LoadStatus::Truncated;
    }
    const std::span<const std::uint8_t> block = input.TakeHeader(kPaletteBlockSize);
    if (block[0] != kPaletteMarker) return LoadStatus::BadHeader;
    std::copy(block.begin() + 1, block.end(), palette.begin());
    return LoadStatus::Ok;
}

// Scan lines into the decoded data: with run-length encoding a byte with
// both top bits set repeats the next byte (its low six bits) times; runs
// may cross lines and planes. Other encodings store the bytes plainly.
void Decompress(ByteReader& input, DecodedData& decoded, bool runLength) {
    if (!runLength) {
        while (!decoded.Full() && !input.Ended()) {
            const std::span<const std::uint8_t> bytes = input.Take(4096);
            decoded.Put(bytes.data(), bytes.size());
        }
    }
    while (runLength && !decoded.Full()) {
        const std::uint8_t byte = input.Byte();
        if (input.Ended()) break;
        if ((byte & 0xC0) != 0xC0) {
            decoded.Put(byte);
            continue;
        }
        const std::uint8_t value = input.Byte();
        if (input.Ended()) break;
        for (int n = byte & 0x3F; n > 0; --n) decoded.Put(value);
    }
}

// Pixel x of one plane of `bits` bits per pixel, packed first pixel first.
unsigned Sample(const std::uint8_t* plane, std::int32_t x, int bits) {
    const std::int64_t bit = std::int64_t{x} * bits;
    const int shift = 8 - bits - static_cast<int>(bit % 8);
    return (plane[bit / 8] >> shift) & ((1u << bits) - 1);
}

// One scan line (its planes one after another) into one record row. A
// line shorter than the picture is wide (writers whose "x max" is one too
// large make them) fills the row as far as it goes; the rest stays 0.
void PlaceRow(const std::uint8_t* line, const Layout& layout, std::int32_t width,
              std::uint8_t* out) {
    const std::size_t plane = layout.bytesPerLine;
    const auto held = static_cast<std::int32_t>(
        std::min<std::int64_t>(width, static_cast<std::int64_t>(plane) * 8 / layout.bitsPerPlane));
    switch (layout.RecordBits()) {
    case 1: std::memcpy(out, line, static_cast<std::size_t>((held + 7) / 8)); break;
    case 8: std::memcpy(out, line, static_cast<std::size_t>(held)); break;
    case 24:
        for (std::int32_t x = 0; x < held; ++x) {
            out[3 * x + 0] = line[2 * plane + x];
            out[3 * x + 1] = line[plane + x];
            out[3 * x + 2] = line[x];
        }
        break;
    default:  // 4 bits, two pixels to a byte, from planes of 1 or 2 bits
        for (std::int32_t x = 0; x < held; ++x) {
            unsigned value = 0;
            for (int p = 0; p < layout.planes; ++p) {
                value |= Sample(line + p * plane, x, layout.bitsPerPlane)
                         << (p * layout.bitsPerPlane);
            }
            out[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? value << 4 : value);
        }
        break;
    }
}

}  // namespace

void FixedPcxColours(std::size_t count, PaletteTriples& triples) {
    static constexpr std::uint8_t kStandard[16][3] = {
        {0x00, 0x00, 0x00}, {0x00, 0x00, 0xAA}, {0x00, 0xAA, 0x00}, {0x00, 0xAA, 0xAA},
        {0xAA, 0x00, 0x00}, {0xAA, 0x00, 0xAA}, {0xAA, 0x55, 0x00}, {0xAA, 0xAA, 0xAA},
        {0x55, 0x55, 0x55}, {0x55, 0x55, 0xFF}, {0x55, 0xFF, 0x55}, {0x55, 0xFF, 0xFF},
        {0xFF, 0x55, 0x55}, {0xFF, 0x55, 0xFF}, {0xFF, 0xFF, 0x55}, {0xFF, 0xFF, 0xFF}};
    static constexpr std::uint8_t kFour[4][3] = {
        {0x00, 0x00, 0x00}, {0x55, 0xFF, 0xFF}, {0xFF, 0x55, 0xFF}, {0xFF, 0xFF, 0xFF}};
    triples.fill(0);
    if (count <= 2) {
        std::fill_n(triples.begin() + 3, 3, 0xFF);
    } else if (count <= 4) {
        std::memcpy(triples.data(), kFour, sizeof kFour);
    } else {
        std::memcpy(triples.data(), kStandard, sizeof kStandard);
    }
    if (count <= 16) return;
    std::uint8_t* entry = triples.data() + sizeof kStandard;
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b, entry += 3) {
                entry[0] = static_cast<std::uint8_t>(51 * r);
                entry[1] = static_cast<std::uint8_t>(51 * g);
                entry[2] = static_cast<std::uint8_t>(51 * b);
            }
        }
    }
    for (int i = 0; i < 24; ++i, entry += 3)
        std::fill_n(entry, 3, static_cast<std::uint8_t>(8 + 10 * i));
}

LoadStatus DecodePcx(DecoderState& state) {
    ByteReader& input = state.Input();
    const std::span<const std::uint8_t> headerBytes = input.TakeHeader(kHeaderSize);
    if (headerBytes.empty()) return LoadStatus::Truncated;
    const std::uint8_t* const header = headerBytes.data();
    if (header[0] != kManufacturer) return LoadStatus::BadHeader;

    const Layout layout{header[3], header[65], static_cast<std::size_t>(ReadU16(header + 66))};
    const std::int32_t width = ReadU16(header + 8) - ReadU16(header + 4) + 1;
    const std::int32_t height = ReadU16(header + 10) - ReadU16(header + 6) + 1;
    // The scan lines must fit one block, counted in 64 bits: where size_t
    // has 32, a larger count would wrap to a small block whose rows are
    // then read at their true stride. A line may be shorter than the
    // picture is wide, but not empty, and the file must be large enough
    // for lines of the full width, so that a few bytes cannot claim a wide
    // picture.
    const std::int64_t lineBytes = static_cast<std::int64_t>(layout.bytesPerLine) * layout.planes;
    const std::int64_t widthBytes = (std::int64_t{width} * layout.bitsPerPlane + 7) / 8;
    const std::int64_t fullLineBytes =
        std::max(static_cast<std::int64_t>(layout.bytesPerLine), widthBytes) * layout.planes;
    if (!LayoutRead(layout) || !ImageSizeAllowed(width, height) || layout.bytesPerLine == 0 ||
        lineBytes * height > static_cast<std::int64_t>(kMaxBlockSize) ||
        fullLineBytes * height >
            kMaxPcxBytesPerFileByte * static_cast<std::int64_t>(input.Size())) {
        return LoadStatus::BadHeader;
    }
    const int bits = layout.RecordBits();
    PaletteTriples palette{};
    if (bits <= 8) {
        const LoadStatus coloured = ReadColours(state, header, layout, palette);
        if (coloured != LoadStatus::Ok) return coloured;
    }
    if (!input.Seek(kHeaderSize)) return LoadStatus::Truncated;

    const RecordLayout recordLayout = RecordLayout::For(width, height, bits);
    state.ReportReadingEvery(recordLayout.rowStride);
    DecodedData decoded;
    if (!decoded.Allocate(static_cast<std::size_t>(lineBytes * height)))
        return LoadStatus::OutOfMemory;
    Decompress(input, decoded, header[2] == kRunLengthEncoded);

    const auto [record, made] = state.MakeRecord(recordLayout, bits <= 8 ? &palette : nullptr);
    if (!record) return made;
    // The first line is the top of the picture, the record's last row.
    std::uint8_t* const pixels = record->Pixels();
    for (std::int32_t i = 0; i < height; ++i) {
        PlaceRow(decoded.Data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(lineBytes),
                 layout, width, pixels + recordLayout.TopDownRow(i));
        record->ReportRow(i + 1);
    }
    return LoadStatus::Ok;
}

}  // namespace imagelib
