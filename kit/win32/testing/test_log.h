// The test saver and the test password libraries write what happens, one
// line each, to the file named by KITTEST_LOG; the tests read it back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace kittest {

inline std::string Environment(const char* name) {
    char value[512] = {};
    const DWORD length = ::GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

// Appends one line. Threads and processes share the file, so the writes
// are taken in turn under a named mutex.
inline void LogLine(const std::string& text) {
    const std::string path = Environment("KITTEST_LOG");
    if (path.empty()) return;
    HANDLE turn = ::CreateMutexA(nullptr, FALSE, "KitTestLogTurn");
    if (turn) ::WaitForSingleObject(turn, 5000);
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        const std::string line = text + "\n";
        DWORD written = 0;
        ::SetFilePointer(file, 0, nullptr, FILE_END);
        ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        ::CloseHandle(file);
    }
    if (turn) {
        ::ReleaseMutex(turn);
        ::CloseHandle(turn);
    }
}

// A handle or pointer as the tests print it: plain hexadecimal.
inline unsigned long HandleValue(const void* handle) {
    return static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(handle));
}

// Private messages between the tests and the test saver, clear of the
// kit's own (WM_APP to WM_APP + 9).
constexpr UINT kPing = WM_APP + 0x101;          // answered by kPong, after what is queued
constexpr UINT kPong = WM_APP + 0x102;          // logs the saver's state, sets the pong event
constexpr UINT kChangePrefs = WM_APP + 0x103;   // SCRM_PREFSCHANGED with threshold = wParam
constexpr UINT kDestroyChild = WM_APP + 0x104;  // destroys the child with id wParam
constexpr char kPongEvent[] = "KitTestPong";

}  // namespace kittest
