// ImgoraLib.dll as its callers use it: loaded by path, exports found by
// their plain names, bitmaps read back with GetDIBits, and the message
// boxes found on the screen and answered while a load waits on them.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "common/win32/guards.h"
#include "imagelib/core/decode_file.h"
#include "imagelib/core/pcx_decoder.h"
#include "imagelib/core/targa_decoder.h"
#include "imagelib/core/test_files.h"
#include "imagelib/win32/gdi_display_palette.h"

namespace imagelib {
namespace {

using testing::Bytes;
using LoadProc = HBITMAP(WINAPI*)(const char*, BYTE);
using SizeProc = int(WINAPI*)();
using Rgb = std::uint32_t;  // 0x00RRGGBB

// A fresh copy of the library for each test, so its state starts at zero.
struct Library {
    template <typename Proc>
    Proc Find(const char* name) const {
        return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(::GetProcAddress(module.Get(), name)));
    }
    win32::UniqueLibrary module{::LoadLibraryA(IMGORALIB_PATH)};
    LoadProc load = Find<LoadProc>("ImgoraLibLoad");
    SizeProc width = Find<SizeProc>("GetWidth");
    SizeProc height = Find<SizeProc>("GetHeight");
};

// The bitmap's pixels, top row first.
std::vector<Rgb> ReadBack(HBITMAP bitmap) {
    BITMAP size{};
    ::GetObjectA(bitmap, sizeof size, &size);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, size.bmWidth, -size.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<Rgb> pixels(static_cast<std::size_t>(size.bmWidth) * size.bmHeight);
    win32::WindowDc screen;
    EXPECT_EQ(::GetDIBits(screen.Get(), bitmap, 0, size.bmHeight, pixels.data(), &info, DIB_RGB_COLORS),
              size.bmHeight);
    for (Rgb& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

// What the core decodes from the file, top row first.
std::vector<Rgb> CoreDecode(const std::string& path) {
    const DecodeResult result = DecodeFile(path, true, DecodeEnvironment{});
    const ImageRecord& record = result.record;
    std::vector<Rgb> pixels;
    const std::size_t stride = static_cast<std::size_t>(RowStride(record.Width(), record.BitCount()));
    for (int y = 0; record && y < record.Height(); ++y) {
        const std::uint8_t* row = record.Pixels() + (record.Height() - 1 - y) * stride;
        for (int x = 0; x < record.Width(); ++x) {
            const std::uint8_t* bgr = record.BitCount() == 24 ? row + 3 * x : record.ColourTable() + 4 * row[x];
            pixels.push_back(Rgb{bgr[2]} << 16 | Rgb{bgr[1]} << 8 | bgr[0]);
        }
    }
    return pixels;
}

TEST(ImgoraLib, ExportsItsOperationsUnderTheirPlainNamesAndCarriesItsVersion) {
    Library library;
    ASSERT_TRUE(library.module) << IMGORALIB_PATH;
    for (const char* name : {"ImgoraLibLoad", "Load_JPG", "Load_GIF", "GetWidth", "GetHeight"}) {
        EXPECT_NE(library.Find<void (*)()>(name), nullptr) << name;
    }
    EXPECT_EQ(library.width(), 0);
    EXPECT_EQ(library.height(), 0);

    std::vector<char> block(::GetFileVersionInfoSizeA(IMGORALIB_PATH, nullptr));
    ASSERT_TRUE(::GetFileVersionInfoA(IMGORALIB_PATH, 0, block.size(), block.data()));
    for (const auto& [name, value] : {std::pair{"FileVersion", "1.1.5"}, {"ProductVersion", "1.1.5"},
                                      {"InternalName", "ImgoraLib"}, {"OriginalFilename", "ImgoraLib.dll"}}) {
        char* text = nullptr;
        UINT length = 0;
        const std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
        ASSERT_TRUE(::VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&text), &length));
        EXPECT_STREQ(text, value);
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
}

TEST(ImgoraLib, BmpAndJpegFilesComeBackAsBitmapsWithTheirPixelsInPlace) {
    Library library;
    testing::TempFolder folder;
    const testing::Picture picture = testing::TestPattern(7, 5, 3);
    std::vector<Rgb> expected;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const std::uint8_t* p = picture.At(x, y);
            expected.push_back(Rgb{p[0]} << 16 | Rgb{p[1]} << 8 | p[2]);
        }
    for (const int height : {5, -5}) {
        testing::BmpFile file(7, height);
        file.pixelData = testing::BmpRows24(picture, height < 0);
        win32::UniqueBitmap bitmap(library.load(folder.Write("a.bmp", testing::BuildBmp(file)).c_str(), 0));
        ASSERT_TRUE(bitmap) << height;
        EXPECT_EQ(ReadBack(bitmap.Get()), expected) << height;
        EXPECT_EQ(library.height(), height);
    }
    testing::BmpFile palette(3, 2, 4);  // colours 1, 2, 3 over 15, 0, 1
    for (int i = 0; i < 16; ++i) palette.colourTable.insert(palette.colourTable.end(), {std::uint8_t(i), 0, 0, 0});
    palette.pixelData = {0xF0, 0x10, 0, 0, 0x12, 0x30, 0, 0};
    win32::UniqueBitmap bitmap(library.load(folder.Write("p.bmp", testing::BuildBmp(palette)).c_str(), 0));
    EXPECT_EQ(ReadBack(bitmap.Get()), (std::vector<Rgb>{1, 2, 3, 15, 0, 1}));

    for (const int components : {3, 1}) {
        const std::string path =
            folder.Write("a.jpg", testing::EncodeJpeg(testing::TestPattern(37, 23, components)));
        win32::UniqueBitmap jpeg(library.load(path.c_str(), 0));
        ASSERT_TRUE(jpeg) << components;
        EXPECT_EQ(library.width(), 37);
        EXPECT_EQ(ReadBack(jpeg.Get()), CoreDecode(path)) << components;
    }
    // Plain red over plain blue: red and blue in their places.
    testing::Picture halves{16, 16, 3, {}};
    for (int i = 0; i < 256; ++i) halves.samples.insert(halves.samples.end(), {std::uint8_t(i < 128 ? 255 : 0), 0, std::uint8_t(i < 128 ? 0 : 255)});
    win32::UniqueBitmap jpeg(library.load(folder.Write("h.jpg", testing::EncodeJpeg(halves, {95})).c_str(), 0));
    const std::vector<Rgb> pixels = ReadBack(jpeg.Get());
    EXPECT_GT(pixels[3 * 16 + 8] >> 16, 0xF0u);
    EXPECT_LT(pixels[3 * 16 + 8] & 0xFF, 0x10u);
    EXPECT_GT(pixels[12 * 16 + 8] & 0xFF, 0xF0u);
    EXPECT_LT(pixels[12 * 16 + 8] >> 16, 0x10u);
}

// A file made in the test and the colours it holds, top row first.
struct Sample {
    std::string name;
    Bytes bytes;
    int width = 0;
    std::vector<Rgb> colours;
};

// Indices 0, 1, 2, ... over the picture, wrapped to `entries`.
Bytes Counting(int count, int entries) {
    Bytes indices;
    for (int i = 0; i < count; ++i) indices.push_back(static_cast<std::uint8_t>((i * 5 + i / 7) % entries));
    return indices;
}

std::vector<Rgb> Looked(const Bytes& indices, const Bytes& triples) {
    const std::vector<Rgb> table = testing::TripleColours(triples);
    std::vector<Rgb> colours;
    for (const std::uint8_t index : indices) colours.push_back(table[index]);
    return colours;
}

Sample Gif(const std::string& name, int width, int height, int entries, bool interlaced) {
    testing::GifFile file;
    file.globalTable = testing::ColourTriples(entries);
    testing::GifImage image;
    image.width = static_cast<std::uint16_t>(width);
    image.height = static_cast<std::uint16_t>(height);
    image.interlaced = interlaced;
    const Bytes picture = Counting(width * height, entries);
    for (const int y : interlaced ? std::vector<int>{0, 4, 2, 1, 3} : std::vector<int>{0, 1, 2, 3, 4}) {
        if (y < height) image.indices.insert(image.indices.end(), picture.begin() + y * width, picture.begin() + (y + 1) * width);
    }
    file.images.push_back(image);
    file.beforeImages = testing::GifExtension(0xF9, {0x01, 0, 0, 1});
    return {name, testing::BuildGif(file), width, Looked(picture, file.globalTable)};
}

Sample Pcx(const std::string& name, int width, int height, int bitsPerPlane, int planes) {
    const int entries = 1 << (bitsPerPlane * planes);
    const Bytes picture = Counting(width * height, entries);
    testing::PcxFile file = testing::IndexedPcx(picture, width, height, bitsPerPlane, planes);
    Bytes triples = file.headerPalette;
    if (entries == 256) {
        triples = testing::ColourTriples(256);
        file.tail = testing::PcxColourBlock(triples);
    }
    return {name, testing::BuildPcx(file), width, Looked(picture, triples)};
}

// 24- and 32-bit Targa pixels, blue, green, red (, alpha), of these colours.
Sample Targa(const std::string& name, int width, int height, int depth, bool topFirst, bool runLength) {
    std::vector<Rgb> colours;
    Bytes pixels;
    for (int i = 0; i < width * height; ++i) colours.push_back(Rgb(i * 0x030507 + 0x402010) & 0xFFFFFF);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = colours[(topFirst ? y : height - 1 - y) * width + x];
            pixels.insert(pixels.end(), {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16)});
            if (depth == 32) pixels.push_back(0x80);
        }
    }
    testing::TargaFile file;
    file.width = static_cast<std::uint16_t>(width);
    file.height = static_cast<std::uint16_t>(height);
    file.depth = static_cast<std::uint8_t>(depth);
    file.descriptor = topFirst ? 0x20 : 0;
    file.imageType = runLength ? 10 : 2;
    file.pixelData = runLength ? testing::TargaRunLength(pixels, depth / 8) : pixels;
    return {name, testing::BuildTarga(file), width, colours};
}

TEST(ImgoraLib, GifPcxAndTargaFilesComeBackAsBitmapsInTheirColours) {
    testing::TargaFile sixteen;  // white, pure blue, green, red
    sixteen.width = 2;
    sixteen.height = 2;
    sixteen.depth = 16;
    sixteen.descriptor = 0x20;
    sixteen.pixelData = {0xFF, 0x7F, 0x1F, 0x00, 0xE0, 0x03, 0x00, 0x7C};
    const Sample samples[] = {
        Gif("two.gif", 9, 4, 2, false),
        Gif("four.gif", 7, 3, 4, false),
        Gif("sixteen.gif", 6, 5, 16, true),
        Gif("many.gif", 20, 4, 256, false),
        Pcx("palette.pcx", 11, 4, 8, 1),
        Pcx("sixteen.PCX", 13, 3, 1, 4),
        Pcx("two-planes.pCx", 10, 2, 1, 2),
        Pcx("packed.pcx", 6, 2, 2, 1),
        Pcx("mono.pcx", 17, 2, 1, 1),
        Targa("bottom-up.tga", 7, 3, 24, false, false),
        Targa("top-down.TGA", 5, 4, 32, true, true),
        {"sixteen.tga", testing::BuildTarga(sixteen), 2, {0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000}},
    };
    Library library;
    testing::TempFolder folder;
    for (const Sample& sample : samples) {
        win32::UniqueBitmap bitmap(library.load(folder.Write(sample.name, sample.bytes).c_str(), 0));
        ASSERT_TRUE(bitmap) << sample.name;
        EXPECT_EQ(library.width(), sample.width) << sample.name;
        EXPECT_EQ(ReadBack(bitmap.Get()), sample.colours) << sample.name;
    }
    // 24 bits in three planes: red, green and blue in their places.
    testing::PcxFile rgb;
    rgb.bitsPerPlane = 8;
    rgb.planes = 3;
    rgb.xMax = 2;
    rgb.bytesPerLine = 4;
    rgb.lines = {0xFF, 0x00, 0x00, 0, 0x00, 0xFF, 0x00, 0, 0x00, 0x00, 0xFF, 0};
    win32::UniqueBitmap bitmap(library.load(folder.Write("rgb.pcx", testing::BuildPcx(rgb)).c_str(), 0));
    EXPECT_EQ(ReadBack(bitmap.Get()), (std::vector<Rgb>{0xFF0000, 0x00FF00, 0x0000FF}));
}

TEST(ImgoraLib, GifPcxAndTargaFilesOfEveryKindLoadAsTheirPicturesSay) {
    Library library;
    testing::TempFolder folder;
    auto load = [&](const std::string& name, const Bytes& bytes) {
        win32::UniqueBitmap bitmap(library.load(folder.Write(name, bytes).c_str(), 0));
        EXPECT_TRUE(bitmap) << name;
        return bitmap ? ReadBack(bitmap.Get()) : std::vector<Rgb>{};
    };
    // Interlaced GIF pictures of 1 to 5 rows.
    for (int height = 1; height <= 5; ++height) {
        const Sample sample = Gif("rows.gif", 3, height, 16, true);
        EXPECT_EQ(load(sample.name, sample.bytes), sample.colours) << height;
    }
    // The first frame of an animation at its own size, stray bytes and
    // extensions before it; its codes end after 5 pixels: the rest index 0.
    testing::GifFile gif;
    gif.globalTable = testing::ColourTriples(4);
    gif.beforeImages = testing::GifExtension(0xFE, {'h', 'i'});
    gif.beforeImages.insert(gif.beforeImages.end(), {'x', 0x00, 0xFF});
    testing::GifImage first;
    first.left = 3;
    first.width = 4;
    first.height = 2;
    first.indices = {1, 2, 3, 2, 1};
    testing::GifImage second;
    second.width = second.height = 9;
    second.indices = Bytes(81, 3);
    gif.images = {first, second};
    const std::vector<Rgb> table = testing::TripleColours(gif.globalTable);
    EXPECT_EQ(load("animated.gif", testing::BuildGif(gif)),
              (std::vector<Rgb>{table[1], table[2], table[3], table[2], table[1], table[0], table[0], table[0]}));
    EXPECT_EQ(library.width(), 4);
    EXPECT_EQ(library.height(), 2);
    // Cut anywhere in its codes, a GIF still loads at its full size.
    const Sample whole = Gif("cut.gif", 30, 5, 256, true);
    // Header and screen, table, extension, descriptor, minimum code size.
    const std::size_t codesStart = 13 + 768 + 8 + 10 + 1;
    for (std::size_t length = codesStart; length < whole.bytes.size(); ++length) {
        EXPECT_EQ(load("cut.gif", Bytes(whole.bytes.begin(), whole.bytes.begin() + length)).size(), 150u) << length;
    }
    // PCX scan lines stored plainly.
    const Sample runs = Pcx("runs.pcx", 9, 3, 8, 1);
    testing::PcxFile file = testing::IndexedPcx(Counting(27, 256), 9, 3, 8, 1);
    file.encoding = 0;
    file.tail = testing::PcxColourBlock(testing::ColourTriples(256));
    EXPECT_EQ(load("plain.pcx", testing::BuildPcx(file)), runs.colours);
    // Targa stored bottom first and top first; an ID and right to left.
    const Sample bottomUp = Targa("b.tga", 6, 4, 24, false, false);
    EXPECT_EQ(load("t.tga", Targa("t.tga", 6, 4, 24, true, false).bytes), bottomUp.colours);
    Bytes marked = bottomUp.bytes;
    marked[0] = 3;
    marked[17] |= 0x10;
    marked.insert(marked.begin() + 18, {'i', 'd', '!'});
    EXPECT_EQ(load("id.tga", marked), bottomUp.colours);
}

TEST(ImgoraLib, VersionThreePcxFilesTakeTheSystemPaletteOnlyOnAPaletteDisplay) {
    win32::UniqueMemoryDc display(::CreateDCA("Display", nullptr, nullptr, nullptr));
    ASSERT_TRUE(display);
    const bool paletted = (::GetDeviceCaps(display.Get(), RASTERCAPS) & RC_PALETTE) != 0;
    PaletteTriples triples{};
    EXPECT_EQ(GdiDisplayPalette().SystemColours(16, triples), paletted);

    const Bytes indices = {0, 1, 6, 7, 8, 15};
    testing::PcxFile file = testing::IndexedPcx(indices, 6, 1, 1, 4);
    file.version = 3;
    std::vector<Rgb> expected = {0x000000, 0x0000AA, 0xAA5500, 0xAAAAAA, 0x555555, 0xFFFFFF};
    if (paletted) expected = Looked(indices, Bytes(triples.begin(), triples.begin() + 48));
    Library library;
    testing::TempFolder folder;
    win32::UniqueBitmap bitmap(library.load(folder.Write("old.pcx", testing::BuildPcx(file)).c_str(), 0));
    EXPECT_EQ(ReadBack(bitmap.Get()), expected);
}

// A box of the library as seen from outside.
struct SeenBox {
    bool found = false;
    std::string text;
    std::vector<std::string> buttons;
    bool errorIcon = false;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM context) {
    auto* box = reinterpret_cast<SeenBox*>(context);
    char kind[32] = {}, text[512] = {};
    ::GetClassNameA(child, kind, sizeof kind);
    ::GetWindowTextA(child, text, sizeof text);
    if (std::string(kind) == "Button") box->buttons.push_back(text);
    if (std::string(kind) != "Static") return TRUE;
    if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        box->errorIcon = ::SendMessageA(child, STM_GETICON, 0, 0) ==
                         reinterpret_cast<LRESULT>(::LoadIconA(nullptr, IDI_ERROR));
    } else if (text[0]) {
        box->text = text;
    }
    return TRUE;
}

// Waits up to ten seconds for the dialog box with this caption, reads it
// and answers it with the given button.
SeenBox AnswerBox(const char* caption, int answer) {
    SeenBox box;
    HWND window = nullptr;
    for (int i = 0; i < 500 && !(window = ::FindWindowA("#32770", caption)); ++i) ::Sleep(20);
    if (!window) return box;
    box.found = true;
    ::EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&box));
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
    return box;
}

// One load on a thread of its own: the boxes block the thread that shows them.
class BackgroundLoad {
public:
    BackgroundLoad(LoadProc load, const std::string& path)
        : thread_([this, load, path] { result_ = load(path.c_str(), 0), done_ = true; }) {}
    ~BackgroundLoad() { Result(); }
    HBITMAP Result() {
        if (thread_.joinable()) thread_.join();
        return result_;
    }
    bool Done() const { return done_; }

private:
    HBITMAP result_ = nullptr;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

TEST(ImgoraLib, AFailedLoadShowsTheLoadErrorBoxWithThePath) {
    Library library;
    testing::TempFolder folder;
    const std::string path = folder.PathOf("not there.jpg");
    BackgroundLoad load(library.load, path);
    const SeenBox box = AnswerBox("Error", IDOK);
    EXPECT_EQ(load.Result(), nullptr);
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.text, "Error Loading " + path);
    EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
    EXPECT_TRUE(box.errorIcon);
}

TEST(ImgoraLib, GifPcxAndTargaFilesItRefusesShowTheLoadErrorBox) {
    testing::GifFile gif;  // a minimum code size of 12
    gif.globalTable = testing::ColourTriples(4);
    testing::GifImage image;
    image.width = image.height = 2;
    image.minimumCodeSize = 12;
    image.raster = Bytes{0, 0};
    gif.images.push_back(image);
    testing::PcxFile pcx = testing::IndexedPcx(Bytes(4, 1), 2, 2, 8, 1);
    pcx.tail = testing::PcxColourBlock(testing::ColourTriples(256), 13);  // marker not 12
    testing::TargaFile targa;  // colour-mapped
    targa.imageType = 1;
    targa.colourMapType = 1;
    targa.colourMapLength = 2;
    targa.colourMapDepth = 24;
    targa.colourMap = Bytes(6, 0x40);
    targa.width = targa.height = 1;
    targa.depth = 8;
    targa.pixelData = {1};
    Library library;
    testing::TempFolder folder;
    for (const auto& [name, bytes] : {std::pair{"code size.gif", testing::BuildGif(gif)},
                                      {"marker.pcx", testing::BuildPcx(pcx)},
                                      {"mapped.tga", testing::BuildTarga(targa)},
                                      {"not a pcx.pcc", testing::BuildPcx(testing::IndexedPcx({1}, 1, 1, 1, 1))}}) {
        const std::string path = folder.Write(name, bytes);
        BackgroundLoad load(library.load, path);
        const SeenBox box = AnswerBox("Error", IDOK);
        EXPECT_EQ(load.Result(), nullptr) << name;
        EXPECT_EQ(box.text, "Error Loading " + path);
    }
}

TEST(ImgoraLib, AJpegCutShortAsksOnceThenLoadsOnOkOrFailsOnCancel) {
    Library library;
    testing::TempFolder folder;
    const Bytes whole = testing::EncodeJpeg(testing::TestPattern(120, 90, 3));
    const std::string path = folder.Write("cut.jpg", Bytes(whole.begin(), whole.begin() + whole.size() * 3 / 4));
    BackgroundLoad ok(library.load, path);
    const SeenBox warning = AnswerBox("Warning", IDOK);
    win32::UniqueBitmap bitmap(ok.Result());
    EXPECT_EQ(warning.text, "Premature end of JPEG file");
    EXPECT_EQ(warning.buttons, (std::vector<std::string>{"OK", "Cancel"}));
    EXPECT_TRUE(warning.errorIcon);
    EXPECT_EQ(ReadBack(bitmap.Get()).size(), 120u * 90);
    EXPECT_EQ(::FindWindowA("#32770", "Warning"), nullptr);

    BackgroundLoad cancel(library.load, path);
    EXPECT_TRUE(AnswerBox("Warning", IDCANCEL).found);
    EXPECT_EQ(AnswerBox("Error", IDOK).text, "Error Loading " + path);
    EXPECT_EQ(cancel.Result(), nullptr);
}

TEST(ImgoraLib, AFileThatCannotBeOpenedFailsWithoutABox) {
    Library library;
    testing::TempFolder folder;
    const std::string path = folder.Write("locked.bmp", Bytes{'B', 'M', 0});
    win32::UniqueFile held(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    BackgroundLoad load(library.load, path);
    bool boxShown = false;
    for (int i = 0; i < 500 && !load.Done(); ++i, ::Sleep(20)) {
        if (HWND box = ::FindWindowA("#32770", "Error")) {
            boxShown = true;
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
    }
    EXPECT_EQ(load.Result(), nullptr);
    EXPECT_FALSE(boxShown);
}

}  // namespace
}  // namespace imagelib
