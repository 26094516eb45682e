// The puzzle window in this process, as a preview inside a window of ours.
// Wine shows nothing that a window draws inside another process's window,
// so this is where the scaled-down drawing of the preview is looked at;
// saver_test.py runs the real preview for the rest.
#include "puzzle/win32/puzzle_window.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "kit/win32/dozekit.h"
#include "puzzle/win32/gdi_picture.h"
#include "puzzle/win32/image_library.h"
#include "puzzle/win32/puzzle_window_class.h"
#include "puzzle/win32/saver_process.h"
#include "puzzle/win32/testing/test_windows.h"
#include "puzzle/win32/wallpaper.h"

namespace puzzle {
namespace {

using testing::ReadPixels;

constexpr char kSaverKey[] = "SOFTWARE\\Zelt\\Corvane";

bool Near(std::uint32_t a, std::uint32_t b) {
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) -
                     static_cast<int>((b >> shift) & 0xFF)) > 24)
            return false;
    return true;
}

void Pump(DWORD milliseconds) {
    for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < milliseconds;
         ::Sleep(10)) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
    }
}

TEST(PuzzleWindow, APreviewDrawsTheBoardScaledDown) {
    testing::DeleteRegistryTree(kSaverKey);
    ImageLibrary library;
    ASSERT_TRUE(library.Adopt(
        win32::UniqueLibrary(::LoadLibraryA(REDIRA_TEST_FIXTURES "\\fake_imgoralib_current.dll"))));
    // Built-in picture 1 of this program: four coloured quarters, 40 x 30.
    Process().instance = ::GetModuleHandleA(nullptr);
    Process().load = library.Load();
    ASSERT_TRUE(RegisterPuzzleWindowClass(Process().instance));
    const DWORD hard = 3;
    ::RegSetKeyValueA(HKEY_CURRENT_USER, kSaverKey, "hard", REG_DWORD, &hard, sizeof hard);

    constexpr int kWidth = 256, kHeight = 192;  // a quarter of the screen each way
    HWND host = ::CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 100, 100, kWidth, kHeight,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(host);
    CREATESTRUCTA create{};
    create.hwndParent = host;
    create.cx = kWidth;
    create.cy = kHeight;
    create.style = WS_CHILD | WS_VISIBLE;
    HWND preview = PuzzleCreateWindow(SCRMODE_PREVIEW, &create);
    ASSERT_TRUE(preview);
    Pump(500);  // the preview repaints once 200 ms after its start

    auto* window = reinterpret_cast<PuzzleWindow*>(::GetWindowLongPtrA(preview, GWLP_USERDATA));
    ASSERT_TRUE(window);
    const PuzzleBoard& board = *window->Game().Board();
    ASSERT_EQ(board.Columns(), 3);
    ASSERT_EQ(board.Rows(), 2);
    const int tile = board.TileSize();
    const auto picture = ReadPixels(static_cast<const GdiPicture*>(board.BoardPicture())->Handle(),
                                    board.BoardWidth(), board.BoardHeight());
    win32::WindowDc previewDc(preview);
    const auto shown = [&previewDc](int x, int y) {  // as 0xRRGGBB
        const COLORREF c = ::GetPixel(previewDc.Get(), x, y);
        return std::uint32_t{GetRValue(c)} << 16 | GetGValue(c) << 8 | GetBValue(c);
    };

    // Every cell shows its tile, at a quarter of its size: sampled a
    // quarter and three quarters into the tile each way.
    const DesignMapping& mapping = window->Mapping();
    for (int row = 0; row < board.Rows(); ++row) {
        for (int column = 0; column < board.Columns(); ++column) {
            const Rect square = board.TileSquare(board.TileAt(board.CellIndex(column, row)));
            for (int dy : {tile / 4, tile * 3 / 4}) {
                for (int dx : {tile / 4, tile * 3 / 4}) {
                    const int x = mapping.X(window->Game().BoardLeft() + column * tile + dx);
                    const int y = mapping.Y(window->Game().BoardTop() + row * tile + dy);
                    EXPECT_PRED2(Near, shown(x, y),
                                 picture[(square.y + dy) * board.BoardWidth() + square.x + dx])
                        << "cell " << column << "," << row;
                }
            }
        }
    }
    // Above and below the board: black margins.
    EXPECT_EQ(shown(kWidth / 2, 2), 0u);
    EXPECT_EQ(shown(kWidth / 2, kHeight - 3), 0u);

    // The preview goes with its host; its end posts the quit message.
    ::DestroyWindow(host);
    EXPECT_FALSE(::IsWindow(preview));
    MSG quit;
    while (::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    Process() = {};
    testing::DeleteRegistryTree(kSaverKey);
}

std::string DesktopWallpaper() {
    char path[MAX_PATH] = "";
    ::SystemParametersInfoA(SPI_GETDESKWALLPAPER, MAX_PATH, path, 0);
    return path;
}

TEST(PuzzleWindow, TheWallpaperIsA24BitFileAndOnlyAWrittenOneIsSet) {
    // A board of 8 bits per pixel: two palette colours, left half red.
    struct {
        BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), 5, 2, 1, 8, BI_RGB, 0, 0, 0, 2, 0};
        RGBQUAD colours[2] = {{0, 0, 255, 0}, {255, 0, 0, 0}};  // red, blue
    } format;
    void* bits = nullptr;
    win32::UniqueBitmap board(::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&format),
                                                 DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(board);
    for (int row = 0; row < 2; ++row)  // rows of 8 bytes: 0 0 0 1 1
        for (int x = 0; x < 5; ++x) static_cast<BYTE*>(bits)[row * 8 + x] = x < 3 ? 0 : 1;

    char folder[MAX_PATH];
    ::GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "RediraBoard.bmp";
    ASSERT_TRUE(WriteBoardBitmap(board.Get(), path));
    const auto file = testing::FileBytes(path);
    ::DeleteFileA(path.c_str());
    ASSERT_EQ(file.size(), 58u + 8 * 3 * 2);
    EXPECT_EQ(file[28], 24);  // bits per pixel
    const unsigned char firstRow[] = {0, 0, 255, 0, 0, 255, 0, 0, 255, 255, 0, 0, 255, 0, 0};
    EXPECT_TRUE(std::equal(std::begin(firstRow), std::end(firstRow), file.begin() + 58));

    // No file, no new wallpaper.
    const std::string before = DesktopWallpaper();
    EXPECT_FALSE(SetBoardAsWallpaper(board.Get(), "C:\\no\\such\\folder"));
    EXPECT_EQ(DesktopWallpaper(), before);
}

}  // namespace
}  // namespace puzzle
