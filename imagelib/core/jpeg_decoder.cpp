// The decompressor runs in a C-style island: libjpeg leaves a failed
// decode by longjmp, so no object with a destructor may be alive in the
// frames between the setjmp in RunDecompressor and the libjpeg calls.
// RunDecompressor turns every outcome into a plain LoadStatus.
#include "imagelib/core/jpeg_decoder.h"

#include <algorithm>
#include <cstddef>
#include <span>

#include <jerror.h>

#include "imagelib/core/exif_orientation.h"
#include "imagelib/core/image_limits.h"
#include "imagelib/core/jpeg_errors.h"

namespace imagelib {
namespace {

// The whole file is the source's buffer from the start, so a refill means
// the data has ended: an end-of-image marker is supplied with the
// library's premature-end warning, so a file cut short still decodes. An
// empty file is the library's empty-input error.
struct JpegSource {
    jpeg_source_mgr manager;  // first: as for the errors
    JOCTET endOfImage[2];
};

void InitSource(j_decompress_ptr) {}

boolean FillInput(j_decompress_ptr info) {
    auto* source = reinterpret_cast<JpegSource*>(info->src);
    if (source->manager.next_input_byte == nullptr) ERREXIT(info, JERR_INPUT_EMPTY);
    WARNMS(info, JWRN_JPEG_EOF);
    source->endOfImage[0] = 0xFF;
    source->endOfImage[1] = JPEG_EOI;
    source->manager.next_input_byte = source->endOfImage;
    source->manager.bytes_in_buffer = 2;
    return TRUE;
}

void SkipInput(j_decompress_ptr info, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* source = info->src;
    while (count > static_cast<long>(source->bytes_in_buffer)) {
        count -= static_cast<long>(source->bytes_in_buffer);
        (void)(*source->fill_input_buffer)(info);
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= static_cast<std::size_t>(count);
}

void TermSource(j_decompress_ptr) {}

void AttachSource(jpeg_decompress_struct& info, JpegSource& source,
                  std::span<const std::uint8_t> file) {
    source.manager.init_source = InitSource;
    source.manager.fill_input_buffer = FillInput;
    source.manager.skip_input_data = SkipInput;
    source.manager.resync_to_restart = jpeg_resync_to_restart;
    source.manager.term_source = TermSource;
    source.manager.next_input_byte = file.empty() ? nullptr : file.data();
    source.manager.bytes_in_buffer = file.size();
    info.src = &source.manager;
}

bool ImageSizeJustified(std::int64_t width, std::int64_t height, std::int64_t fileSize) {
    return ImageSizeAllowed(width, height) &&
           width * height <= kMaxJpegPixelsPerFileByte * std::max<std::int64_t>(fileSize, 1);
}

// The orientation of the first Exif block among the saved APP1 segments.
Orientation OrientationOf(const jpeg_decompress_struct& info) {
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next) {
        const std::span<const std::uint8_t> data(marker->data, marker->data_length);
        if (marker->marker == JPEG_APP0 + 1 && IsExifBlock(data)) return ExifOrientation(data);
    }
    return Orientation::Upright;
}

// A row of C, M, Y, K samples as blue, green, red, in place. The samples
// are taken as inverted, as Adobe's applications write them (255 is no
// ink), and converted as djpeg converts them: red is C * K / 255, and so
// on, rounded.
void CmykToBgr(std::uint8_t* row, JDIMENSION width) {
    const std::uint8_t* from = row;
    std::uint8_t* to = row;
    for (JDIMENSION x = 0; x < width; ++x, from += 4, to += 3) {
        const unsigned c = from[0], m = from[1], y = from[2], k = from[3];
        to[0] = static_cast<std::uint8_t>((y * k + 127) / 255);
        to[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
        to[2] = static_cast<std::uint8_t>((c * k + 127) / 255);
    }
}

// Rows decoded this many at a time where they are not decoded straight
// into the record: turned pictures and four-component files.
constexpr int kBandRows = 16;

// The island. Only trivially destructible objects live in this frame.
LoadStatus RunDecompressor(DecoderState& state) {
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    JpegSource source{};
    info.err = AttachJpegErrors(errors, state.Environment().prompts);
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&info);
        return errors.failure;
    }
    jpeg_create_decompress(&info);
    jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
    ByteReader& input = state.Input();
    AttachSource(info, source, input.TakeHeader(input.Size()));
    jpeg_read_header(&info, TRUE);

    const bool grey = info.jpeg_color_space == JCS_GRAYSCALE && info.num_components == 1;
    const bool colour = (info.jpeg_color_space == JCS_YCbCr || info.jpeg_color_space == JCS_RGB) &&
                        info.num_components == 3;
    const bool inks = (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) &&
                      info.num_components == 4;
    if ((!grey && !colour && !inks) ||
        !ImageSizeJustified(info.image_width, info.image_height,
                            static_cast<std::int64_t>(input.Size()))) {
        jpeg_destroy_decompress(&info);
        return LoadStatus::BadHeader;
    }
    const Orientation orientation = OrientationOf(info);

    const JpegReadOptions& options = state.Environment().jpegOptions;
    info.scale_num = 1;
    info.scale_denom = 1;
    info.dct_method = JDCT_ISLOW;
    info.dither_mode = options.ditherMode <= JDITHER_FS
                           ? static_cast<J_DITHER_MODE>(options.ditherMode)
                           : JDITHER_FS;
    info.two_pass_quantize = options.twoPass != 0 ? TRUE : FALSE;
    int bits = 24;
    if (grey) {
        // libjpeg's one-pass quantizer with 256 levels: its grey map is the
        // identity, so the dithered values are the decoded ones.
        bits = 8;
        info.quantize_colors = TRUE;
        info.desired_number_of_colors = 256;
    } else {
        info.out_color_space = inks ? JCS_CMYK : JCS_EXT_BGR;  // YCCK too comes out as CMYK
        info.quantize_colors = FALSE;
    }
    jpeg_start_decompress(&info);

    PaletteTriples palette{};
    if (grey) {
        const int count = std::min(info.actual_number_of_colors, 256);
        for (int i = 0; i < count; ++i) {
            const JSAMPLE level = info.colormap[0][i];
            for (int c = 0; c < 3; ++c) palette[3 * i + c] = level;
        }
    }
    const auto width = static_cast<std::int32_t>(info.output_width);
    const auto height = static_cast<std::int32_t>(info.output_height);
    const RecordLayout layout = SwapsSides(orientation) ? RecordLayout::For(height, width, bits)
                                                        : RecordLayout::For(width, height, bits);
    const auto [record, made] = state.MakeRecord(layout, grey ? &palette : nullptr);
    if (!record) {
        jpeg_destroy_decompress(&info);
        return made;
    }
    record->ScaleRows(height);  // progress counts the rows as decoded

    std::uint8_t* const pixels = record->Pixels();
    if (orientation == Orientation::Upright && !inks) {
        // Rows come top first and are stored bottom row first: the first
        // row decoded lands in the record's last row.
        while (info.output_scanline < info.output_height) {
            JSAMPROW row =
                pixels + layout.TopDownRow(static_cast<std::int32_t>(info.output_scanline));
            if (jpeg_read_scanlines(&info, &row, 1) != 1) break;
            record->ReportRow(info.output_scanline);
        }
    } else {
        const int bytesPerPixel = grey ? 1 : 3;
        const UprightPlacement placement =
            UprightPlacement::For(orientation, width, height, layout, bytesPerPixel);
        JSAMPARRAY band = (*info.mem->alloc_sarray)(
            reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
            info.output_width * static_cast<JDIMENSION>(info.output_components), kBandRows);
        while (info.output_scanline < info.output_height) {
            const JDIMENSION first = info.output_scanline;
            JDIMENSION count = 0;
            while (count < kBandRows && info.output_scanline < info.output_height) {
                const JDIMENSION read = jpeg_read_scanlines(&info, band + count, kBandRows - count);
                if (read == 0) break;
                count += read;
            }
            if (count == 0) break;
            if (inks) {
                for (JDIMENSION r = 0; r < count; ++r) CmykToBgr(band[r], info.output_width);
            }
            placement.Place(static_cast<std::int32_t>(first), static_cast<std::int32_t>(count),
                            band, pixels);
            for (JDIMENSION r = 1; r <= count; ++r) record->ReportRow(first + r);
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return LoadStatus::Ok;
}

}  // namespace

LoadStatus DecodeJpeg(DecoderState& state) { return RunDecompressor(state); }

}  // namespace imagelib
