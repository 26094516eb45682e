// Test files made inside the tests: BMP and JPEG writers, a folder for
// them, and a reader for the PNM files that djpeg writes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace imagelib::testing {

using Bytes = std::vector<std::uint8_t>;

// A folder of its own under the system's temporary folder; removed with
// everything in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string PathOf(const std::string& name) const;
    // Writes `bytes` as the file `name` in the folder; answers its path.
    std::string Write(const std::string& name, const Bytes& bytes) const;

private:
    std::string path_;
};

// Pixels top row first, left to right: red, green, blue per pixel (three
// components), one grey value (one component) or C, M, Y, K (four).
struct Picture {
    int width = 0;
    int height = 0;
    int components = 3;
    Bytes samples;

    const std::uint8_t* At(int x, int y) const {
        return samples.data() + (static_cast<std::size_t>(y) * width + x) * components;
    }
};

// A smooth, photo-like pattern with some sharp edges.
Picture TestPattern(int width, int height, int components);

struct JpegOptions {
    int quality = 85;
    bool progressive = false;
    bool ycck = false;            // four-component pictures: YCCK instead of CMYK
    bool exifInsteadOfJfif = false;  // an APP1 block first, no APP0
};
// Compresses with libjpeg (4:2:0 for colour).
Bytes EncodeJpeg(const Picture& picture, const JpegOptions& options = {});

// A BMP file, field by field: headers, colour table, then the pixel data as
// it goes into the file (BmpRows24 lays out simple pictures).
struct BmpFile {
    BmpFile(std::int32_t w = 0, std::int32_t h = 0, std::uint16_t bits = 24, std::uint32_t method = 0)
        : width(w), height(h), bitCount(bits), compression(method) {}

    std::int32_t width = 0;
    std::int32_t height = 0;  // negative: rows stored top first
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t imageDataSize = 0;
    std::uint32_t coloursUsed = 0;
    std::uint32_t infoHeaderSize = 40;  // the info header is padded with zeros to this size
    Bytes colourTable;                  // blue, green, red, 0 per entry
    Bytes pixelData;
    std::optional<std::uint32_t> fileSizeField;  // default: the real size
    std::optional<std::uint32_t> bitsOffset;     // default: where the rows are, behind the table
};
Bytes BuildBmp(const BmpFile& file);

// The rows of a picture laid out as a BMP stores them: 24-bit blue, green,
// red, bottom row first (or top first), each row padded to 4 bytes.
Bytes BmpRows24(const Picture& picture, bool topDown = false);

// Reads a binary PGM (P5) or PPM (P6) file of 8-bit samples.
std::optional<Picture> ReadPnm(const std::string& path);

}  // namespace imagelib::testing
