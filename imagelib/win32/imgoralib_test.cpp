// ImgoraLib.dll as its callers use it: loaded by path, exports found by
// their plain names, bitmaps read back with GetDIBits, and the message
// boxes found on the screen and answered while a load waits on them. What
// the decoders make of each kind of file is shown by the native tests;
// here one file of each kind reaches the caller as the core made it.
#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "common/win32/guards.h"
#include "imagelib/core/decode_file.h"
#include "imagelib/core/testing/test_files.h"
#include "imagelib/win32/gdi_display_palette.h"
#include "imagelib/win32/progress_window.h"

namespace imagelib {
namespace {

using testing::Bytes;
using testing::Rgb;  // 0x00RRGGBB
using LoadProc = HBITMAP(WINAPI*)(const char*, BYTE);
using SizeProc = int(WINAPI*)();
using LanguageProc = int(WINAPI*)(const char*);
using CustomProc = void(WINAPI*)(const char*, const char*, const char*, const char*, const char*);
using SaveProc = int(WINAPI*)(int, const char*);

// A fresh copy of the library for each test, so its state starts at zero.
struct Library {
    template <typename Proc>
    Proc Find(const char* name) const {
        return reinterpret_cast<Proc>(
            reinterpret_cast<void (*)()>(::GetProcAddress(module.Get(), name)));
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
    info.bmiHeader = {
        sizeof info.bmiHeader, size.bmWidth, -size.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<Rgb> pixels(static_cast<std::size_t>(size.bmWidth) * size.bmHeight);
    win32::WindowDc screen;
    EXPECT_EQ(
        ::GetDIBits(screen.Get(), bitmap, 0, size.bmHeight, pixels.data(), &info, DIB_RGB_COLORS),
        size.bmHeight);
    for (Rgb& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

TEST(ImgoraLib, ExportsItsOperationsUnderTheirPlainNamesAndCarriesItsVersion) {
    Library library;
    ASSERT_TRUE(library.module) << IMGORALIB_PATH;
    for (const char* name :
         {"ImgoraLibLoad", "Load_JPG", "Load_GIF", "GetWidth", "GetHeight", "ImgoraLibSetLanguage",
          "ImgoraLibSetCustomLang", "ImgoraLibSaveAsJPG"}) {
        EXPECT_NE(library.Find<void (*)()>(name), nullptr) << name;
    }
    EXPECT_EQ(library.width(), 0);
    EXPECT_EQ(library.height(), 0);

    // The saver compares the FileVersion of an installed copy with its own.
    std::vector<char> block(::GetFileVersionInfoSizeA(IMGORALIB_PATH, nullptr));
    ASSERT_TRUE(::GetFileVersionInfoA(IMGORALIB_PATH, 0, block.size(), block.data()));
    char* version = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\StringFileInfo\\040904E4\\FileVersion",
                                 reinterpret_cast<void**>(&version), &length));
    EXPECT_STREQ(version, "1.1.5");
}

TEST(ImgoraLib, FilesOfEveryKindComeBackAsBitmapsWithTheirPixelsInPlace) {
    testing::BmpFile bottomUp(7, 5), topDown(7, -5), palette(3, 2, 4);
    bottomUp.pixelData = testing::BmpRows24(testing::TestPattern(7, 5, 3));
    topDown.pixelData = testing::BmpRows24(testing::TestPattern(7, 5, 3), true);
    for (int i = 0; i < 16; ++i)
        palette.colourTable.insert(palette.colourTable.end(), {std::uint8_t(i), 0, 0, 0});
    palette.pixelData = {0xF0, 0x10, 0, 0, 0x12, 0x30, 0, 0};
    testing::PcxFile old = testing::IndexedPcx({0, 1, 6, 7, 8, 15}, 6, 1, 1, 4);
    old.version = 3;  // the display's palette, or fixed colours
    const std::string photos = JPEG_TESTDATA;
    struct Case {
        std::string name;
        Bytes bytes;
        std::vector<Rgb> pixels;  // if given, the pixels themselves
    };
    const Case cases[] = {
        {"bottom-up.bmp", testing::BuildBmp(bottomUp), {}},
        {"top-down.bmp", testing::BuildBmp(topDown), {}},
        {"palette.bmp", testing::BuildBmp(palette), {1, 2, 3, 15, 0, 1}},
        {"colour.jpg", testing::EncodeJpeg(testing::TestPattern(37, 23, 3)), {}},
        {"two.gif", testing::BuildGif(testing::OneImageGif(9, 4, 2, testing::Counting(36, 2))), {}},
        {"four.gif",
         testing::BuildGif(testing::OneImageGif(7, 3, 4, testing::Counting(21, 4))),
         {}},
        {"many.gif",
         testing::BuildGif(testing::OneImageGif(20, 4, 256, testing::Counting(80, 256))),
         {}},
        {"old.pcx", testing::BuildPcx(old), {}},
        {"top-down.TGA", testing::BuildTarga(testing::TargaPicture(5, 4, 16, true, true)),
         testing::TargaColours(5, 4)},
        // Photos as cameras and editors write them, through the library's
        // own build of libjpeg: Exif first and turned, YCCK, arithmetic
        // coding (what a viewer shows of each is the native tests' part).
        {"phone-6.jpg", testing::FileBytes(photos + "\\phone-6.jpg"), {}},
        {"adobe-ycck.jpg", testing::FileBytes(photos + "\\adobe-ycck.jpg"), {}},
        {"arithmetic-progressive.jpg",
         testing::FileBytes(photos + "\\arithmetic-progressive.jpg"),
         {}},
    };
    // Only a palette device has a system palette; the core is given the
    // same display as the library.
    win32::UniqueMemoryDc screen(::CreateDCA("Display", nullptr, nullptr, nullptr));
    PaletteTriples triples{};
    const GdiDisplayPalette display;
    EXPECT_EQ(display.SystemColours(16, triples),
              (::GetDeviceCaps(screen.Get(), RASTERCAPS) & RC_PALETTE) != 0);
    Library library;
    testing::TempFolder folder;
    for (const Case& c : cases) {
        ASSERT_FALSE(c.bytes.empty()) << c.name;
        const std::string path = folder.Write(c.name, c.bytes);
        win32::UniqueBitmap bitmap(library.load(path.c_str(), 0));
        ASSERT_TRUE(bitmap) << c.name;
        const DecodeResult core =
            DecodeFile(path, DecodeEnvironment{nullptr, nullptr, {}, &display});
        EXPECT_EQ(library.width(), core.record.Width()) << c.name;
        EXPECT_EQ(library.height(), core.record.Height()) << c.name;
        const std::vector<Rgb> pixels = ReadBack(bitmap.Get());
        EXPECT_EQ(pixels, testing::RecordColours(core.record)) << c.name;
        if (!c.pixels.empty()) {
            EXPECT_EQ(pixels, c.pixels) << c.name;
        }
    }
}

// A window of the library's as seen from outside: a message box or the
// progress window.
struct Seen {
    HWND window = nullptr;
    bool visible = false;
    std::string caption, text;  // text: the box's text, or Label1's
    std::vector<std::string> buttons;
    bool errorIcon = false;
    int position = -1;  // ProgressBar1's
    RECT frame{};
};

BOOL CALLBACK CollectChild(HWND child, LPARAM context) {
    auto* seen = reinterpret_cast<Seen*>(context);
    char kind[64] = {}, text[512] = {};
    ::GetClassNameA(child, kind, sizeof kind);
    ::GetWindowTextA(child, text, sizeof text);
    const std::string name = kind;
    if (name == "Button") seen->buttons.push_back(text);
    if (name == "msctls_progress32")
        seen->position = static_cast<int>(::SendMessageA(child, PBM_GETPOS, 0, 0));
    if (name != "Static") return TRUE;
    if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        seen->errorIcon = ::SendMessageA(child, STM_GETICON, 0, 0) ==
                          reinterpret_cast<LRESULT>(::LoadIconA(nullptr, IDI_ERROR));
    } else if (text[0]) {
        seen->text = text;
    }
    return TRUE;
}

// The window of this class ("TProgress", or "#32770" for a message box),
// if there is one.
Seen See(const char* windowClass) {
    Seen seen;
    seen.window = ::FindWindowA(windowClass, nullptr);
    if (!seen.window) return seen;
    char caption[256] = {};
    ::GetWindowTextA(seen.window, caption, sizeof caption);
    seen.caption = caption;
    seen.visible = ::IsWindowVisible(seen.window);
    ::GetWindowRect(seen.window, &seen.frame);
    ::EnumChildWindows(seen.window, CollectChild, reinterpret_cast<LPARAM>(&seen));
    return seen;
}

// A load on a thread of its own (a box blocks the thread that shows it),
// the boxes it showed, each read and answered (a box with two buttons, the
// JPEG warning, with `warningAnswer`, any other with OK), and the progress
// window as it was under the first box.
struct Loaded {
    win32::UniqueBitmap bitmap;
    std::vector<Seen> boxes;
    Seen progress;
};

Loaded LoadAnsweringBoxes(LoadProc load, const std::string& path, BYTE showProgress = 0,
                          int warningAnswer = IDOK) {
    HBITMAP result = nullptr;
    std::atomic<bool> done{false};
    std::thread thread([&] { result = load(path.c_str(), showProgress), done = true; });
    Loaded loaded;
    for (int i = 0; i < 1000 && !done; ++i, ::Sleep(10)) {
        const Seen box = See("#32770");
        if (!box.visible) continue;
        if (loaded.boxes.empty()) loaded.progress = See("TProgress");
        ::PostMessageA(box.window, WM_COMMAND, box.buttons.size() > 1 ? warningAnswer : IDOK, 0);
        for (int j = 0; j < 500 && ::IsWindow(box.window); ++j) ::Sleep(10);
        loaded.boxes.push_back(box);
    }
    thread.join();
    loaded.bitmap.Reset(result);
    return loaded;
}

TEST(ImgoraLib, AFailedLoadShowsTheLoadErrorBoxWithThePathButAFileHeldOpenFailsSilently) {
    // Which files fail to decode is the native tests' part.
    Library library;
    testing::TempFolder folder;
    const std::string paths[] = {
        folder.PathOf("not there.jpg"),
        folder.Write("not a pcx.pcc", testing::BuildPcx(testing::IndexedPcx({1}, 1, 1, 1, 1))),
        // Scan lines of 4 GiB and a little more, which the file's size allows.
        folder.Write("wide lines.pcx", testing::BuildPcx(testing::WideLinesPcx()),
                     testing::kWideLinesPcxFileSize),
    };
    for (const std::string& path : paths) {
        const Loaded loaded = LoadAnsweringBoxes(library.load, path);
        EXPECT_FALSE(loaded.bitmap) << path;
        ASSERT_EQ(loaded.boxes.size(), 1u) << path;
        EXPECT_EQ(loaded.boxes[0].caption, "Error");
        EXPECT_EQ(loaded.boxes[0].text, "Error Loading " + path);
        EXPECT_EQ(loaded.boxes[0].buttons, std::vector<std::string>{"OK"});
        EXPECT_TRUE(loaded.boxes[0].errorIcon);
    }
    const std::string locked = folder.Write("locked.bmp", Bytes{'B', 'M', 0});
    win32::UniqueFile held(
        ::CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    const Loaded silent = LoadAnsweringBoxes(library.load, locked);
    EXPECT_FALSE(silent.bitmap);
    EXPECT_TRUE(silent.boxes.empty());
}

TEST(ImgoraLib, AJpegCutShortAsksOnceThenLoadsOnOkOrFailsOnCancel) {
    Library library;
    testing::TempFolder folder;
    const Bytes whole = testing::EncodeJpeg(testing::TestPattern(120, 90, 3));
    const std::string path =
        folder.Write("cut.jpg", Bytes(whole.begin(), whole.begin() + whole.size() * 3 / 4));
    const Loaded ok = LoadAnsweringBoxes(library.load, path);
    ASSERT_EQ(ok.boxes.size(), 1u);
    EXPECT_EQ(ok.boxes[0].caption, "Warning");
    EXPECT_EQ(ok.boxes[0].text, "Premature end of JPEG file");
    EXPECT_EQ(ok.boxes[0].buttons, (std::vector<std::string>{"OK", "Cancel"}));
    EXPECT_TRUE(ok.boxes[0].errorIcon);
    ASSERT_TRUE(ok.bitmap);
    EXPECT_EQ(ReadBack(ok.bitmap.Get()).size(), 120u * 90);

    const Loaded cancelled = LoadAnsweringBoxes(library.load, path, 0, IDCANCEL);
    EXPECT_FALSE(cancelled.bitmap);
    ASSERT_EQ(cancelled.boxes.size(), 2u);
    EXPECT_EQ(cancelled.boxes[0].caption, "Warning");
    EXPECT_EQ(cancelled.boxes[1].text, "Error Loading " + path);
}

const std::string kJapaneseProgress = "\x90\x69\x8D\x73\x8F\xEE\x95\xF1";
const std::string kJapaneseError = "\x83\x47\x83\x89\x81\x5B";
const std::string kJapaneseLoading = "\x83\x8D\x81\x5B\x83\x68\x92\x86";
const std::string kJapaneseErrorLoading = kJapaneseLoading +
                                          "\x82\xC9\x83\x47\x83\x89\x81\x5B\x82\xAA\x94\xAD\x90\xB6"
                                          "\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42";

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
        library.setCustom("Mein Fortschritt", "Mein Fehler", "Mein Laden", "Mein Ladefehler",
                          "Meine Warnung");
        return -1;
    };
    const std::vector<Case> cases = {
        {custom, -1, "Error", "Error Loading " + path},  // before the first load, which undoes them
        {language("Japanese"), 1, kJapaneseError, path + " " + kJapaneseErrorLoading},
        // Custom texts after Japanese keep the file name first.
        {custom, -1, "Mein Fehler", path + " Mein Ladefehler"},
        {language("CUSTOM"), 1, "Mein Fehler", "Mein Ladefehler " + path},  // texts set before
        {language("Klingon"), 0, "Error", "Error Loading " + path},
        {language("german"), 1, "Fehler", "Fehler beim Laden der Datei " + path},
        {language("custom"), 1, "Fehler", "Fehler beim Laden der Datei " + path},  // texts kept
        {custom, -1, "Mein Fehler", "Mein Ladefehler " + path},                    // then replaced
    };
    Library library;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.choose(library), c.answer);
        const Loaded loaded = LoadAnsweringBoxes(library.load, path);
        EXPECT_FALSE(loaded.bitmap);
        ASSERT_EQ(loaded.boxes.size(), 1u);
        EXPECT_EQ(loaded.boxes[0].caption, c.caption);
        EXPECT_EQ(loaded.boxes[0].text, c.text);
    }
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
        const Loaded loaded = LoadAnsweringBoxes(library.load, path, 1);
        EXPECT_FALSE(loaded.bitmap);
        ASSERT_EQ(loaded.boxes.size(), 1u);
        EXPECT_EQ(loaded.boxes[0].caption, c.boxCaption);
        const Seen& seen = loaded.progress;  // still there under the box
        ASSERT_TRUE(seen.window);
        EXPECT_TRUE(seen.visible);
        EXPECT_EQ(seen.caption, c.caption);
        EXPECT_EQ(seen.text, c.label);
        EXPECT_EQ(seen.position, 0);
        const int middleX = (seen.frame.left + seen.frame.right) / 2,
                  middleY = (seen.frame.top + seen.frame.bottom) / 2;
        EXPECT_NEAR(middleX, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1);
        EXPECT_NEAR(middleY, ::GetSystemMetrics(SM_CYSCREEN) / 2, 1);
        EXPECT_FALSE(::IsWindow(seen.window));  // released after the box
    }
}

// The caller's window: counts the WM_APP messages that reach it and notes
// the progress window as it was then; WM_APP + 1 posts itself again while
// `flooding`, so that the queue never runs empty.
struct Caller {
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_APP) {
            ++received;
            progressSeen = See("TProgress");
        } else if (message == WM_APP + 1) {
            if (flooding) ::PostMessageA(window, WM_APP + 1, 0, 0);
        } else {
            return ::DefWindowProcA(window, message, wParam, lParam);
        }
        return 0;
    }
    static inline int received = 0;
    static inline Seen progressSeen;
    static inline bool flooding = false;
};

TEST(ImgoraLib, OnceAWindowedLoadHasRunLoadsAndSavesDispatchTheCallersMessages) {
    Library library;
    testing::TempFolder folder;
    const std::string jpeg =
        folder.Write("a.jpg", testing::EncodeJpeg(testing::TestPattern(40, 30, 3)));
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Caller::Procedure;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "ImgoraLibTestCaller";
    ASSERT_TRUE(::RegisterClassA(&windowClass));
    const HWND caller = ::CreateWindowA("ImgoraLibTestCaller", "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, windowClass.hInstance, nullptr);
    const auto post = [caller] { ::PostMessageA(caller, WM_APP, 0, 0); };

    post();
    win32::UniqueBitmap first(library.load(jpeg.c_str(), 0));
    ASSERT_TRUE(first);
    EXPECT_EQ(Caller::received, 0);  // no hook yet: the message waits
    MSG message;
    while (::PeekMessageA(&message, caller, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
    ASSERT_EQ(Caller::received, 1);

    post();
    win32::UniqueBitmap windowed(library.load(jpeg.c_str(), 1));
    ASSERT_TRUE(windowed);
    EXPECT_EQ(Caller::received, 2);  // dispatched during the load, with the window up
    EXPECT_TRUE(Caller::progressSeen.visible);
    EXPECT_EQ(Caller::progressSeen.text, "Loading " + jpeg);
    EXPECT_GT(Caller::progressSeen.position, 0);
    EXPECT_EQ(::FindWindowA("TProgress", nullptr), nullptr);  // released at the end

    post();
    win32::UniqueBitmap later(library.load(jpeg.c_str(), 0));
    EXPECT_EQ(Caller::received, 3);
    EXPECT_EQ(Caller::progressSeen.window, nullptr);
    post();
    EXPECT_EQ(library.save(80, folder.PathOf("b.jpg").c_str()), 1);
    EXPECT_EQ(Caller::received, 4);

    // A quit posted meanwhile is left for the caller's own loop.
    ::PostQuitMessage(7);
    win32::UniqueBitmap quitting(library.load(jpeg.c_str(), 0));
    EXPECT_TRUE(quitting);
    EXPECT_TRUE(::PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);

    // A queue that never runs empty does not hold the load up for ever.
    Caller::flooding = true;
    ::PostMessageA(caller, WM_APP + 1, 0, 0);
    const DWORD start = ::GetTickCount();
    win32::UniqueBitmap flooded(library.load(jpeg.c_str(), 1));
    EXPECT_TRUE(flooded);
    EXPECT_LT(::GetTickCount() - start, 5000u);
    Caller::flooding = false;
    ::DestroyWindow(caller);
    ::UnregisterClassA("ImgoraLibTestCaller", windowClass.hInstance);
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
    progress.SetPosition(40);              // the hidden bar still moves
    EXPECT_EQ(See("TProgress").position, 40);
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

TEST(ImgoraLib, SavesTheLastImageAsABaselineJfifFileThatLoadsBackAlike) {
    // Every kind of record saved as its picture is the native tests' part.
    Library library;
    testing::TempFolder folder;
    const std::string source =
        folder.Write("photo.jpg", testing::EncodeJpeg(testing::TestPattern(123, 45, 3), {95}));
    const std::string saved = folder.PathOf("saved.jpg");
    win32::UniqueBitmap loaded(library.load(source.c_str(), 0));
    ASSERT_TRUE(loaded);
    ASSERT_EQ(library.save(90, saved.c_str()), 1);
    const Bytes bytes = testing::FileBytes(saved);
    ASSERT_GT(bytes.size(), 11u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 11),
              (Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0}));
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
    EXPECT_EQ(library.width(), 123);
    EXPECT_EQ(library.height(), 45);
    // Sheared rows, or red and blue swapped, would not come near.
    EXPECT_GE(testing::Psnr(ReadBack(loaded.Get()), ReadBack(again.Get())), 30.0);

    // Two saves in a row at different qualities, the second over the first.
    ASSERT_EQ(library.save(95, saved.c_str()), 1);
    const std::size_t fine = testing::FileBytes(saved).size();
    ASSERT_EQ(library.save(10, saved.c_str()), 1);
    EXPECT_LT(testing::FileBytes(saved).size(), fine);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"photo.jpg", "saved.jpg"}));
}

TEST(ImgoraLib, SavingAnswersZeroAndLeavesTheFolderAsItWasWhenItCannotSave) {
    Library library;
    testing::TempFolder folder;
    const std::string target = folder.Write("target.jpg", Bytes{'o', 'l', 'd'});
    const auto expectNothingWritten = [&](const char* why) {
        EXPECT_EQ(testing::FileBytes(target), (Bytes{'o', 'l', 'd'})) << why;
        EXPECT_EQ(folder.Names(), (std::vector<std::string>{"in.img", "target.jpg"})) << why;
    };
    folder.Write("in.img", Bytes{0});
    EXPECT_EQ(library.save(80, folder.PathOf("new.jpg").c_str()), 0);  // nothing loaded yet
    expectNothingWritten("nothing loaded");

    // A GIF loads as a palette image, which is not saved.
    win32::UniqueBitmap gif(library.load(
        folder.Write("in.img", testing::BuildGif(testing::OneImageGif(2, 1, 2, {0, 1}))).c_str(),
        0));
    EXPECT_TRUE(gif);
    EXPECT_EQ(library.save(80, target.c_str()), 0);
    EXPECT_EQ(library.save(80, folder.PathOf("new.jpg").c_str()), 0);
    expectNothingWritten("palette image");

    // After a failed load no image is kept.
    win32::UniqueBitmap colour(library.load(
        folder.Write("in.img", testing::EncodeJpeg(testing::TestPattern(8, 8, 3))).c_str(), 0));
    ASSERT_TRUE(colour);
    EXPECT_FALSE(LoadAnsweringBoxes(library.load, folder.PathOf("missing.jpg")).bitmap);
    EXPECT_EQ(library.save(80, folder.PathOf("new.jpg").c_str()), 0);
    expectNothingWritten("failed load");

    // A target another program holds, and an image too wide for JPEG,
    // which libjpeg refuses once the output is under way.
    win32::UniqueBitmap again(library.load(folder.PathOf("in.img").c_str(), 0));
    {
        win32::UniqueFile held(
            ::CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_EQ(library.save(80, target.c_str()), 0);
    }
    expectNothingWritten("target held");
    testing::BmpFile wide(65501, 1);
    wide.pixelData.assign(65504 * 3, 0x80);
    win32::UniqueBitmap wideBitmap(
        library.load(folder.Write("in.img", testing::BuildBmp(wide)).c_str(), 0));
    EXPECT_EQ(library.width(), 65501);
    EXPECT_EQ(library.save(80, target.c_str()), 0);
    expectNothingWritten("too wide");
}

}  // namespace
}  // namespace imagelib
