#include "imagelib/core/test_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

#include <jpeglib.h>

namespace imagelib::testing {
namespace {

void PutU16(Bytes& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}
void PutU32(Bytes& out, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

TempFolder::TempFolder() {
    std::random_device random;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate =
            base / ("imagelib-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate.string();
            return;
        }
    }
    throw std::runtime_error("no temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::PathOf(const std::string& name) const {
    return (std::filesystem::path(path_) / name).string();
}

std::string TempFolder::Write(const std::string& name, const Bytes& bytes) const {
    const std::string path = PathOf(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
    return path;
}

Picture TestPattern(int width, int height, int components) {
    Picture picture{width, height, components, {}};
    picture.samples.resize(static_cast<std::size_t>(width) * height * components);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel =
                picture.samples.data() + (static_cast<std::size_t>(y) * width + x) * components;
            for (int c = 0; c < components; ++c) {
                const double wave = std::sin(0.09 * (x + 1) * (c + 1) + 0.05 * y) * 60.0;
                const double ramp = 255.0 * (x + 2 * y + 37 * c) / (width + 2 * height + 80);
                // A hard edge across the picture.
                const double edge = (x * 3 > y * 2 + width) ? 40.0 : 0.0;
                const double value = ramp * 0.7 + wave + edge + 20.0;
                pixel[c] = static_cast<std::uint8_t>(std::clamp(value, 0.0, 255.0));
            }
        }
    }
    return picture;
}

Bytes EncodeJpeg(const Picture& picture, const JpegOptions& options) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(picture.width);
    info.image_height = static_cast<JDIMENSION>(picture.height);
    info.input_components = picture.components;
    info.in_color_space = picture.components == 1   ? JCS_GRAYSCALE
                          : picture.components == 4 ? JCS_CMYK
                                                    : JCS_RGB;
    jpeg_set_defaults(&info);
    if (picture.components == 4 && options.ycck) jpeg_set_colorspace(&info, JCS_YCCK);
    jpeg_set_quality(&info, options.quality, TRUE);
    if (options.progressive) jpeg_simple_progression(&info);
    // A JFIF block first, as detection wants, even on four-component files.
    info.write_JFIF_header = options.exifInsteadOfJfif ? FALSE : TRUE;
    jpeg_start_compress(&info, TRUE);
    if (options.exifInsteadOfJfif) {
        static const unsigned char kExif[] = {'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8};
        jpeg_write_marker(&info, JPEG_APP0 + 1, kExif, sizeof kExif);
    }
    const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * picture.components;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(picture.samples.data() + info.next_scanline * rowBytes);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

Bytes BuildBmp(const BmpFile& file) {
    const std::size_t headersSize = 14 + file.infoHeaderSize;
    const std::size_t rowsAt = headersSize + file.colourTable.size();
    const std::size_t fileSize = rowsAt + file.pixelData.size();
    Bytes out(fileSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    PutU32(out, 2, file.fileSizeField.value_or(static_cast<std::uint32_t>(fileSize)));
    PutU32(out, 10, file.bitsOffset.value_or(static_cast<std::uint32_t>(rowsAt)));
    PutU32(out, 14, file.infoHeaderSize);
    if (file.infoHeaderSize >= 40) {
        PutU32(out, 18, static_cast<std::uint32_t>(file.width));
        PutU32(out, 22, static_cast<std::uint32_t>(file.height));
        PutU16(out, 26, file.planes);
        PutU16(out, 28, file.bitCount);
        PutU32(out, 30, file.compression);
        PutU32(out, 34, file.imageDataSize);
        PutU32(out, 46, file.coloursUsed);
    }
    std::copy(file.colourTable.begin(), file.colourTable.end(), out.begin() + headersSize);
    std::copy(file.pixelData.begin(), file.pixelData.end(), out.begin() + rowsAt);
    return out;
}

Bytes BmpRows24(const Picture& picture, bool topDown) {
    const std::size_t stride = (static_cast<std::size_t>(picture.width) * 3 + 3) / 4 * 4;
    Bytes rows(stride * picture.height, 0);
    for (int y = 0; y < picture.height; ++y) {
        const int stored = topDown ? y : picture.height - 1 - y;
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t* rgb = picture.At(x, y);
            std::uint8_t* bgr = rows.data() + stored * stride + 3 * x;
            bgr[0] = rgb[2];
            bgr[1] = rgb[1];
            bgr[2] = rgb[0];
        }
    }
    return rows;
}

std::optional<Picture> ReadPnm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    in >> magic >> width >> height >> maximum;
    in.get();  // the one white-space character before the samples
    if (!in || (magic != "P5" && magic != "P6") || maximum != 255) return std::nullopt;
    Picture picture{width, height, magic == "P5" ? 1 : 3, {}};
    picture.samples.resize(static_cast<std::size_t>(width) * height * picture.components);
    in.read(reinterpret_cast<char*>(picture.samples.data()),
            static_cast<std::streamsize>(picture.samples.size()));
    if (!in) return std::nullopt;
    return picture;
}

}  // namespace imagelib::testing
