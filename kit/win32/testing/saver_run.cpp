#include "kit/win32/testing/saver_run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>

#include "kit/win32/testing/test_log.h"

namespace kittest {
namespace {

constexpr const char* kVariables[] = {"KITTEST_LOG",      "KITTEST_PREFS",    "KITTEST_CALLBACKS",
                                      "KITTEST_TIMER",    "KITTEST_CONFIG",   "KITTEST_CHANGEPW",
                                      "KITTEST_CHILDREN", "KITTEST_PASSWORD", "KITTEST_SAGE",
                                      "KITTEST_EDGEWAKE", "KITTEST_AGENT",    "KITTEST_NOMEMORY"};
constexpr char kSettingsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";
constexpr char kDesktopKey[] = "Control Panel\\Desktop";
constexpr const char* kSettingNames[] = {
    "Password Delay", "Password Delay Index", "Mouse Threshold", "Mouse Threshold Index",
    "Mouse Corners",  "Mute Sound",           "Active Config"};

std::string NewLogPath() {
    static int runs = 0;
    char directory[MAX_PATH] = {};
    ::GetTempPathA(sizeof directory, directory);
    char path[MAX_PATH + 64];
    std::snprintf(path, sizeof path, "%skittest_%lu_%d.log", directory, ::GetCurrentProcessId(),
                  ++runs);
    ::DeleteFileA(path);
    return path;
}

HANDLE PongEvent() {
    static HANDLE pong = ::CreateEventA(nullptr, FALSE, FALSE, kPongEvent);
    return pong;
}

win32::UniqueRegKey CreateKey(const char* name) {
    HKEY key = nullptr;
    ::RegCreateKeyExA(HKEY_CURRENT_USER, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr);
    return win32::UniqueRegKey(key);
}

void SetProgramDefault(const char* program, const char* section, const char* name,
                       const char* value) {
    const std::string key =
        std::string("Software\\Wine\\AppDefaults\\").append(program).append("\\").append(section);
    if (auto opened = CreateKey(key.c_str()))
        ::RegSetValueExA(opened.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                         static_cast<DWORD>(std::strlen(value) + 1));
}

// Wine takes its own MPR.DLL even from the program's folder unless told to
// take the stand-in there; told before this program first starts the saver.
// (The session leaves every window unmanaged, so closing one costs no wait.)
const bool g_wineSettings = [] {
    SetProgramDefault("kit_test_saver.exe", "DllOverrides", "mpr", "native");
    return true;
}();

}  // namespace

std::string TestSaverPath() { return KITTEST_SAVER; }
std::string BareSaverPath() { return KITTEST_BARE_SAVER; }

std::optional<DWORD> WaitPumping(const std::vector<HANDLE>& handles, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        const DWORD spent = ::GetTickCount() - start;
        if (spent >= timeoutMs) return std::nullopt;
        const DWORD result =
            ::MsgWaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE,
                                        timeoutMs - spent, QS_ALLINPUT);
        if (result < WAIT_OBJECT_0 + handles.size()) return result - WAIT_OBJECT_0;
        if (result == WAIT_TIMEOUT || result == WAIT_FAILED) return std::nullopt;
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
}

void Pump(DWORD milliseconds) {
    win32::UniqueKernelHandle never(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    WaitPumping({never.Get()}, milliseconds);
}

SaverRun::SaverRun(const std::string& arguments, const Environment& environment,
                   const std::string& program)
    : logPath_(NewLogPath()) {
    std::string commandLine = '"' + program + '"';
    if (!arguments.empty()) commandLine += " " + arguments;
    for (const char* name : kVariables) ::SetEnvironmentVariableA(name, nullptr);
    ::SetEnvironmentVariableA("KITTEST_LOG", logPath_.c_str());
    for (const auto& [name, value] : environment)
        ::SetEnvironmentVariableA(name.c_str(), value.c_str());

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const std::string directory = program.substr(0, program.find_last_of('\\'));
    if (::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         directory.c_str(), &startup, &started)) {
        process_.Reset(started.hProcess);
        ::CloseHandle(started.hThread);
    } else {
        ADD_FAILURE() << "cannot start " << commandLine;
    }
    for (const char* name : kVariables) ::SetEnvironmentVariableA(name, nullptr);
}

SaverRun::~SaverRun() {
    if (process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_.Get(), 99);
        ::WaitForSingleObject(process_.Get(), 5000);
    }
    ::DeleteFileA(logPath_.c_str());
}

HWND SaverRun::Window(DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (!window_ && ::GetTickCount() - start < timeoutMs) {
        for (const std::string& line : Lines("window ")) {
            unsigned long value = 0;
            if (std::sscanf(line.c_str(), "window %lx", &value) == 1)
                window_ = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
        }
        if (!window_) {
            if (!process_ || ::WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0) break;
            Pump(20);
        }
    }
    return window_;
}

HWND SaverRun::FindWindow(const char* className, const char* title, DWORD timeoutMs) {
    const DWORD processId = process_ ? ::GetProcessId(process_.Get()) : 0;
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < timeoutMs) {
        HWND found = nullptr;
        while ((found = ::FindWindowExA(nullptr, found, className, title)) != nullptr) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(found, &owner);
            // Shown only once created and (for a dialog) initialised.
            if (owner == processId && ::IsWindowVisible(found)) {
                if (!window_) window_ = found;
                return found;
            }
        }
        if (!process_ || ::WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0) break;
        Pump(20);
    }
    return nullptr;
}

void SaverRun::Post(UINT message, WPARAM wParam, LPARAM lParam) {
    ::PostMessageA(Window(), message, wParam, lParam);
}

bool SaverRun::Stays() {
    HWND window = Window();
    if (!window || !process_) return false;
    ::ResetEvent(PongEvent());
    ::PostMessageA(window, kPing, 0, 0);
    const auto which = WaitPumping({PongEvent(), process_.Get()}, 15000);
    if (!which) ADD_FAILURE() << "the saver neither answered nor ended";
    return which == 0u;
}

std::optional<int> SaverRun::Exit(DWORD timeoutMs) {
    if (!process_) return std::nullopt;
    if (!WaitPumping({process_.Get()}, timeoutMs)) {
        ::TerminateProcess(process_.Get(), 99);
        ::WaitForSingleObject(process_.Get(), 5000);
        return std::nullopt;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process_.Get(), &code);
    return static_cast<int>(code);
}

std::vector<std::string> SaverRun::Log() const {
    std::vector<std::string> lines;
    std::ifstream file(logPath_);
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> SaverRun::Lines(std::string_view prefix) const {
    std::vector<std::string> found;
    for (std::string& line : Log())
        if (line.compare(0, prefix.size(), prefix) == 0) found.push_back(std::move(line));
    return found;
}

StagedSaver::StagedSaver(const std::vector<std::string>& companions) {
    static int stages = 0;
    char temp[MAX_PATH] = {};
    ::GetTempPathA(sizeof temp, temp);
    directory_ = std::string(temp) + "kittest_stage_" + std::to_string(::GetCurrentProcessId()) +
                 "_" + std::to_string(++stages);
    ::CreateDirectoryA(directory_.c_str(), nullptr);
    const std::string saver = TestSaverPath();
    const std::string tests = saver.substr(0, saver.find_last_of('\\') + 1);
    files_.push_back(Path());
    EXPECT_TRUE(::CopyFileA(saver.c_str(), Path().c_str(), FALSE));
    for (const std::string& companion : companions) {
        files_.push_back(directory_ + "\\" + companion.substr(companion.find_last_of('\\') + 1));
        EXPECT_TRUE(::CopyFileA((tests + companion).c_str(), files_.back().c_str(), FALSE))
            << companion;
    }
}

StagedSaver::~StagedSaver() {
    for (const std::string& file : files_) ::DeleteFileA(file.c_str());
    ::RemoveDirectoryA(directory_.c_str());
}

void StagedSaver::AddEmptyFile(const std::string& name) {
    files_.push_back(directory_ + "\\" + name);
    win32::UniqueFile file(::CreateFileA(files_.back().c_str(), GENERIC_WRITE, 0, nullptr,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(file);
}

UserSettingsScope::UserSettingsScope() { RemoveAll(); }
UserSettingsScope::~UserSettingsScope() { RemoveAll(); }

void UserSettingsScope::RemoveAll() {
    if (auto key = CreateKey(kSettingsKey))
        for (const char* name : kSettingNames) ::RegDeleteValueA(key.Get(), name);
    if (auto key = CreateKey(kDesktopKey)) ::RegDeleteValueA(key.Get(), "ScreenSaveUsePassword");
}

void UserSettingsScope::SetNumber(const char* name, DWORD value) {
    SetBytes(name, REG_DWORD,
             {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
              static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)});
}

void UserSettingsScope::SetBytes(const char* name, DWORD type, const std::vector<BYTE>& bytes) {
    auto key = CreateKey(kSettingsKey);
    ASSERT_TRUE(key);
    ASSERT_EQ(
        ::RegSetValueExA(key.Get(), name, 0, type, bytes.data(), static_cast<DWORD>(bytes.size())),
        ERROR_SUCCESS);
}

void UserSettingsScope::SetPasswordSwitch(DWORD value) {
    auto key = CreateKey(kDesktopKey);
    ASSERT_TRUE(key);
    ASSERT_EQ(::RegSetValueExA(key.Get(), "ScreenSaveUsePassword", 0, REG_DWORD,
                               reinterpret_cast<const BYTE*>(&value), sizeof value),
              ERROR_SUCCESS);
}

HostWindow::HostWindow(const char* className, int width, int height, const Look& look) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = look.procedure;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.hbrBackground = look.background;
    windowClass.lpszClassName = className;
    ::RegisterClassA(&windowClass);  // once per class and process
    window_ = ::CreateWindowExA(0, className, className, look.style | WS_VISIBLE, 40, 40, width,
                                height, nullptr, nullptr, windowClass.hInstance, nullptr);
    Pump(50);
}

HostWindow::~HostWindow() { Destroy(); }

void HostWindow::Destroy() {
    if (window_) ::DestroyWindow(window_);
    window_ = nullptr;
}

}  // namespace kittest
