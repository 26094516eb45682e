// Proves the path that every Windows-side test takes: a 32-bit program run
// by CTest under Wine, with a display to make windows on and a registry of
// its own.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/win32/guards.h"

namespace {

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(window, message, wParam, lParam);
}

TEST(WineSession, CreatesAWindowOnTheDisplay) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PlainWindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "WineSessionTestClass";
    ASSERT_NE(::RegisterClassA(&windowClass), 0);
    HWND window = ::CreateWindowExA(0, "WineSessionTestClass", "session", WS_POPUP | WS_VISIBLE,
                                    10, 20, 200, 100, nullptr, nullptr,
                                    windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    RECT client{};
    ASSERT_TRUE(::GetClientRect(window, &client));
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 100);
    EXPECT_GT(::GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_TRUE(::DestroyWindow(window));
}

TEST(WineSession, WritesAndReadsBackARegistryValue) {
    const char* keyName = "Software\\RediraTests\\WineSession";
    HKEY raw = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, keyName, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &raw, nullptr),
              ERROR_SUCCESS);
    win32::UniqueRegKey key(raw);
    const DWORD written = 0x12345678;
    ASSERT_EQ(::RegSetValueExA(key.Get(), "value", 0, REG_DWORD,
                               reinterpret_cast<const BYTE*>(&written), sizeof written),
              ERROR_SUCCESS);
    DWORD read = 0, size = sizeof read, type = 0;
    ASSERT_EQ(::RegQueryValueExA(key.Get(), "value", nullptr, &type,
                                 reinterpret_cast<BYTE*>(&read), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(read, written);
    key.Reset();
    EXPECT_EQ(::RegDeleteKeyA(HKEY_CURRENT_USER, keyName), ERROR_SUCCESS);
}

}  // namespace
