// ImgoraLib.dll as its callers use it: loaded by path, exports found by
// their plain names, bitmaps read back with GetDIBits, and the message
// boxes found on the screen and answered while a load waits on them.
#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "common/win32/guards.h"
#include "imagelib/core/decode_file.h"
#include "imagelib/core/pcx_decoder.h"
#include "imagelib/core/targa_decoder.h"
#include "imagelib/core/test_files.h"
#include "imagelib/win32/gdi_display_palette.h"
#include "imagelib/win32/progress_window.h"

namespace imagelib {
namespace {

using testing::Bytes;
using LoadProc = HBITMAP(WINAPI*)(const char*, BYTE);
using SizeProc = int(WINAPI*)();
using LanguageProc = int(WINAPI*)(const char*);
using CustomProc = void(WINAPI*)(const char*, const char*, const char*, const char*, const char*);
using SaveProc = int(WINAPI*)(int, const char*);
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
    LanguageProc setLanguage = Find<LanguageProc>("ImgoraLibSetLanguage");
    CustomProc setCustom = Find<CustomProc>("ImgoraLibSetCustomLang");
    SaveProc save = Find<SaveProc>("ImgoraLibSaveAsJPG");
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
    for (const char* name : {"ImgoraLibLoad", "Load_JPG", "Load_GIF", "GetWidth", "GetHeight",
                             "ImgoraLibSetLanguage", "ImgoraLibSetCustomLang", "ImgoraLibSaveAsJPG"}) {
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
    BackgroundLoad(LoadProc load, const std::string& path, BYTE showProgress = 0)
        : thread_([this, load, path, showProgress] { result_ = load(path.c_str(), showProgress), done_ = true; }) {}
    // A box the test did not answer (it failed) is closed, so that the
    // load ends.
    ~BackgroundLoad() {
        for (int i = 0; i < 1000 && !done_; ++i, ::Sleep(10)) {
            if (HWND box = ::FindWindowA("#32770", nullptr)) ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        Result();
    }
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

const std::string kJapaneseProgress = "\x90\x69\x8D\x73\x8F\xEE\x95\xF1";
const std::string kJapaneseError = "\x83\x47\x83\x89\x81\x5B";
const std::string kJapaneseLoading = "\x83\x8D\x81\x5B\x83\x68\x92\x86";
const std::string kJapaneseErrorLoading =
    kJapaneseLoading + "\x82\xC9\x83\x47\x83\x89\x81\x5B\x82\xAA\x94\xAD\x90\xB6\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42";

TEST(ImgoraLib, TheLoadErrorBoxSpeaksTheChosenLanguage) {
    testing::TempFolder folder;
    const std::string path = folder.PathOf("missing.jpg");
    struct Case {
        std::function<int(const Library&)> choose;  // answers what the library answered
        int answer;
        std::string caption, text;
    };
    const auto language = [](const char* name) {
        return [name](const Library& library) { return library.setLanguage(name); };
    };
    const auto custom = [](const Library& library) {
        library.setCustom("Mein Fortschritt", "Mein Fehler", "Mein Laden", "Mein Ladefehler", "Meine Warnung");
        return -1;
    };
    const std::vector<Case> cases = {
        {language("ENGLISH"), 1, "Error", "Error Loading " + path},
        {language("german"), 1, "Fehler", "Fehler beim Laden der Datei " + path},
        {language("German"), 1, "Fehler", "Fehler beim Laden der Datei " + path},
        {language("GERMAN"), 1, "Fehler", "Fehler beim Laden der Datei " + path},
        {language("French"), 1, "Erreur", "Erreur en chargeant " + path},
        {language("spanish"), 1, "Erro", "Error leyendo " + path},
        {language("Dutch"), 1, "Foutmelding", "Fout bij laden " + path},
        {language("PortuGuese"), 1, "Erro", "Erro ao carregar " + path},
        {language("italian"), 1, "Errore", "Errore nel caricamento di " + path},
        {language("Japanese"), 1, kJapaneseError, path + " " + kJapaneseErrorLoading},
        // Custom texts after Japanese keep the file name first.
        {custom, -1, "Mein Fehler", path + " Mein Ladefehler"},
        {language("CUSTOM"), 1, "Mein Fehler", "Mein Ladefehler " + path},  // texts set before
        {language("Klingon"), 0, "Error", "Error Loading " + path},
        {language("german"), 1, "Fehler", "Fehler beim Laden der Datei " + path},
        {language("custom"), 1, "Fehler", "Fehler beim Laden der Datei " + path},  // texts kept
        {custom, -1, "Mein Fehler", "Mein Ladefehler " + path},                   // then replaced
    };
    {
        // Custom texts before any language are undone by the first load.
        Library fresh;
        custom(fresh);
        BackgroundLoad load(fresh.load, path);
        EXPECT_EQ(AnswerBox("Error", IDOK).text, "Error Loading " + path);
    }
    Library library;  // another copy, now that the first is gone
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.choose(library), c.answer);
        BackgroundLoad load(library.load, path);
        const SeenBox box = AnswerBox(c.caption.c_str(), IDOK);
        EXPECT_EQ(load.Result(), nullptr);
        ASSERT_TRUE(box.found);
        EXPECT_EQ(box.text, c.text);
    }
}

// The progress window of the library, if there is one, as seen from outside.
struct SeenWindow {
    HWND window = nullptr;
    bool visible = false;
    std::string caption, label;
    int position = -1;
    RECT client{}, frame{};
    LONG style = 0;
};

BOOL CALLBACK CollectControl(HWND child, LPARAM context) {
    auto* seen = reinterpret_cast<SeenWindow*>(context);
    char kind[64] = {}, text[512] = {};
    ::GetClassNameA(child, kind, sizeof kind);
    ::GetWindowTextA(child, text, sizeof text);
    if (std::string(kind) == "Static") seen->label = text;
    if (std::string(kind) == "msctls_progress32") {
        seen->position = static_cast<int>(::SendMessageA(child, PBM_GETPOS, 0, 0));
    }
    return TRUE;
}

SeenWindow SeeProgressWindow() {
    SeenWindow seen;
    seen.window = ::FindWindowA("TProgress", nullptr);
    if (!seen.window) return seen;
    char caption[256] = {};
    ::GetWindowTextA(seen.window, caption, sizeof caption);
    seen.caption = caption;
    seen.visible = ::IsWindowVisible(seen.window);
    ::GetClientRect(seen.window, &seen.client);
    ::GetWindowRect(seen.window, &seen.frame);
    seen.style = ::GetWindowLongA(seen.window, GWL_STYLE);
    ::EnumChildWindows(seen.window, CollectControl, reinterpret_cast<LPARAM>(&seen));
    return seen;
}

TEST(ImgoraLib, AWindowedLoadOfAMissingFileShowsTheWindowThenTheBoxThenReleasesIt) {
    Library library;
    testing::TempFolder folder;
    const std::string path = folder.PathOf("missing & gone.jpg");
    struct Case {
        const char* language;
        std::string caption, label, boxCaption;
    };
    const Case cases[] = {
        {"English", "Progress", "Loading " + path, "Error"},
        {"Japanese", kJapaneseProgress, path + " " + kJapaneseLoading, kJapaneseError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        library.setLanguage(c.language);
        BackgroundLoad load(library.load, path, 1);
        HWND box = nullptr;
        for (int i = 0; i < 500 && !(box = ::FindWindowA("#32770", c.boxCaption.c_str())); ++i) ::Sleep(20);
        ASSERT_TRUE(box);
        const SeenWindow seen = SeeProgressWindow();  // still there under the box
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(load.Result(), nullptr);
        ASSERT_TRUE(seen.window);
        EXPECT_TRUE(seen.visible);
        EXPECT_EQ(seen.caption, c.caption);
        EXPECT_EQ(seen.label, c.label);
        EXPECT_EQ(seen.position, 0);
        EXPECT_EQ(seen.client.right, 313);  // the session's screen has 96 dots per inch
        EXPECT_EQ(seen.client.bottom, 67);
        EXPECT_EQ((seen.style & (WS_CAPTION | WS_SYSMENU)), LONG(WS_CAPTION | WS_SYSMENU));
        EXPECT_EQ((seen.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)), 0);
        const int middleX = (seen.frame.left + seen.frame.right) / 2, middleY = (seen.frame.top + seen.frame.bottom) / 2;
        EXPECT_NEAR(middleX, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1);
        EXPECT_NEAR(middleY, ::GetSystemMetrics(SM_CYSCREEN) / 2, 1);
        EXPECT_FALSE(::IsWindow(seen.window));  // released after the box
    }
}

// A window of the caller's that counts what reaches it, and what it saw
// of the progress window at the time.
class CallerWindow {
public:
    CallerWindow() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "ImgoraLibTestCaller";
        ::RegisterClassA(&windowClass);
        window_ = ::CreateWindowA("ImgoraLibTestCaller", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, this);
        ::SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~CallerWindow() {
        ::DestroyWindow(window_);
        ::UnregisterClassA("ImgoraLibTestCaller", ::GetModuleHandleA(nullptr));
    }
    void Post() { ::PostMessageA(window_, WM_APP, 0, 0); }
    // A queue that never runs empty: every message brings the next.
    void Flood(bool on) {
        flooding_ = on;
        if (on) ::PostMessageA(window_, WM_APP + 1, 0, 0);
    }
    // Dispatches what the library left in the queue.
    void Drain() {
        MSG message;
        while (::PeekMessageA(&message, window_, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
    }

    int received = 0;
    SeenWindow progressSeen;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<CallerWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message == WM_APP) {
            ++self->received;
            self->progressSeen = SeeProgressWindow();
            return 0;
        }
        if (self && message == WM_APP + 1) {
            if (self->flooding_) ::PostMessageA(window, WM_APP + 1, 0, 0);
            return 0;
        }
        return ::DefWindowProcA(window, message, wParam, lParam);
    }

    HWND window_ = nullptr;
    bool flooding_ = false;
};

TEST(ImgoraLib, OnceAWindowedLoadHasRunLoadsAndSavesDispatchTheCallersMessages) {
    Library library;
    testing::TempFolder folder;
    const std::string jpeg = folder.Write("a.jpg", testing::EncodeJpeg(testing::TestPattern(40, 30, 3)));
    CallerWindow caller;

    caller.Post();
    win32::UniqueBitmap first(library.load(jpeg.c_str(), 0));
    ASSERT_TRUE(first);
    EXPECT_EQ(caller.received, 0);  // no hook yet: the message waits
    caller.Drain();
    ASSERT_EQ(caller.received, 1);

    caller.Post();
    win32::UniqueBitmap windowed(library.load(jpeg.c_str(), 1));
    ASSERT_TRUE(windowed);
    EXPECT_EQ(caller.received, 2);  // dispatched during the load, with the window up
    EXPECT_TRUE(caller.progressSeen.visible);
    EXPECT_EQ(caller.progressSeen.label, "Loading " + jpeg);
    EXPECT_GT(caller.progressSeen.position, 0);
    EXPECT_EQ(::FindWindowA("TProgress", nullptr), nullptr);  // released at the end

    caller.Post();
    win32::UniqueBitmap later(library.load(jpeg.c_str(), 0));
    EXPECT_EQ(caller.received, 3);
    EXPECT_EQ(caller.progressSeen.window, nullptr);
    caller.Post();
    EXPECT_EQ(library.save(80, folder.PathOf("b.jpg").c_str()), 1);
    EXPECT_EQ(caller.received, 4);

    // A quit posted meanwhile is left for the caller's own loop.
    ::PostQuitMessage(7);
    win32::UniqueBitmap quitting(library.load(jpeg.c_str(), 0));
    EXPECT_TRUE(quitting);
    MSG quit{};
    EXPECT_TRUE(::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);

    // A queue that never runs empty does not hold the load up for ever.
    caller.Flood(true);
    const DWORD start = ::GetTickCount();
    win32::UniqueBitmap flooded(library.load(jpeg.c_str(), 1));
    EXPECT_TRUE(flooded);
    EXPECT_LT(::GetTickCount() - start, 5000u);
    caller.Flood(false);
    caller.Drain();
}

TEST(ImgoraLibProgressWindow, Timer1HidesItAtNinetyEightAndClosingOnlyHidesIt) {
    TProgress progress;
    progress.Show("Progress", "Loading x");
    const HWND window = progress.Window();
    ASSERT_TRUE(window);
    const auto pumpFor = [&](DWORD milliseconds) {
        for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < milliseconds;) {
            progress.DispatchPendingMessages();
            ::Sleep(10);
        }
    };
    progress.SetPosition(97);
    pumpFor(1300);
    EXPECT_TRUE(::IsWindowVisible(window));
    progress.SetPosition(98);
    pumpFor(1300);
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_TRUE(::IsWindow(window));
    EXPECT_FALSE(::KillTimer(window, 1));  // Timer1 stopped by FormClose
    progress.SetPosition(40);  // the hidden bar still moves
    EXPECT_EQ(SeeProgressWindow().position, 40);
    progress.Release();
    EXPECT_FALSE(::IsWindow(window));

    // The close box hides the window and stops Timer1; the load goes on.
    progress.Show("Progress", "Loading y");
    ::SendMessageA(progress.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(::IsWindow(progress.Window()));
    EXPECT_FALSE(::IsWindowVisible(progress.Window()));
    EXPECT_FALSE(::KillTimer(progress.Window(), 1));
    progress.Release();
    EXPECT_EQ(progress.Window(), nullptr);
}

// Saving, through the DLL.

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> FilesIn(const testing::TempFolder& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    win32::UniqueFind search(::FindFirstFileA(folder.PathOf("*").c_str(), &found));
    for (bool more = search.Get() != INVALID_HANDLE_VALUE; more; more = ::FindNextFileA(search.Get(), &found)) {
        if (found.cFileName[0] != '.') names.push_back(found.cFileName);
    }
    std::sort(names.begin(), names.end());
    return names;
}

double Psnr(const std::vector<Rgb>& a, const std::vector<Rgb>& b) {
    double squares = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        for (int shift : {0, 8, 16}) {
            const double d = double((a[i] >> shift) & 0xFF) - double((b[i] >> shift) & 0xFF);
            squares += d * d;
        }
    return 10 * std::log10(255.0 * 255.0 * 3 * a.size() / std::max(squares, 1e-9));
}

TEST(ImgoraLib, SavesTheLastImageAsABaselineJfifFileThatLoadsBackAlike) {
    Library library;
    testing::TempFolder folder;
    const std::string source =
        folder.Write("photo.jpg", testing::EncodeJpeg(testing::TestPattern(93, 61, 3), {95}));
    win32::UniqueBitmap loaded(library.load(source.c_str(), 0));
    ASSERT_TRUE(loaded);
    const std::string saved = folder.PathOf("saved.jpg");
    ASSERT_EQ(library.save(90, saved.c_str()), 1);
    const Bytes bytes = ReadFile(saved);
    ASSERT_GT(bytes.size(), 11u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 11), (Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0}));
    // Baseline: a start-of-frame 0 and no other kind (entropy-coded data
    // holds no FF before a marker code).
    const auto has = [&bytes](std::uint8_t code) {
        const std::uint8_t marker[] = {0xFF, code};
        return std::search(bytes.begin(), bytes.end(), marker, marker + 2) != bytes.end();
    };
    EXPECT_TRUE(has(0xC0));
    for (const std::uint8_t other : {0xC1, 0xC2, 0xC3, 0xC9, 0xCA, 0xCB}) EXPECT_FALSE(has(other));
    win32::UniqueBitmap again(library.load(saved.c_str(), 0));
    ASSERT_TRUE(again);
    EXPECT_EQ(library.width(), 93);
    EXPECT_EQ(library.height(), 61);
    EXPECT_GE(Psnr(ReadBack(loaded.Get()), ReadBack(again.Get())), 30.0);

    // Plain red over plain blue.
    testing::Picture halves{16, 16, 3, {}};
    for (int i = 0; i < 256; ++i) halves.samples.insert(halves.samples.end(), {std::uint8_t(i < 128 ? 255 : 0), 0, std::uint8_t(i < 128 ? 0 : 255)});
    win32::UniqueBitmap red(library.load(folder.Write("h.jpg", testing::EncodeJpeg(halves, {95})).c_str(), 0));
    ASSERT_EQ(library.save(95, saved.c_str()), 1);
    win32::UniqueBitmap reread(library.load(saved.c_str(), 0));
    const std::vector<Rgb> pixels = ReadBack(reread.Get());
    EXPECT_GT(pixels[3 * 16 + 8] >> 16, 0xF0u);
    EXPECT_LT(pixels[3 * 16 + 8] & 0xFF, 0x10u);
    EXPECT_GT(pixels[12 * 16 + 8] & 0xFF, 0xF0u);
    EXPECT_LT(pixels[12 * 16 + 8] >> 16, 0x10u);

    // Two saves in a row at different qualities, the second over the first.
    ASSERT_EQ(library.save(95, saved.c_str()), 1);
    const std::size_t fine = ReadFile(saved).size();
    ASSERT_EQ(library.save(10, saved.c_str()), 1);
    EXPECT_LT(ReadFile(saved).size(), fine);
    EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"h.jpg", "photo.jpg", "saved.jpg"}));
}

// Loads on a thread of its own and answers a load error box if one comes.
HBITMAP LoadAnsweringErrors(const Library& library, const std::string& path) {
    BackgroundLoad load(library.load, path);
    for (int i = 0; i < 500 && !load.Done(); ++i, ::Sleep(10)) {
        if (HWND box = ::FindWindowA("#32770", "Error")) ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return load.Result();
}

TEST(ImgoraLib, SavingAnswersZeroAndLeavesTheFolderAsItWasWhenItCannotSave) {
    Library library;
    testing::TempFolder folder;
    const std::string target = folder.Write("target.jpg", Bytes{'o', 'l', 'd'});
    const auto expectNothingWritten = [&](const char* why) {
        EXPECT_EQ(ReadFile(target), (Bytes{'o', 'l', 'd'})) << why;
        EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"in.img", "target.jpg"})) << why;
    };
    folder.Write("in.img", Bytes{0});
    EXPECT_EQ(library.save(80, folder.PathOf("new.jpg").c_str()), 0);  // nothing loaded yet
    expectNothingWritten("nothing loaded");

    // A GIF and a palette BMP: both load as palette images.
    const Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 255, 255, 255, 0, 0, 0,
                       ',', 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 1, 0, ';'};
    testing::BmpFile palette(4, 2, 8);
    for (int i = 0; i < 256; ++i) palette.colourTable.insert(palette.colourTable.end(), {std::uint8_t(i), 0, 0, 0});
    palette.pixelData.assign(8, 7);
    for (const Bytes& file : {gif, testing::BuildBmp(palette)}) {
        win32::UniqueBitmap bitmap(LoadAnsweringErrors(library, folder.Write("in.img", file)));
        EXPECT_TRUE(bitmap);
        EXPECT_EQ(library.save(80, target.c_str()), 0);
        EXPECT_EQ(library.save(80, folder.PathOf("new.jpg").c_str()), 0);
        expectNothingWritten("palette image");
    }

    // After a failed load no image is kept.
    win32::UniqueBitmap colour(library.load(folder.Write("in.img", testing::EncodeJpeg(testing::TestPattern(8, 8, 3))).c_str(), 0));
    ASSERT_TRUE(colour);
    EXPECT_EQ(LoadAnsweringErrors(library, folder.PathOf("missing.jpg")), nullptr);
    EXPECT_EQ(library.save(80, folder.PathOf("new.jpg").c_str()), 0);
    expectNothingWritten("failed load");

    // A target another program holds, and an image too wide for JPEG,
    // which libjpeg refuses once the output is under way.
    win32::UniqueBitmap again(library.load(folder.PathOf("in.img").c_str(), 0));
    {
        win32::UniqueFile held(::CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_EQ(library.save(80, target.c_str()), 0);
    }
    expectNothingWritten("target held");
    testing::BmpFile wide(65501, 1);
    wide.pixelData.assign(65504 * 3, 0x80);
    win32::UniqueBitmap wideBitmap(library.load(folder.Write("in.img", testing::BuildBmp(wide)).c_str(), 0));
    EXPECT_EQ(library.width(), 65501);
    EXPECT_EQ(library.save(80, target.c_str()), 0);
    expectNothingWritten("too wide");
}

}  // namespace
}  // namespace imagelib
