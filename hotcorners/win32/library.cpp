// The library's process-wide side: its module, the shared service window
// and lists, the corner copy and the user options.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/win32/guards.h"
#include "hotcorners/core/service_rules.h"
#include "hotcorners/win32/edgewake.h"
#include "hotcorners/win32/library_internal.h"
#include "hotcorners/win32/shared_memory.h"
#include "hotcorners/win32/user_registry.h"
#include "kit/win32/current_user_registry.h"

namespace edgewake {
namespace {

HMODULE g_module = nullptr;

// How long one window of a list may take to answer: a hung window delays
// the one telling by this much at most, and holds up nobody else.
constexpr UINT kTellTimeoutMs = 500;

bool IsServiceWindow(HWND window) {
    char name[32] = {};
    return ::IsWindow(window) && ::GetClassNameA(window, name, sizeof name) &&
           std::strcmp(name, kServiceClass) == 0;
}

std::vector<std::uint32_t> ListedWindows(hotcorners::WindowList SharedData::*list) {
    const ListLock lock;
    SharedData* shared = Shared();
    if (!lock.Held() || !shared) return {};
    hotcorners::DropGone(shared->*list,
                         [](std::uint32_t w) { return !::IsWindow(WindowFromNumber(w)); });
    return hotcorners::Members(shared->*list);
}

bool AskService(WPARAM operation, LPARAM value, DWORD_PTR* answer) {
    const HWND service = ServiceWindow();
    DWORD_PTR result = 0;
    if (!service || !::SendMessageTimeoutA(service, kServiceMessage, operation, value,
                                           SMTO_ABORTIFHUNG | SMTO_NORMAL, kServiceWaitMs, &result))
        return false;
    if (answer) *answer = result;
    return true;
}

}  // namespace

HMODULE Module() { return g_module; }

std::string LibraryPath() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(g_module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        ::OutputDebugStringA("Unexpected error getting DLL path");
        return {};
    }
    return std::string(path, length);
}

HWND ServiceWindow() {
    const ServiceLock lock;
    SharedData* shared = Shared();
    if (!lock.Held() || !shared) return nullptr;
    const HWND window = WindowFromNumber(shared->serviceWindow);
    if (window && !IsServiceWindow(window)) {
        // The service's process ended without clearing its handle.
        shared->serviceWindow = 0;
        return nullptr;
    }
    return window;
}

bool SetServiceWindow(HWND window) {
    const ServiceLock lock;
    SharedData* shared = Shared();
    if (!lock.Held() || !shared) return false;
    shared->serviceWindow = WindowNumber(window);
    return true;
}

void EndService() {
    if (const HWND service = ServiceWindow()) {
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutA(service, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                              kServiceWaitMs, &ignored);
    }
}

bool StartServiceProcess() { return RunLibraryEntry("RunService"); }

bool RunLibraryEntry(const char* entry) {
    const std::string path = LibraryPath();
    if (path.empty()) return false;
    return RunCommand(hotcorners::RundllCommand(path, entry));
}

bool RunCommand(const std::string& command) {
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return false;
    const win32::UniqueKernelHandle thread(process.hThread), started(process.hProcess);
    return true;
}

std::optional<hotcorners::CornerActions> SharedCorners() {
    const ListLock lock;
    SharedData* shared = Shared();
    if (!lock.Held() || !shared) return std::nullopt;
    hotcorners::CornerActions corners = hotcorners::kNoActions;
    for (std::size_t i = 0; i < corners.size(); ++i)
        if (shared->corners[i] == 'Y' || shared->corners[i] == 'N') corners[i] = shared->corners[i];
    return corners;
}

bool UpdateSharedCorners() {
    const hotcorners::CornerActions corners =
        hotcorners::ReadCornerActions(kit::win32::CurrentUserRegistry{});
    const ListLock lock;
    SharedData* shared = Shared();
    if (!lock.Held() || !shared) return false;
    const bool changed = std::memcmp(shared->corners, corners.data(), corners.size()) != 0;
    std::memcpy(shared->corners, corners.data(), corners.size());
    return changed;
}

void CornersChanged() {
    if (UpdateSharedCorners()) Tell(Listed::Notify, kCornersChanged, 0);
}

void Tell(Listed which, WPARAM operation, LPARAM value) {
    for (const std::uint32_t window :
         ListedWindows(which == Listed::Notify ? &SharedData::notify : &SharedData::feedback)) {
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutA(WindowFromNumber(window), kServiceMessage, operation, value,
                              SMTO_ABORTIFHUNG | SMTO_NORMAL, kTellTimeoutMs, &ignored);
    }
}

bool JoinList(Listed which, HWND window) {
    const ListLock lock;
    SharedData* shared = Shared();
    if (!lock.Held() || !shared) return false;
    auto& list = which == Listed::Notify ? shared->notify : shared->feedback;
    // A full list may be full of windows that are gone.
    hotcorners::DropGone(list, [](std::uint32_t w) { return !::IsWindow(WindowFromNumber(w)); });
    return hotcorners::Join(list, WindowNumber(window));
}

void LeaveList(Listed which, HWND window) {
    const ListLock lock;
    SharedData* shared = Shared();
    if (!lock.Held() || !shared) return;
    hotcorners::Leave(which == Listed::Notify ? shared->notify : shared->feedback,
                      WindowNumber(window));
}

bool JoinNotifyList(HWND window) { return JoinList(Listed::Notify, window); }
void LeaveNotifyList(HWND window) { LeaveList(Listed::Notify, window); }

HWND SettingsDialogWindow() {
    const DialogLock lock;
    SharedData* shared = Shared();
    if (!lock.Held() || !shared) return nullptr;
    const HWND dialog = WindowFromNumber(shared->dialogWindow);
    return ::IsWindow(dialog) ? dialog : nullptr;
}

void SetSettingsDialogWindow(HWND dialog) {
    const DialogLock lock;
    if (SharedData* shared = Shared(); lock.Held() && shared)
        shared->dialogWindow = WindowNumber(dialog);
}

bool ReadOptionFromRegistry(const char* name) {
    return hotcorners::ReadOption(kit::win32::CurrentUserRegistry{}, name);
}

void WriteOptionToRegistry(const char* name, bool on) {
    WriteUserNumber(hotcorners::kOptionsKey, name, on ? 1 : 0);
}

bool GetShowIcon() {
    DWORD_PTR answer = 0;
    if (AskService(kGetShowIcon, 0, &answer)) return answer != 0;
    return ReadOptionFromRegistry(hotcorners::kShowIconOption);
}

void SetShowIcon(bool show) {
    if (!AskService(kSetShowIcon, show ? 1 : 0, nullptr))
        WriteOptionToRegistry(hotcorners::kShowIconOption, show);
}

bool GetShowFeedback() {
    DWORD_PTR answer = 0;
    if (AskService(kGetShowFeedback, 0, &answer)) return answer != 0;
    return ReadOptionFromRegistry(hotcorners::kShowFeedbackOption);
}

void SetShowFeedback(bool show) {
    if (!AskService(kSetShowFeedback, show ? 1 : 0, nullptr))
        WriteOptionToRegistry(hotcorners::kShowFeedbackOption, show);
}

}  // namespace edgewake

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        edgewake::g_module = module;
        ::DisableThreadLibraryCalls(module);
        edgewake::AttachShared();
    } else if (reason == DLL_PROCESS_DETACH) {
        edgewake::DetachShared();
    }
    return TRUE;
}
