// Runs the test saver in its own process for one test: sets its KITTEST_
// variables, starts it with a command line, finds its window, checks
// whether it is still there after what was posted to it, and reads its
// exit code and log.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/win32/guards.h"
#include "kit/win32/testing/test_log.h"

namespace kittest {

// Where the build puts the test saver and its libraries.
std::string TestSaverPath();
std::string BareSaverPath();

// Waits for any of the handles while pumping this thread's messages, as
// windows of the saver may be children of ours. Answers the index of the
// handle that was signalled, or nothing on time-out.
std::optional<DWORD> WaitPumping(const std::vector<HANDLE>& handles, DWORD timeoutMs);
void Pump(DWORD milliseconds);

class SaverRun {
public:
    using Environment = std::map<std::string, std::string>;

    SaverRun(const std::string& arguments, const Environment& environment = {},
             const std::string& program = TestSaverPath());
    ~SaverRun();
    SaverRun(const SaverRun&) = delete;
    SaverRun& operator=(const SaverRun&) = delete;

    // The saver's first window, as it logged it; null when none came.
    HWND Window(DWORD timeoutMs = 30000);
    // A visible top-level window of the saver's process with this class
    // (and title, if given); it becomes the saver's window when none was
    // logged.
    HWND FindWindow(const char* className, const char* title = nullptr, DWORD timeoutMs = 30000);
    // Posts a message to the saver's window.
    void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Whether the saver is still there once it has handled everything
    // posted to it so far (it answers a ping posted after them).
    bool Stays();
    // The exit code, once the saver has ended; nothing on time-out (the
    // saver is then ended by force).
    std::optional<int> Exit(DWORD timeoutMs = 15000);

    std::vector<std::string> Log() const;
    // The log's lines that start with the prefix.
    std::vector<std::string> Lines(std::string_view prefix) const;
    bool Logged(std::string_view prefix) const { return !Lines(prefix).empty(); }

private:
    std::string logPath_;
    win32::UniqueKernelHandle process_;
    HWND window_ = nullptr;
};

// A copy of the test saver in a folder of its own, with copies of the
// named files of the build's test folder (such as "agents\\Edgewake.dll")
// beside it; all removed again when it goes.
class StagedSaver {
public:
    explicit StagedSaver(const std::vector<std::string>& companions);
    ~StagedSaver();
    StagedSaver(const StagedSaver&) = delete;
    StagedSaver& operator=(const StagedSaver&) = delete;

    std::string Path() const { return directory_ + "\\kit_test_saver.exe"; }
    // Puts an empty file of this name beside the saver.
    void AddEmptyFile(const std::string& name);

private:
    std::string directory_;
    std::vector<std::string> files_;
};

// Sets the kit's registry values for one test and removes them afterwards:
// the saver settings and the system's password switch.
class UserSettingsScope {
public:
    UserSettingsScope();
    ~UserSettingsScope();
    UserSettingsScope(const UserSettingsScope&) = delete;
    UserSettingsScope& operator=(const UserSettingsScope&) = delete;

    void SetNumber(const char* name, DWORD value);
    void SetBytes(const char* name, DWORD type, const std::vector<BYTE>& bytes);
    void SetPasswordSwitch(DWORD value);

private:
    void RemoveAll();
};

// A top-level window of this process, of a class of its own (registered
// at the class's first window), for previews to sit in or messages to be
// heard. Plain and grey unless told otherwise.
class HostWindow {
public:
    struct Look {
        WNDPROC procedure = ::DefWindowProcA;
        HBRUSH background = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
        DWORD style = WS_OVERLAPPEDWINDOW;
    };
    HostWindow(const char* className, int width, int height, const Look& look);
    HostWindow(const char* className, int width, int height)
        : HostWindow(className, width, height, Look{}) {}
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND Get() const { return window_; }
    void Destroy();

private:
    HWND window_ = nullptr;
};

}  // namespace kittest
