#include "imagelib/core/testing/test_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <unordered_map>

#include <jpeglib.h>

namespace imagelib::testing {
namespace {

// `value` little-endian in the `bytes` bytes at `at`.
void Put(Bytes& out, std::size_t at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Byte by byte: GCC 12 takes a range insert into a vector of a size known
// to it for an overrun (-Warray-bounds).
void Append(Bytes& out, const Bytes& more) {
    for (const std::uint8_t byte : more) out.push_back(byte);
}
void AppendU16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

// Bits least significant first.
class BitWriter {
public:
    void Put(int value, int width) {
        bits_ |= static_cast<std::uint32_t>(value) << count_;
        count_ += width;
        for (; count_ >= 8; count_ -= 8, bits_ >>= 8)
            bytes_.push_back(static_cast<std::uint8_t>(bits_));
    }
    Bytes Finish() {
        if (count_ > 0) bytes_.push_back(static_cast<std::uint8_t>(bits_));
        count_ = 0;
        bits_ = 0;
        return bytes_;
    }

private:
    Bytes bytes_;
    std::uint32_t bits_ = 0;
    int count_ = 0;
};

// The table size field of a colour table of this many bytes.
int SizeField(std::size_t tableBytes) {
    int field = 0;
    while ((std::size_t{3} << (field + 1)) < tableBytes) ++field;
    return field;
}

// Row y counted from the top, whichever way the record stores its rows.
const std::uint8_t* RowFromTop(const ImageRecord& record, int y) {
    const std::size_t stride =
        static_cast<std::size_t>(DibRowStride(record.Width(), record.BitCount()));
    return record.Pixels() + (record.Height() > 0 ? record.Height() - 1 - y : y) * stride;
}

// Data sub-blocks of `size` bytes (the last one shorter), then the empty
// sub-block.
Bytes SubBlocks(const Bytes& data, std::size_t size) {
    Bytes out;
    for (std::size_t at = 0; at < data.size(); at += size) {
        const std::size_t length = std::min(size, data.size() - at);
        out.push_back(static_cast<std::uint8_t>(length));
        out.insert(out.end(), data.begin() + at, data.begin() + at + length);
    }
    out.push_back(0);
    return out;
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
    std::string path = PathOf(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
    return path;
}

std::string TempFolder::Write(const std::string& name, const Bytes& bytes,
                              std::uint64_t size) const {
    std::string path = Write(name, bytes);
    if (size > bytes.size()) {
        std::ofstream out(path, std::ios::binary | std::ios::in | std::ios::out);
        out.seekp(static_cast<std::streamoff>(size - 1));
        out.put(0);
        if (!out) throw std::runtime_error("cannot make " + path + " longer");
    }
    return path;
}

std::vector<std::string> TempFolder::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

Bytes FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

DecodeResult DecodeBytes(const TempFolder& folder, const std::string& name, const Bytes& bytes,
                         const DecodeEnvironment& environment) {
    return DecodeFile(folder.Write(name, bytes), environment);
}

std::vector<std::string> NotRefused(const std::string& name, const std::vector<Refusal>& cases) {
    const TempFolder folder;
    std::vector<std::string> wrong;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const DecodeResult result = DecodeBytes(folder, name, cases[i].bytes);
        if (result.status != cases[i].status || result.record) {
            wrong.push_back("case " + std::to_string(i) + ": status " +
                            std::to_string(static_cast<int>(result.status)) +
                            (result.record ? " with a record" : ""));
        }
    }
    return wrong;
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
    if (options.fullChroma && picture.components == 3)
        info.comp_info[0].h_samp_factor = info.comp_info[0].v_samp_factor = 1;
    info.write_JFIF_header = options.jfif ? TRUE : FALSE;  // even on four-component files
    jpeg_start_compress(&info, TRUE);
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

Bytes WithFrameSize(Bytes jpeg, int width, int height) {
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
            jpeg[i + 6] = static_cast<std::uint8_t>(height);
            jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<std::uint8_t>(width);
            break;
        }
    }
    return jpeg;
}

Bytes WithSegment(const Bytes& jpeg, std::uint8_t marker, const Bytes& payload,
                  bool afterFirstSegment) {
    std::size_t at = 2;
    if (afterFirstSegment) at += 2 + ((std::size_t{jpeg.at(4)} << 8) | jpeg.at(5));
    const std::size_t length = payload.size() + 2;
    Bytes segment{0xFF, marker, static_cast<std::uint8_t>(length >> 8),
                  static_cast<std::uint8_t>(length)};
    segment.insert(segment.end(), payload.begin(), payload.end());
    Bytes out = jpeg;
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(at), segment.begin(), segment.end());
    return out;
}

Bytes BuildExif(const ExifBlock& block) {
    Bytes tiff(std::max<std::size_t>(block.directoryOffset, 8), 0);
    const auto put = [&](std::size_t at, std::uint32_t value, int bytes) {
        if (tiff.size() < at + bytes) tiff.resize(at + bytes, 0);
        for (int i = 0; i < bytes; ++i) {
            const int shift = 8 * (block.bigEndian ? bytes - 1 - i : i);
            tiff[at + i] = static_cast<std::uint8_t>(value >> shift);
        }
    };
    tiff[0] = tiff[1] = block.bigEndian ? 'M' : 'I';
    put(2, 42, 2);
    put(4, block.directoryOffset, 4);
    std::size_t at = block.directoryOffset;
    put(at, block.claimedCount.value_or(static_cast<std::uint16_t>(block.entries.size())), 2);
    at += 2;
    for (const ExifEntry& entry : block.entries) {
        put(at, entry.tag, 2);
        put(at + 2, entry.type, 2);
        put(at + 4, entry.count, 4);
        if (entry.type == kExifShort && entry.count == 1) {
            put(at + 8, entry.value, 2);
            put(at + 10, 0, 2);
        } else {
            put(at + 8, entry.value, 4);
        }
        at += 12;
    }
    put(at, block.nextDirectory, 4);
    static constexpr std::uint8_t kHeader[] = {'E', 'x', 'i', 'f', 0, 0};
    Bytes out(sizeof kHeader + tiff.size());
    std::copy(std::begin(kHeader), std::end(kHeader), out.begin());
    std::copy(tiff.begin(), tiff.end(), out.begin() + sizeof kHeader);
    return out;
}

Bytes CameraExif(int orientation, bool bigEndian) {
    ExifBlock block;
    block.bigEndian = bigEndian;
    block.entries = {{0x010F, 2, 4, 0},  // Make, four characters in place
                     {kExifOrientationTag, kExifShort, 1, static_cast<std::uint32_t>(orientation)},
                     {0x011A, 5, 1, 0},            // XResolution, a RATIONAL (its offset left 0)
                     {0x0213, kExifShort, 1, 1}};  // YCbCrPositioning
    return BuildExif(block);
}

Position StoredPosition(int orientation, int width, int height, int x, int y) {
    switch (orientation) {
    case 2: return {width - 1 - x, y};  // top row at the top, left column at the right
    case 3:
        return {width - 1 - x, height - 1 - y};  // top row at the bottom, left column at the right
    case 4: return {x, height - 1 - y};          // top row at the bottom
    case 5: return {y, x};                       // top row on the left, left column at the top
    case 6: return {y, height - 1 - x};          // top row on the right, left column at the top
    case 7:
        return {width - 1 - y, height - 1 - x};  // top row on the right, left column at the bottom
    case 8: return {width - 1 - y, x};           // top row on the left, left column at the bottom
    default: return {x, y};
    }
}

Bytes BuildBmp(const BmpFile& file) {
    const std::size_t headersSize = 14 + file.infoHeaderSize;
    const std::size_t rowsAt = headersSize + file.colourTable.size();
    const std::size_t fileSize = rowsAt + file.pixelData.size();
    Bytes out(fileSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put(out, 2, static_cast<std::uint32_t>(fileSize), 4);
    Put(out, 10, file.bitsOffset.value_or(static_cast<std::uint32_t>(rowsAt)), 4);
    Put(out, 14, file.infoHeaderSize, 4);
    if (file.infoHeaderSize >= 40) {
        Put(out, 18, static_cast<std::uint32_t>(file.width), 4);
        Put(out, 22, static_cast<std::uint32_t>(file.height), 4);
        Put(out, 26, file.planes, 2);
        Put(out, 28, file.bitCount, 2);
        Put(out, 30, file.compression, 4);
        Put(out, 34, file.imageDataSize, 4);
        Put(out, 46, file.coloursUsed, 4);
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

Bytes RecordIndices(const ImageRecord& record) {
    Bytes indices;
    const int bits = record.BitCount();
    for (int y = 0; y < std::abs(record.Height()); ++y) {
        const std::uint8_t* row = RowFromTop(record, y);
        for (int x = 0; x < record.Width(); ++x) {
            const int bit = x * bits;
            indices.push_back(static_cast<std::uint8_t>((row[bit / 8] >> (8 - bits - bit % 8)) &
                                                        ((1 << bits) - 1)));
        }
    }
    return indices;
}

std::vector<Rgb> RecordColours(const ImageRecord& record) {
    std::vector<Rgb> colours;
    const std::uint8_t* table = record.ColourTable();
    if (record.BitCount() == 24) {
        for (int y = 0; y < std::abs(record.Height()); ++y) {
            for (int x = 0; x < record.Width(); ++x) {
                const std::uint8_t* bgr = RowFromTop(record, y) + 3 * x;
                colours.push_back(Rgb{bgr[2]} << 16 | Rgb{bgr[1]} << 8 | bgr[0]);
            }
        }
        return colours;
    }
    for (const std::uint8_t index : RecordIndices(record)) {
        colours.push_back(Rgb{table[4 * index + 2]} << 16 | Rgb{table[4 * index + 1]} << 8 |
                          table[4 * index]);
    }
    return colours;
}

double Psnr(const std::vector<Rgb>& a, const std::vector<Rgb>& b) {
    double squares = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        for (const int shift : {0, 8, 16}) {
            const double d = double((a[i] >> shift) & 0xFF) - double((b[i] >> shift) & 0xFF);
            squares += d * d;
        }
    }
    return 10 * std::log10(255.0 * 255.0 * 3 * a.size() / std::max(squares, 1e-9));
}

Bytes ColourTriples(int entries) {
    Bytes triples;
    for (int i = 0; i < entries; ++i) {
        triples.insert(triples.end(),
                       {static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i * 37 + 11),
                        static_cast<std::uint8_t>(i * 5 + 1)});
    }
    return triples;
}

std::vector<Rgb> TripleColours(const Bytes& triples) {
    std::vector<Rgb> colours;
    for (std::size_t i = 0; i + 2 < triples.size(); i += 3) {
        colours.push_back(Rgb{triples[i]} << 16 | Rgb{triples[i + 1]} << 8 | triples[i + 2]);
    }
    return colours;
}

Bytes Counting(int count, int entries, int offset) {
    Bytes indices;
    for (int i = 0; i < count; ++i)
        indices.push_back(static_cast<std::uint8_t>((i + offset) % entries));
    return indices;
}

Bytes LzwEncode(const Bytes& indices, int minimumCodeSize, const LzwOptions& options) {
    const int clear = 1 << minimumCodeSize;
    BitWriter out;
    // A decoder defines one entry for every code after the first since the
    // last clear code, and widens its codes when the next free entry
    // reaches the next power of two.
    int codesSinceClear = 0;
    auto put = [&](int code) {
        const int decoderNext = std::min(clear + 1 + codesSinceClear, 4096);
        int width = minimumCodeSize + 1;
        while (width < 12 && decoderNext >= (1 << width)) ++width;
        out.Put(code, width);
        ++codesSinceClear;
    };
    std::unordered_map<std::uint32_t, int> table;  // prefix code << 8 | byte: code
    int next = clear + 2;
    put(clear);
    codesSinceClear = 0;
    if (!indices.empty()) {
        int prefix = indices[0];
        for (std::size_t i = 1; i < indices.size(); ++i) {
            const std::uint32_t key = static_cast<std::uint32_t>(prefix) << 8 | indices[i];
            if (const auto found = table.find(key); found != table.end()) {
                prefix = found->second;
                continue;
            }
            put(prefix);
            if (next < 4096) {
                table[key] = next++;
            } else if (options.clearWhenFull) {
                put(clear);
                codesSinceClear = 0;
                table.clear();
                next = clear + 2;
            }
            prefix = indices[i];
        }
        put(prefix);
    }
    if (options.endCode) put(clear + 1);
    return out.Finish();
}

Bytes PackCodes(const std::vector<std::pair<int, int>>& codes) {
    BitWriter out;
    for (const auto& [code, width] : codes) out.Put(code, width);
    return out.Finish();
}

Bytes GifExtension(std::uint8_t label, const Bytes& data) {
    Bytes out{'!', label};
    Append(out, SubBlocks(data, 255));
    return out;
}

Bytes BuildGif(const GifFile& file) {
    Bytes out{'G', 'I', 'F', '8', '9', 'a'};
    std::uint16_t screenWidth = 1, screenHeight = 1;
    for (const GifImage& image : file.images) {
        screenWidth = std::max<std::uint16_t>(screenWidth, image.left + image.width);
        screenHeight = std::max<std::uint16_t>(screenHeight, image.top + image.height);
    }
    AppendU16(out, screenWidth);
    AppendU16(out, screenHeight);
    const int field = file.globalTable.empty() ? 0 : SizeField(file.globalTable.size());
    out.push_back(static_cast<std::uint8_t>((file.globalTable.empty() ? 0 : 0x80) | 0x70 | field));
    out.push_back(0);  // background colour
    out.push_back(0);  // pixel shape
    Append(out, file.globalTable);
    Append(out, file.beforeImages);
    for (const GifImage& image : file.images) {
        out.push_back(',');
        AppendU16(out, image.left);
        AppendU16(out, image.top);
        AppendU16(out, image.width);
        AppendU16(out, image.height);
        out.push_back(static_cast<std::uint8_t>(
            (image.localTable.empty() ? 0 : 0x80 | SizeField(image.localTable.size())) |
            (image.interlaced ? 0x40 : 0)));
        Append(out, image.localTable);
        const std::size_t tableBytes =
            !image.localTable.empty() ? image.localTable.size() : file.globalTable.size();
        const int codeSize = image.minimumCodeSize.value_or(std::max(2, SizeField(tableBytes) + 1));
        out.push_back(static_cast<std::uint8_t>(codeSize));
        Append(out, SubBlocks(image.raster ? *image.raster : LzwEncode(image.indices, codeSize),
                              image.subBlockSize));
    }
    if (file.trailer) out.push_back(';');
    return out;
}

GifFile OneImageGif(int width, int height, int entries, Bytes indices) {
    GifImage image;
    image.width = static_cast<std::uint16_t>(width);
    image.height = static_cast<std::uint16_t>(height);
    image.indices = std::move(indices);
    return {ColourTriples(entries), {}, {image}, true};
}

Bytes BuildPcx(const PcxFile& file) {
    Bytes out(128, 0);
    out[0] = file.manufacturer;
    out[1] = file.version;
    out[2] = file.encoding;
    out[3] = file.bitsPerPlane;
    Put(out, 4, file.xMin, 2);
    Put(out, 6, file.yMin, 2);
    Put(out, 8, file.xMax, 2);
    Put(out, 10, file.yMax, 2);
    std::copy_n(file.headerPalette.begin(), std::min<std::size_t>(48, file.headerPalette.size()),
                out.begin() + 16);
    out[65] = file.planes;
    Put(out, 66, file.bytesPerLine, 2);
    if (file.encoding != 1) {
        Append(out, file.lines);
    } else {
        const std::size_t line = std::size_t{file.bytesPerLine} * file.planes;
        const std::size_t span = file.runsAcrossLines || line == 0 ? file.lines.size() : line;
        for (std::size_t start = 0; start < file.lines.size(); start += span) {
            const std::size_t end = std::min(file.lines.size(), start + span);
            for (std::size_t at = start; at < end;) {
                std::size_t run = 1;
                while (at + run < end && run < 63 && file.lines[at + run] == file.lines[at]) ++run;
                if (run > 1 || file.lines[at] >= 0xC0)
                    out.push_back(static_cast<std::uint8_t>(0xC0 | run));
                out.push_back(file.lines[at]);
                at += run;
            }
        }
    }
    Append(out, file.tail);
    return out;
}

PcxFile IndexedPcx(const Bytes& indices, int width, int height, int bitsPerPlane, int planes) {
    PcxFile file;
    file.bitsPerPlane = static_cast<std::uint8_t>(bitsPerPlane);
    file.planes = static_cast<std::uint8_t>(planes);
    file.xMax = static_cast<std::uint16_t>(width - 1);
    file.yMax = static_cast<std::uint16_t>(height - 1);
    file.bytesPerLine = static_cast<std::uint16_t>((width * bitsPerPlane + 15) / 16 * 2);
    file.headerPalette = ColourTriples(16);
    for (int y = 0; y < height; ++y) {
        for (int p = 0; p < planes; ++p) {
            Bytes plane(file.bytesPerLine, 0);
            for (int x = 0; x < width; ++x) {
                const int sample =
                    (indices[y * width + x] >> (p * bitsPerPlane)) & ((1 << bitsPerPlane) - 1);
                const int bit = x * bitsPerPlane;
                plane[bit / 8] |= static_cast<std::uint8_t>(sample << (8 - bitsPerPlane - bit % 8));
            }
            Append(file.lines, plane);
        }
    }
    return file;
}

PcxFile WideLinesPcx() {
    PcxFile file;
    file.bitsPerPlane = 1;
    file.planes = 4;
    file.xMax = 2047;
    file.yMax = 65534;
    file.bytesPerLine = 16385;
    file.headerPalette = ColourTriples(16);
    return file;
}

Bytes PcxColourBlock(const Bytes& triples, std::uint8_t marker) {
    Bytes out{marker};
    Append(out, triples);
    out.resize(769, 0);
    return out;
}

Bytes BuildTarga(const TargaFile& file) {
    Bytes out(18, 0);
    out[0] = static_cast<std::uint8_t>(file.id.size());
    out[1] = file.colourMapType;
    out[2] = file.imageType;
    Put(out, 5, file.colourMapLength, 2);
    out[7] = file.colourMapDepth;
    Put(out, 12, file.width, 2);
    Put(out, 14, file.height, 2);
    out[16] = file.depth;
    out[17] = file.descriptor;
    Append(out, file.id);
    Append(out, file.colourMap);
    Append(out, file.pixelData);
    return out;
}

Bytes TargaRunLength(const Bytes& pixels, std::size_t bytesPerPixel) {
    const std::size_t count = pixels.size() / bytesPerPixel;
    auto same = [&](std::size_t a, std::size_t b) {
        return std::equal(pixels.begin() + a * bytesPerPixel,
                          pixels.begin() + (a + 1) * bytesPerPixel,
                          pixels.begin() + b * bytesPerPixel);
    };
    Bytes out;
    for (std::size_t at = 0; at < count;) {
        std::size_t run = 1;
        while (at + run < count && run < 128 && same(at, at + run)) ++run;
        if (run > 1) {
            out.push_back(static_cast<std::uint8_t>(0x80 | (run - 1)));
            out.insert(out.end(), pixels.begin() + at * bytesPerPixel,
                       pixels.begin() + (at + 1) * bytesPerPixel);
        } else {
            // Raw pixels up to the next pair of equal ones.
            while (at + run < count && run < 128 &&
                   !(at + run + 1 < count && same(at + run, at + run + 1)))
                ++run;
            out.push_back(static_cast<std::uint8_t>(run - 1));
            out.insert(out.end(), pixels.begin() + at * bytesPerPixel,
                       pixels.begin() + (at + run) * bytesPerPixel);
        }
        at += run;
    }
    return out;
}

std::vector<Rgb> TargaColours(int width, int height) {
    const auto eight = [](int five) { return Rgb(five * 255 / 31); };
    std::vector<Rgb> colours;
    for (int i = 0; i < width * height; ++i) {
        colours.push_back(eight(i * 5 % 32) << 16 | eight((i / 3 + 7) % 32) << 8 |
                          eight(31 - i % 32));
        if (i % width == 2) colours.back() = colours[i - 1];  // some runs
    }
    return colours;
}

TargaFile TargaPicture(int width, int height, int depth, bool topFirst, bool runLength) {
    const std::vector<Rgb> colours = TargaColours(width, height);
    const auto five = [](Rgb channel) { return ((channel & 0xFF) * 31 + 127) / 255; };
    Bytes pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = colours[(topFirst ? y : height - 1 - y) * width + x];
            if (depth <= 16) {
                const Rgb word = five(c) | five(c >> 8) << 5 | five(c >> 16) << 10 | 0x8000;
                pixels.insert(pixels.end(), {std::uint8_t(word), std::uint8_t(word >> 8)});
            } else {
                pixels.insert(pixels.end(),
                              {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16)});
                if (depth == 32) pixels.push_back(static_cast<std::uint8_t>(x * 40));  // alpha
            }
        }
    }
    TargaFile file;
    file.imageType = runLength ? 10 : 2;
    file.width = static_cast<std::uint16_t>(width);
    file.height = static_cast<std::uint16_t>(height);
    file.depth = static_cast<std::uint8_t>(depth);
    file.descriptor = topFirst ? 0x20 : 0;
    file.pixelData = runLength ? TargaRunLength(pixels, (depth + 7) / 8) : pixels;
    return file;
}

}  // namespace imagelib::testing
