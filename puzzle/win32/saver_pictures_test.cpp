// Pictures on Windows: folder listing, built-in resources, decoding
// through the library with the temporary file and the dialog bracket.
#include "puzzle/win32/saver_pictures.h"

#include <gtest/gtest.h>

#include <set>

#include "common/win32/placement_files.h"
#include "kit/win32/dozekit.h"
#include "puzzle/win32/gdi_picture.h"
#include "puzzle/win32/image_library.h"
#include "puzzle/win32/saver_files.h"
#include "puzzle/win32/testing/test_windows.h"

namespace puzzle {
namespace {

class SaverPicturesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library_.Adopt(win32::UniqueLibrary(
            ::LoadLibraryA(REDIRA_TEST_FIXTURES "\\fake_imgoralib_current.dll"))));
    }
    ImageLibrary library_;
    HMODULE resources_ = ::GetModuleHandleA(nullptr);
};

TEST_F(SaverPicturesTest, AFolderIsListedWithItsFoldersMarked) {
    char temporary[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temporary);
    const std::string folder = std::string(temporary) + "RediraOwnPictures";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    ::CreateDirectoryA((folder + "\\old.jpg").c_str(), nullptr);
    win32::PlacementFiles(kNewFilePrefix).WriteWhole(folder + "\\Photo.JPG", {});

    SaverPictures pictures(resources_, library_.Load(), nullptr);
    std::set<std::pair<std::string, bool>> listed;
    EXPECT_TRUE(pictures.ListFolder(folder, [&](const FolderEntry& entry) {
        listed.insert({entry.name, entry.isFolder});
        return true;
    }));
    EXPECT_EQ(listed, (std::set<std::pair<std::string, bool>>{
                          {".", true}, {"..", true}, {"old.jpg", true}, {"Photo.JPG", false}}));
    EXPECT_FALSE(
        pictures.ListFolder(folder + "\\missing", [](const FolderEntry&) { return true; }));

    ::DeleteFileA((folder + "\\Photo.JPG").c_str());
    ::RemoveDirectoryA((folder + "\\old.jpg").c_str());
    ::RemoveDirectoryA(folder.c_str());
}

// Records the dialog bracket and the stand-in library's note (WM_APP) that
// it is decoding, in the vector its window holds.
LRESULT CALLBACK ObserverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* events =
        reinterpret_cast<std::vector<std::string>*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (events && message == SCRINTERNAL_DIALOGACTIVE)
        events->push_back("dialog " + std::to_string(wParam));
    if (events && message == WM_APP) events->push_back("decode");
    return ::DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(SaverPicturesTest, DecodingIsBracketedAndLeavesNoTemporaryFileBehind) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ObserverProc;
    windowClass.hInstance = resources_;
    windowClass.lpszClassName = "RediraDecodeObserver";
    ::RegisterClassA(&windowClass);
    HWND observer = ::CreateWindowExA(0, "RediraDecodeObserver", "", WS_POPUP, 0, 0, 10, 10,
                                      nullptr, nullptr, resources_, nullptr);
    std::vector<std::string> events;
    ::SetWindowLongPtrA(observer, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&events));
    SaverPictures pictures(resources_, library_.Load(), observer);
    const int before = testing::CountTemporaryFiles();
    const std::vector<std::string> bracketed = {"dialog 1", "decode", "dialog 0"};

    auto picture = pictures.DecodeBuiltIn(1);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Width(), 40);
    EXPECT_EQ(picture->Height(), 30);
    EXPECT_EQ(std::exchange(events, {}), bracketed);
    EXPECT_FALSE(pictures.DecodeBuiltIn(3));  // not a picture
    EXPECT_EQ(std::exchange(events, {}), bracketed);
    EXPECT_FALSE(pictures.DecodeBuiltIn(4));  // no such resource
    EXPECT_FALSE(pictures.DecodeFile("C:\\no\\such\\picture.bmp"));
    EXPECT_FALSE(SaverPictures(resources_, nullptr, nullptr).DecodeBuiltIn(1));  // unbound
    EXPECT_EQ(testing::CountTemporaryFiles(), before);
    ::DestroyWindow(observer);

    // Built-ins are the numbered resources; numbers past 16 bits do not wrap.
    for (int number : {1, 2, 3}) EXPECT_TRUE(pictures.BuiltInExists(number)) << number;
    for (int number : {0, -1, 4, 65536 + 1}) EXPECT_FALSE(pictures.BuiltInExists(number)) << number;
}

TEST_F(SaverPicturesTest, APlainPictureIsBlack) {
    SaverPictures pictures(resources_, library_.Load(), nullptr);
    auto plain = pictures.PlainPicture(8, 6);
    ASSERT_TRUE(plain);
    for (std::uint32_t p : testing::ReadPixels(static_cast<GdiPicture&>(*plain).Handle(), 8, 6))
        EXPECT_EQ(p, 0u);
    EXPECT_FALSE(pictures.PlainPicture(0, 6));
}

}  // namespace
}  // namespace puzzle
