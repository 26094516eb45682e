// Test files made inside the tests: BMP, JPEG, GIF, PCX and Targa
// writers, a folder for them, and the pixels of a decoded record as
// colours.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "imagelib/core/decode_file.h"
#include "imagelib/core/image_record.h"

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
    // The same, the file then made `size` bytes long with zeros: a hole,
    // where the file system has them, so that a large file costs no disk.
    std::string Write(const std::string& name, const Bytes& bytes, std::uint64_t size) const;
    // The names of what the folder holds, sorted.
    std::vector<std::string> Names() const;

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
    bool ycck = false;        // four-component pictures: YCCK instead of CMYK
    bool jfif = true;         // false: no JFIF block, the tables follow the start of image
    bool fullChroma = false;  // 4:4:4 instead of 4:2:0
};
// Compresses with libjpeg (4:2:0 for colour).
Bytes EncodeJpeg(const Picture& picture, const JpegOptions& options = {});
// The baseline JPEG with another width and height in its frame header.
Bytes WithFrameSize(Bytes jpeg, int width, int height);

// The JPEG with a segment (the marker, its length, `payload`) put right
// after the start of image, or, with afterFirstSegment, after the segment
// that follows it (the JFIF block, when there is one).
Bytes WithSegment(const Bytes& jpeg, std::uint8_t marker, const Bytes& payload,
                  bool afterFirstSegment = false);

// One entry of an Exif image directory; its value is written into the
// value field in the block's byte order (a SHORT in its first two bytes).
struct ExifEntry {
    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::uint32_t value = 0;
};
inline constexpr std::uint16_t kExifOrientationTag = 0x0112;
inline constexpr std::uint16_t kExifShort = 3;
inline constexpr std::uint16_t kExifLong = 4;
// An Exif block (an APP1 segment's payload): "Exif", two zeros, the TIFF
// header in its byte order and the first image directory at
// `directoryOffset`, with `entries`, its claimed count, and a link to the
// next directory.
struct ExifBlock {
    bool bigEndian = false;
    std::vector<ExifEntry> entries;
    std::uint32_t directoryOffset = 8;
    std::optional<std::uint16_t> claimedCount;  // default: the entries' number
    std::uint32_t nextDirectory = 0;
};
Bytes BuildExif(const ExifBlock& block);
// A camera's block: a few entries around the orientation tag.
Bytes CameraExif(int orientation, bool bigEndian);

// The stored pixel that a photo viewer shows at upright position (x, y) of
// a stored picture of width x height with this Exif orientation, worked
// out from which sides the stored top row and left column go to.
struct Position {
    int x, y;
};
Position StoredPosition(int orientation, int width, int height, int x, int y);

// A BMP file, field by field: headers, colour table, then the pixel data as
// it goes into the file (BmpRows24 lays out simple pictures).
struct BmpFile {
    BmpFile(std::int32_t w = 0, std::int32_t h = 0, std::uint16_t bits = 24,
            std::uint32_t method = 0)
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
    std::optional<std::uint32_t> bitsOffset;  // default: where the rows are, behind the table
};
Bytes BuildBmp(const BmpFile& file);

// The rows of a picture laid out as a BMP stores them: 24-bit blue, green,
// red, bottom row first (or top first), each row padded to 4 bytes.
Bytes BmpRows24(const Picture& picture, bool topDown = false);

// The whole file; empty when it cannot be read.
Bytes FileBytes(const std::string& path);
// Writes `bytes` as the file `name` in the folder and decodes it.
DecodeResult DecodeBytes(const TempFolder& folder, const std::string& name, const Bytes& bytes,
                         const DecodeEnvironment& environment = {});
// A file and the status its decode must end in, with no record.
struct Refusal {
    Bytes bytes;
    LoadStatus status;
};
// Decodes each file as `name`; answers a line for each that ends otherwise.
std::vector<std::string> NotRefused(const std::string& name, const std::vector<Refusal>& cases);

// A colour as 0xRRGGBB.
using Rgb = std::uint32_t;

// The record's pixels, top row first, left to right (whichever way its
// rows are stored): colour-table entries for 1, 4 and 8 bits, the pixels
// themselves for 24 bits.
std::vector<Rgb> RecordColours(const ImageRecord& record);
// The colour indices of a 1-, 4- or 8-bit record, top row first.
Bytes RecordIndices(const ImageRecord& record);
// The peak signal-to-noise ratio of two pictures of as many pixels, in
// dB: 30 or more for a good JPEG of the other, far less for sheared rows
// or red and blue swapped.
double Psnr(const std::vector<Rgb>& a, const std::vector<Rgb>& b);

// `entries` distinct colours as red, green, blue triples (entry 0 is not
// black), and the same as Rgb values.
Bytes ColourTriples(int entries);
std::vector<Rgb> TripleColours(const Bytes& triples);
// Indices 0, 1, 2, ... (from `offset`), wrapped to `entries`.
Bytes Counting(int count, int entries, int offset = 0);

// ---- GIF
// Colour indices compressed as a GIF raster's codes: a clear code, codes
// as wide as a decoder reads them, a clear code whenever the table is
// full (or, without clearWhenFull, the full table used on), the end code.
struct LzwOptions {
    bool clearWhenFull = true;
    bool endCode = true;
};
Bytes LzwEncode(const Bytes& indices, int minimumCodeSize, const LzwOptions& options = {});
// Codes (value, width in bits) packed least significant bit first.
Bytes PackCodes(const std::vector<std::pair<int, int>>& codes);
// "!", the label, the data as sub-blocks.
Bytes GifExtension(std::uint8_t label, const Bytes& data);

struct GifImage {
    std::uint16_t left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    Bytes localTable;  // red, green, blue per entry (2 to 256, a power of two); empty: none
    Bytes indices;     // in file order, which for interlaced images is pass order
    std::optional<int> minimumCodeSize;  // default: the least that holds the table (at least 2)
    std::optional<Bytes> raster;         // code bytes used instead of the coded indices
    std::size_t subBlockSize = 255;
};
struct GifFile {
    Bytes globalTable;   // red, green, blue per entry; empty: none
    Bytes beforeImages;  // extensions or anything else ahead of the first image
    std::vector<GifImage> images;
    bool trailer = true;
};
Bytes BuildGif(const GifFile& file);
// One image of these indices, the global table ColourTriples(entries).
GifFile OneImageGif(int width, int height, int entries, Bytes indices);

// ---- PCX
struct PcxFile {
    std::uint8_t manufacturer = 10;
    std::uint8_t version = 5;
    std::uint8_t encoding = 1;
    std::uint8_t bitsPerPlane = 8;
    std::uint8_t planes = 1;
    std::uint16_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    std::uint16_t bytesPerLine = 0;
    Bytes headerPalette;           // up to 16 red, green, blue triples
    Bytes lines;                   // the scan lines, top first, each its planes one after another
    bool runsAcrossLines = false;  // one run-length stream over all lines
    Bytes tail;                    // behind the image data, e.g. PcxColourBlock
};
Bytes BuildPcx(const PcxFile& file);
// A PCX file of an indexed picture (indices top row first), its lines of
// an even number of bytes: each plane holds `bitsPerPlane` bits of every
// pixel, the first pixel in the top bits, plane 0 the lowest bits of the
// index. The header palette is ColourTriples(16).
PcxFile IndexedPcx(const Bytes& indices, int width, int height, int bitsPerPlane, int planes);
// The marker and 256 triples that close a 256-colour file.
Bytes PcxColourBlock(const Bytes& triples, std::uint8_t marker = 12);
// A header of 4 planes of 16385 bytes by 65535 rows: 4295163900 bytes of
// scan lines, which a file of kWideLinesPcxFileSize bytes (128 MiB and a
// little) may claim at 32 bytes of lines to a byte, and which is 196604
// bytes where size_t has 32 bits.
PcxFile WideLinesPcx();
inline constexpr std::uint64_t kWideLinesPcxFileSize =
    (std::uint64_t{128} << 20) + (std::uint64_t{64} << 10);

// ---- Targa
struct TargaFile {
    Bytes id;
    std::uint8_t colourMapType = 0;
    std::uint8_t imageType = 2;
    std::uint16_t colourMapLength = 0;
    std::uint8_t colourMapDepth = 0;
    std::uint16_t width = 0, height = 0;
    std::uint8_t depth = 24;
    std::uint8_t descriptor = 0;
    Bytes colourMap;
    Bytes pixelData;  // as stored in the file
};
Bytes BuildTarga(const TargaFile& file);
// Pixels of `bytesPerPixel` bytes as run-length packets over the whole
// data (packets cross rows): runs of equal pixels as repeat packets, the
// rest as raw packets, each of at most 128 pixels.
Bytes TargaRunLength(const Bytes& pixels, std::size_t bytesPerPixel);
// Colours, top row first, whose channels 5 bits hold exactly (so that 15-
// and 16-bit pixels widen back to them), with some runs in each row.
std::vector<Rgb> TargaColours(int width, int height);
// A true-colour file of those colours: pixels of `depth` bits (32: with an
// alpha byte), rows top first or bottom first, plain or run-length.
TargaFile TargaPicture(int width, int height, int depth, bool topFirst, bool runLength);

}  // namespace imagelib::testing
