// ImgoraLib.dll as its callers use it: bound at run time from the
// deliverables' folder, exports found by their plain names, bitmaps read
// back with GetDIBits, the message boxes found on the screen and answered.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "common/win32/guards.h"
#include "imagelib/core/decode_file.h"
#include "imagelib/core/test_files.h"

namespace imagelib {
namespace {

using testing::BmpFile;
using testing::Bytes;
using testing::Picture;
using testing::TempFolder;

using LoadProc = HBITMAP(WINAPI*)(const char*, BYTE);
using SizeProc = int(WINAPI*)();

// GetProcAddress answers a generic function pointer; it goes through
// void(*)() on its way to the real type.
template <typename Proc>
Proc Find(HMODULE module, const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

// A fresh copy of the library for each test: its state starts at zero.
class Library {
public:
    Library() : module_(::LoadLibraryA(IMGORALIB_PATH)) {
        if (!module_) return;
        load = Find<LoadProc>(module_.Get(), "ImgoraLibLoad");
        getWidth = Find<SizeProc>(module_.Get(), "GetWidth");
        getHeight = Find<SizeProc>(module_.Get(), "GetHeight");
    }
    HMODULE Module() const { return module_.Get(); }
    bool Ready() const { return load && getWidth && getHeight; }

    LoadProc load = nullptr;
    SizeProc getWidth = nullptr;
    SizeProc getHeight = nullptr;

private:
    win32::UniqueLibrary module_;
};

using Rgb = std::uint32_t;  // 0x00RRGGBB

std::vector<Rgb> ReadBack(HBITMAP bitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<Rgb> pixels(static_cast<std::size_t>(width) * height);
    win32::WindowDc screen;
    EXPECT_EQ(::GetDIBits(screen.Get(), bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS),
              height);
    for (Rgb& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

SIZE SizeOf(HBITMAP bitmap) {
    BITMAP info{};
    ::GetObjectA(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

Rgb FromPicture(const Picture& picture, int x, int y) {
    const std::uint8_t* p = picture.At(x, y);
    return picture.components == 1 ? (Rgb{p[0]} << 16 | Rgb{p[0]} << 8 | p[0])
                                   : (Rgb{p[0]} << 16 | Rgb{p[1]} << 8 | p[2]);
}

std::vector<Rgb> Expected(const Picture& picture) {
    std::vector<Rgb> pixels;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) pixels.push_back(FromPicture(picture, x, y));
    return pixels;
}

// What the core decodes from the file, top row first.
std::vector<Rgb> CoreDecode(const std::string& path) {
    const DecodeEnvironment environment;
    const DecodeResult result = DecodeFile(path, true, environment);
    EXPECT_TRUE(result.record);
    if (!result.record) return {};
    const ImageRecord& record = result.record;
    const int width = record.Width(), height = record.Height(), bits = record.BitCount();
    const std::size_t stride = static_cast<std::size_t>(RowStride(width, bits));
    std::vector<Rgb> pixels;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = record.Pixels() + (height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* bgr = bits == 24 ? row + 3 * x : record.ColourTable() + 4 * row[x];
            pixels.push_back(Rgb{bgr[2]} << 16 | Rgb{bgr[1]} << 8 | bgr[0]);
        }
    }
    return pixels;
}

TEST(ImgoraLib, ExportsItsOperationsUnderTheirPlainNames) {
    Library library;
    ASSERT_NE(library.Module(), nullptr) << IMGORALIB_PATH;
    for (const char* name : {"ImgoraLibLoad", "Load_JPG", "Load_GIF", "GetWidth", "GetHeight"}) {
        EXPECT_NE(::GetProcAddress(library.Module(), name), nullptr) << name;
    }
    ASSERT_TRUE(library.Ready());
    EXPECT_EQ(library.getWidth(), 0);
    EXPECT_EQ(library.getHeight(), 0);
}

TEST(ImgoraLib, CarriesItsVersionRecord) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(IMGORALIB_PATH, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(::GetFileVersionInfoA(IMGORALIB_PATH, 0, size, block.data()));
    const auto text = [&](const char* name) {
        const std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
        char* value = nullptr;
        UINT length = 0;
        if (!::VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
            return std::string("(none)");
        return std::string(value);
    };
    EXPECT_EQ(text("FileVersion"), "1.1.5");
    EXPECT_EQ(text("ProductVersion"), "1.1.5");
    EXPECT_EQ(text("InternalName"), "ImgoraLib");
    EXPECT_EQ(text("OriginalFilename"), "ImgoraLib.dll");
    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                                 reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04E4);
    VS_FIXEDFILEINFO* fixed = nullptr;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
}

TEST(ImgoraLib, BmpFilesComeBackAsScreenBitmapsWithTheirPixels) {
    Library library;
    ASSERT_TRUE(library.Ready());
    TempFolder folder;
    const Picture picture = testing::TestPattern(7, 5, 3);

    for (const bool topDown : {false, true}) {
        BmpFile file;
        file.width = 7;
        file.height = topDown ? -5 : 5;
        file.pixelData = testing::BmpRows24(picture, topDown);
        win32::UniqueBitmap bitmap(library.load(folder.Write("true.bmp", testing::BuildBmp(file)).c_str(), 0));
        ASSERT_TRUE(bitmap) << topDown;
        EXPECT_EQ(SizeOf(bitmap.Get()).cx, 7);
        EXPECT_EQ(SizeOf(bitmap.Get()).cy, 5);
        EXPECT_EQ(ReadBack(bitmap.Get(), 7, 5), Expected(picture)) << topDown;
        EXPECT_EQ(library.getWidth(), 7);
        EXPECT_EQ(library.getHeight(), topDown ? -5 : 5);
    }

    // Four-bit palette file: two rows, colours 1, 2, 3 / 15, 0, 1.
    BmpFile palette;
    palette.width = 3;
    palette.height = 2;
    palette.bitCount = 4;
    for (int i = 0; i < 16; ++i) {
        palette.colourTable.insert(palette.colourTable.end(),
                                   {static_cast<std::uint8_t>(i * 16), static_cast<std::uint8_t>(i),
                                    static_cast<std::uint8_t>(255 - i), 0});
    }
    palette.pixelData = {0xF0, 0x10, 0, 0, 0x12, 0x30, 0, 0};  // bottom row first
    win32::UniqueBitmap bitmap(library.load(folder.Write("palette.bmp", testing::BuildBmp(palette)).c_str(), 0));
    ASSERT_TRUE(bitmap);
    const auto colour = [](int i) { return Rgb(255 - i) << 16 | Rgb(i) << 8 | Rgb(i * 16); };
    EXPECT_EQ(ReadBack(bitmap.Get(), 3, 2),
              (std::vector<Rgb>{colour(1), colour(2), colour(3), colour(15), colour(0), colour(1)}));
}

TEST(ImgoraLib, JpegFilesComeBackWithTheDecodedPixelsInTheirPlaces) {
    Library library;
    ASSERT_TRUE(library.Ready());
    TempFolder folder;
    for (const int components : {3, 1}) {
        const std::string path = folder.Write(
            "photo.jpg", testing::EncodeJpeg(testing::TestPattern(37, 23, components)));
        win32::UniqueBitmap bitmap(library.load(path.c_str(), 0));
        ASSERT_TRUE(bitmap) << components;
        EXPECT_EQ(library.getWidth(), 37);
        EXPECT_EQ(library.getHeight(), 23);
        EXPECT_EQ(ReadBack(bitmap.Get(), 37, 23), CoreDecode(path)) << components;
    }

    // Quarters of plain colour: red, green / blue, white. The middle of
    // each quarter comes back close to its colour.
    Picture quarters{32, 32, 3, {}};
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const Rgb rgb = y < 16 ? (x < 16 ? 0xFF0000 : 0x00FF00) : (x < 16 ? 0x0000FF : 0xFFFFFF);
            quarters.samples.insert(quarters.samples.end(),
                                    {std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb)});
        }
    win32::UniqueBitmap bitmap(library.load(folder.Write("quarters.jpg", testing::EncodeJpeg(quarters, {95})).c_str(), 0));
    ASSERT_TRUE(bitmap);
    const std::vector<Rgb> pixels = ReadBack(bitmap.Get(), 32, 32);
    const auto similar = [](Rgb a, Rgb b) {
        for (int shift = 0; shift < 24; shift += 8) {
            if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 12) return false;
        }
        return true;
    };
    EXPECT_PRED2(similar, pixels[8 * 32 + 8], 0xFF0000u);
    EXPECT_PRED2(similar, pixels[8 * 32 + 24], 0x00FF00u);
    EXPECT_PRED2(similar, pixels[24 * 32 + 8], 0x0000FFu);
    EXPECT_PRED2(similar, pixels[24 * 32 + 24], 0xFFFFFFu);
}

TEST(ImgoraLib, AnEarlierBitmapStaysValidAfterTheNextLoad) {
    Library library;
    ASSERT_TRUE(library.Ready());
    TempFolder folder;
    const Picture picture = testing::TestPattern(4, 4, 3);
    BmpFile file;
    file.width = 4;
    file.height = 4;
    file.pixelData = testing::BmpRows24(picture);
    const std::string path = folder.Write("a.bmp", testing::BuildBmp(file));
    win32::UniqueBitmap first(library.load(path.c_str(), 0));
    win32::UniqueBitmap second(library.load(folder.Write("b.jpg", testing::EncodeJpeg(testing::TestPattern(9, 9, 3))).c_str(), 0));
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    EXPECT_EQ(ReadBack(first.Get(), 4, 4), Expected(picture));
}

// A message box of the library, as seen from outside.
struct SeenBox {
    bool found = false;
    std::string text;
    std::vector<std::string> buttons;
    bool errorIcon = false;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM context) {
    auto* box = reinterpret_cast<SeenBox*>(context);
    char className[64] = {};
    char text[512] = {};
    ::GetClassNameA(child, className, sizeof className);
    ::GetWindowTextA(child, text, sizeof text);
    const std::string kind = className;
    if (kind == "Button") {
        box->buttons.push_back(text);
    } else if (kind == "Static") {
        if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            const auto icon = reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0));
            box->errorIcon = icon != nullptr && icon == ::LoadIconA(nullptr, IDI_ERROR);
        } else if (text[0] != '\0') {
            box->text = text;
        }
    }
    return TRUE;
}

// Waits for a top-level dialog box with this caption, reads it and answers
// it with the given button; gives up after ten seconds.
SeenBox AnswerBox(const char* caption, int answer) {
    SeenBox box;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    HWND window = nullptr;
    while (!(window = ::FindWindowA("#32770", caption)) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!window) return box;
    box.found = true;
    ::EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&box));
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
    return box;
}

// Runs one load on a thread of its own, as the boxes block the thread
// that shows them.
class LoadInBackground {
public:
    LoadInBackground(LoadProc load, std::string path)
        : thread_([this, load, path] {
              result_ = load(path.c_str(), 0);
              done_ = true;
          }) {}
    ~LoadInBackground() {
        if (thread_.joinable()) thread_.join();
    }
    HBITMAP Result() {
        thread_.join();
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
    ASSERT_TRUE(library.Ready());
    TempFolder folder;
    const std::string path = folder.PathOf("not there.jpg");
    LoadInBackground load(library.load, path);
    const SeenBox box = AnswerBox("Error", IDOK);
    EXPECT_EQ(load.Result(), nullptr);
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.text, "Error Loading " + path);
    EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
    EXPECT_TRUE(box.errorIcon);
    EXPECT_EQ(library.getWidth(), 0);
}

TEST(ImgoraLib, AJpegCutShortAsksOnceAndLoadsOnOkOrFailsOnCancel) {
    Library library;
    ASSERT_TRUE(library.Ready());
    TempFolder folder;
    const Bytes whole = testing::EncodeJpeg(testing::TestPattern(120, 90, 3));
    const std::string path =
        folder.Write("cut.jpg", Bytes(whole.begin(), whole.begin() + whole.size() * 3 / 4));

    {
        LoadInBackground load(library.load, path);
        const SeenBox warning = AnswerBox("Warning", IDOK);
        win32::UniqueBitmap bitmap(load.Result());
        ASSERT_TRUE(warning.found);
        EXPECT_EQ(warning.text, "Premature end of JPEG file");
        EXPECT_EQ(warning.buttons, (std::vector<std::string>{"OK", "Cancel"}));
        EXPECT_TRUE(warning.errorIcon);
        ASSERT_TRUE(bitmap);
        EXPECT_EQ(SizeOf(bitmap.Get()).cx, 120);
        EXPECT_EQ(SizeOf(bitmap.Get()).cy, 90);
        EXPECT_EQ(::FindWindowA("#32770", "Warning"), nullptr);  // asked once only
    }
    {
        LoadInBackground load(library.load, path);
        const SeenBox warning = AnswerBox("Warning", IDCANCEL);
        const SeenBox error = AnswerBox("Error", IDOK);
        EXPECT_EQ(load.Result(), nullptr);
        EXPECT_TRUE(warning.found);
        ASSERT_TRUE(error.found);
        EXPECT_EQ(error.text, "Error Loading " + path);
    }
}

TEST(ImgoraLib, AFileThatCannotBeOpenedFailsWithoutABox) {
    Library library;
    ASSERT_TRUE(library.Ready());
    TempFolder folder;
    const std::string path = folder.Write("locked.bmp", Bytes{'B', 'M', 0});
    // Held open with no sharing, so that the library cannot open it.
    win32::UniqueFile held(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    LoadInBackground load(library.load, path);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    bool boxShown = false;
    while (!load.Done() && std::chrono::steady_clock::now() < deadline) {
        if (HWND box = ::FindWindowA("#32770", "Error")) {
            boxShown = true;
            ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(load.Result(), nullptr);
    EXPECT_FALSE(boxShown);
}

}  // namespace
}  // namespace imagelib
