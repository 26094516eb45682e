// Pictures on Windows: folder listing, built-in resources, decoding
// through the library with the temporary file and the dialog bracket.
#include "puzzle/win32/saver_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "kit/win32/dozekit.h"
#include "puzzle/core/board.h"
#include "puzzle/core/test_fakes.h"
#include "puzzle/win32/gdi_picture.h"
#include "puzzle/win32/image_library.h"
#include "puzzle/win32/saver_files.h"
#include "puzzle/win32/test_windows.h"

namespace puzzle {
namespace {

// A window that records the dialog bracket and the library's own note
// that it is decoding (WM_APP from the stand-in library).
class DecodeObserver {
public:
    DecodeObserver() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &DecodeObserver::Proc;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "RediraDecodeObserver";
        ::RegisterClassA(&windowClass);
        window_ = ::CreateWindowExA(0, "RediraDecodeObserver", "", WS_POPUP, 0, 0, 10, 10,
                                    nullptr, nullptr, windowClass.hInstance, nullptr);
        ::SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&events_));
    }
    ~DecodeObserver() { ::DestroyWindow(window_); }

    HWND Window() const { return window_; }
    std::vector<std::string>& Events() { return events_; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* events =
            reinterpret_cast<std::vector<std::string>*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        if (events && message == SCRINTERNAL_DIALOGACTIVE)
            events->push_back("dialog " + std::to_string(wParam));
        if (events && message == WM_APP) events->push_back("decode");
        return ::DefWindowProcA(window, message, wParam, lParam);
    }

    HWND window_;
    std::vector<std::string> events_;
};

class SaverPicturesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library_.Adopt(win32::UniqueLibrary(
            ::LoadLibraryA(REDIRA_TEST_FIXTURES "\\fake_imgoralib_current.dll"))));
    }
    ImageLibrary library_;
    HMODULE resources_ = ::GetModuleHandleA(nullptr);
};

// A folder in the temporary folder holding Photo.JPG (a copy of built-in
// picture 1, a bitmap), notes.txt and a folder old.jpg; removed afterwards.
class TestFolder {
public:
    explicit TestFolder(HMODULE resources) {
        char folder[MAX_PATH];
        ::GetTempPathA(MAX_PATH, folder);
        path_ = std::string(folder) + "RediraOwnPictures";
        ::CreateDirectoryA(path_.c_str(), nullptr);
        ::CreateDirectoryA((path_ + "\\old.jpg").c_str(), nullptr);
        WriteWholeFile(path_ + "\\Photo.JPG",
                       ResourceBytes(resources, MAKEINTRESOURCEA(1), RT_RCDATA));
        WriteWholeFile(path_ + "\\notes.txt", {});
    }
    ~TestFolder() {
        ::DeleteFileA((path_ + "\\Photo.JPG").c_str());
        ::DeleteFileA((path_ + "\\notes.txt").c_str());
        ::RemoveDirectoryA((path_ + "\\old.jpg").c_str());
        ::RemoveDirectoryA(path_.c_str());
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

TEST_F(SaverPicturesTest, OwnPicturesAreListedAndOpenedUnderTheirListedNames) {
    TestFolder folder(resources_);
    SaverPictures pictures(resources_, library_.Load(), nullptr);
    std::vector<std::string> files, folders;
    ASSERT_TRUE(pictures.ListFolder(folder.Path(), [&](const FolderEntry& entry) {
        (entry.isFolder ? folders : files).push_back(entry.name);
        return true;
    }));
    std::sort(files.begin(), files.end());
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(files, (std::vector<std::string>{"Photo.JPG", "notes.txt"}));
    EXPECT_EQ(folders, (std::vector<std::string>{".", "..", "old.jpg"}));
    EXPECT_FALSE(pictures.ListFolder(folder.Path() + "\\missing", [](const FolderEntry&) {
        return true;
    }));

    // The board takes it as own picture 1, under its listed name.
    FakePlatform platform;
    platform.store.SetInteger("SOFTWARE\\Zelt\\Corvane", "UseOwnPics", 1);
    platform.store.SetText("SOFTWARE\\Zelt\\Corvane", "OwnDir", folder.Path());
    const BoardServices services{platform.store, platform.environment, pictures, platform.clock};
    PuzzleBoard board(services);
    std::string path;
    ASSERT_TRUE(board.FindOwnPicture(1, &path));
    EXPECT_EQ(path, folder.Path() + "\\Photo.JPG");
    EXPECT_FALSE(board.FindOwnPicture(2));
    ASSERT_TRUE(board.LoadCurrentPicture());
    EXPECT_FALSE(board.IsPlainBoard());
}

TEST_F(SaverPicturesTest, BuiltInPicturesAreTheNumberedResources) {
    SaverPictures pictures(resources_, library_.Load(), nullptr);
    for (int number : {1, 2, 3}) EXPECT_TRUE(pictures.BuiltInExists(number)) << number;
    for (int number : {0, -1, 4, 65536 + 1}) EXPECT_FALSE(pictures.BuiltInExists(number)) << number;
}

TEST_F(SaverPicturesTest, DecodingLeavesNoTemporaryFileBehind) {
    DecodeObserver observer;
    SaverPictures pictures(resources_, library_.Load(), observer.Window());
    const int before = testing::CountTemporaryFiles();

    auto picture = pictures.DecodeBuiltIn(1);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Width(), 40);
    EXPECT_EQ(picture->Height(), 30);
    // The library runs between SCRINTERNAL_DIALOGACTIVE 1 and 0.
    EXPECT_EQ(observer.Events(), (std::vector<std::string>{"dialog 1", "decode", "dialog 0"}));
    EXPECT_EQ(testing::CountTemporaryFiles(), before);

    observer.Events().clear();
    EXPECT_FALSE(pictures.DecodeBuiltIn(3));  // not a picture
    EXPECT_EQ(observer.Events(), (std::vector<std::string>{"dialog 1", "decode", "dialog 0"}));
    EXPECT_FALSE(pictures.DecodeBuiltIn(4));  // no such resource
    EXPECT_FALSE(pictures.DecodeFile("C:\\no\\such\\picture.bmp"));
    SaverPictures unbound(resources_, nullptr, nullptr);
    EXPECT_FALSE(unbound.DecodeBuiltIn(1));
    EXPECT_EQ(testing::CountTemporaryFiles(), before);
}

TEST_F(SaverPicturesTest, APlainPictureIsBlack) {
    SaverPictures pictures(resources_, library_.Load(), nullptr);
    auto plain = pictures.PlainPicture(8, 6);
    ASSERT_TRUE(plain);
    const auto& gdi = static_cast<const GdiPicture&>(*plain);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 8;
    info.bmiHeader.biHeight = -6;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<std::uint32_t> pixels(48, 0xFFFFFFFF);
    win32::WindowDc screen;
    ASSERT_EQ(::GetDIBits(screen.Get(), gdi.Handle(), 0, 6, pixels.data(), &info, DIB_RGB_COLORS), 6);
    for (std::uint32_t p : pixels) EXPECT_EQ(p & 0xFFFFFF, 0u);
    EXPECT_FALSE(pictures.PlainPicture(0, 6));
}

}  // namespace
}  // namespace puzzle
