// Helpers of the puzzle's Windows-side tests: answering message boxes from
// a second thread, counting the saver's temporary files, reading pixels
// and files.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/win32/guards.h"

namespace puzzle::testing {

// Watches for message boxes with the given caption, reads each one's text
// and buttons, and presses `answer`. Set REDIRA_HOLD_BOX_MS to leave each
// box up that long first, to take a screenshot of it.
class MessageBoxAnswerer {
public:
    struct Seen {
        int count = 0;
        std::string text;  // of the last box
        std::set<int> buttons;
        HWND owner = nullptr;
    };

    MessageBoxAnswerer(std::string caption, int answer)
        : caption_(std::move(caption)), answer_(answer), thread_([this] { Run(); }) {}
    ~MessageBoxAnswerer() { Finish(); }
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    // Stops watching and tells what was seen.
    const Seen& Finish() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        return seen_;
    }

private:
    void Run() {
        const char* hold = std::getenv("REDIRA_HOLD_BOX_MS");
        while (!stop_) {
            HWND box = ::FindWindowA("#32770", caption_.c_str());
            if (!box || !::IsWindowVisible(box)) {
                ::Sleep(10);
                continue;
            }
            char text[1024] = "";
            ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            seen_.text = text;
            seen_.buttons.clear();
            for (int id : {IDOK, IDCANCEL, IDYES, IDNO})
                if (::GetDlgItem(box, id)) seen_.buttons.insert(id);
            seen_.owner = ::GetWindow(box, GW_OWNER);
            ++seen_.count;
            if (hold) ::Sleep(static_cast<DWORD>(std::atoi(hold)));
            ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer_, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(box, answer_)));
            while (::IsWindow(box)) ::Sleep(10);
        }
    }

    std::string caption_;
    int answer_;
    std::atomic<bool> stop_{false};
    Seen seen_;
    std::thread thread_;
};

// How many of the saver's temporary files ("scj*.tmp") a folder holds, the
// temporary folder when none is given.
inline int CountTemporaryFiles(std::string folder = {}) {
    if (folder.empty()) {
        char temporary[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temporary);
        folder = temporary;
    }
    if (folder.back() != '\\') folder += '\\';
    WIN32_FIND_DATAA found{};
    win32::UniqueFind listing(::FindFirstFileA((folder + "scj*.tmp").c_str(), &found));
    int count = listing ? 1 : 0;
    while (listing && ::FindNextFileA(listing.Get(), &found)) ++count;
    return count;
}

inline void DeleteRegistryTree(const char* path) {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, path);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, path);
}

// A bitmap's pixels as 0xRRGGBB, top row first; white where it cannot be read.
inline std::vector<std::uint32_t> ReadPixels(HBITMAP bitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, 0xFFFFFF);
    win32::WindowDc screen;
    ::GetDIBits(screen.Get(), bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    for (auto& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

inline std::vector<std::uint8_t> FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

}  // namespace puzzle::testing
