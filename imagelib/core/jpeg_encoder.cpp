// The compressor runs in a C-style island, as the decompressor does:
// nothing with a destructor is alive in the frames between the setjmp in
// RunCompressor and the libjpeg calls, and the outcome leaves as a plain
// LoadStatus.
#include "imagelib/core/jpeg_encoder.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

#include "imagelib/core/image_limits.h"
#include "imagelib/core/jpeg_errors.h"
#include "imagelib/core/little_endian.h"
#include "imagelib/core/replacement_file.h"

namespace imagelib {
namespace {

// One colour of a 16- or 32-bit pixel: the bits of its mask, scaled to 0-255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t maximum = 0;  // the mask moved down to bit 0

    explicit Channel(std::uint32_t bits = 0) : mask(bits) {
        if (mask == 0) return;
        shift = std::countr_zero(mask);
        maximum = mask >> shift;
    }
    std::uint8_t Of(std::uint32_t pixel) const {
        if (maximum == 0) return 0;
        const std::uint64_t value = (pixel & mask) >> shift;  // at most maximum
        return static_cast<std::uint8_t>((value * 255 + maximum / 2) / maximum);
    }
};

// Where a record's pixels are and how they become blue, green, red.
struct PixelLayout {
    std::int32_t width = 0;
    std::int32_t rows = 0;
    bool topDown = false;  // the record's first row is the top of the picture
    int bitCount = 0;      // 16, 24 or 32
    std::size_t stride = 0;
    Channel red, green, blue;  // 16 and 32 bits
};

// The layout of a record that can be saved; none for palette records and
// for anything the platform would not draw as a true-colour bitmap.
std::optional<PixelLayout> LayoutOf(const ImageRecord& record) {
    if (!record || record.Size() < kInfoHeaderSize) return std::nullopt;
    const InfoHeader header = record.Header();
    const bool masked = header.compression == kCompressionBitfields;
    if (header.planes != 1 || (header.compression != kCompressionNone && !masked)) {
        return std::nullopt;
    }
    PixelLayout layout;
    layout.bitCount = header.bitCount;
    switch (header.bitCount) {
    case 24:
        if (masked) return std::nullopt;
        break;
    case 16:
    case 32: {
        std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};  // plain 16 bits: 5-5-5
        if (masked) {
            // The three masks stand where a colour table would.
            if (record.Size() < kInfoHeaderSize + 12) return std::nullopt;
            for (int i = 0; i < 3; ++i)
                masks[i] = ReadU32(record.Bytes() + kInfoHeaderSize + 4 * i);
        } else if (header.bitCount == 32) {
            masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
        }
        if (header.bitCount == 16) {
            for (std::uint32_t& mask : masks) mask &= 0xFFFF;
        }
        layout.red = Channel(masks[0]);
        layout.green = Channel(masks[1]);
        layout.blue = Channel(masks[2]);
        break;
    }
    default: return std::nullopt;  // 1 to 8 bits, and kinds no decoder makes
    }
    if (header.height == INT32_MIN) return std::nullopt;
    layout.width = header.width;
    layout.rows = header.height < 0 ? -header.height : header.height;
    layout.topDown = header.height < 0;
    if (!ImageSizeAllowed(layout.width, layout.rows)) return std::nullopt;
    layout.stride = static_cast<std::size_t>(DibRowStride(layout.width, layout.bitCount));
    // Never read beyond the record, whatever its header says.
    const std::size_t offset = record.PixelOffset();
    if (offset > record.Size() ||
        (record.Size() - offset) / layout.stride < static_cast<std::size_t>(layout.rows)) {
        return std::nullopt;
    }
    return layout;
}

// One stored row as blue, green, red.
void ConvertRow(const PixelLayout& layout, const std::uint8_t* from, std::uint8_t* to) {
    if (layout.bitCount == 24) {
        std::memcpy(to, from, static_cast<std::size_t>(layout.width) * 3);
        return;
    }
    const int bytes = layout.bitCount / 8;
    for (std::int32_t x = 0; x < layout.width; ++x, from += bytes, to += 3) {
        std::uint32_t pixel = 0;
        for (int i = 0; i < bytes; ++i) pixel |= static_cast<std::uint32_t>(from[i]) << (8 * i);
        to[0] = layout.blue.Of(pixel);
        to[1] = layout.green.Of(pixel);
        to[2] = layout.red.Of(pixel);
    }
}

// The island. Only trivially destructible objects live in this frame.
LoadStatus RunCompressor(const std::uint8_t* pixels, const PixelLayout& layout, std::FILE* file,
                         std::int32_t quality, UserPrompts* prompts, const ProgressScale& rows) {
    jpeg_compress_struct info{};
    JpegErrors errors{};
    info.err = AttachJpegErrors(errors, prompts);
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_compress(&info);
        return errors.failure;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(layout.width);
    info.image_height = static_cast<JDIMENSION>(layout.rows);
    info.input_components = 3;
    info.in_color_space = JCS_EXT_BGR;  // the order of the rows
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);  // libjpeg keeps it to 1 to 100
    jpeg_start_compress(&info, TRUE);

    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               info.image_width * 3, 1);
    while (info.next_scanline < info.image_height) {
        const std::size_t top = info.next_scanline;
        const std::size_t stored = layout.topDown ? top : layout.rows - 1 - top;
        ConvertRow(layout, pixels + stored * layout.stride, row[0]);
        jpeg_write_scanlines(&info, row, 1);
        rows.Report(info.next_scanline);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return LoadStatus::Ok;
}

}  // namespace

LoadStatus EncodeJpeg(const ImageRecord& record, const std::string& fileName, std::int32_t quality,
                      const DecodeEnvironment& environment) {
    const std::optional<PixelLayout> layout = LayoutOf(record);
    if (!layout) return LoadStatus::CannotSave;
    const ProgressScale rows(environment.progressHook, kPhaseConverting,
                             static_cast<double>(layout->rows));

    ReplacementFile output;
    LoadStatus status = output.Create(fileName);
    if (status == LoadStatus::Ok) {
        status = RunCompressor(record.Pixels(), *layout, output.Stream(), quality,
                               environment.prompts, rows);
    }
    if (status == LoadStatus::Ok) status = output.Commit();
    return status;  // a file not committed is removed here
}

}  // namespace imagelib
