// Stand-ins for the service side of edgewake.dll (edgewake.h), so that the
// settings side can be built and tested on its own. They do what the real
// ones do in the simplest way there is, without the shared memory: the
// service window and an open settings dialog are found by class and
// window property, and the "service" is a hidden window of the service's
// class on a thread of this process that does nothing but end when told.
// Linked into the settings tests; into the library itself only until the
// service side is there.
#include <windows.h>

#include "common/win32/guards.h"
#include "hotcorners/core/service_rules.h"
#include "hotcorners/win32/edgewake.h"

namespace edgewake {
namespace {

constexpr char kServiceClass[] = "EdgewakeService";
constexpr char kDialogProperty[] = "EdgewakeSettingsDialog";

// A missing option reads as on.
bool ReadOptionValue(const char* name) {
    DWORD value = 1;
    DWORD size = sizeof value;
    if (::RegGetValueA(HKEY_CURRENT_USER, hotcorners::kOptionsKey, name, RRF_RT_REG_DWORD, nullptr,
                       &value, &size) != ERROR_SUCCESS)
        value = 1;
    return value != 0;
}

void WriteOptionValue(const char* name, bool on) {
    const DWORD value = on ? 1 : 0;
    ::RegSetKeyValueA(HKEY_CURRENT_USER, hotcorners::kOptionsKey, name, REG_DWORD, &value,
                      sizeof value);
}

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    if (!::GetPropA(window, kDialogProperty)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

LRESULT CALLBACK ServiceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) ::PostQuitMessage(0);
    return ::DefWindowProcA(window, message, wParam, lParam);
}

DWORD WINAPI ServiceThread(void* created) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ServiceProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kServiceClass;
    ::RegisterClassA(&windowClass);
    HWND window = ::CreateWindowExA(0, kServiceClass, kServiceClass, WS_OVERLAPPED, 0, 0, 10, 10,
                                    nullptr, nullptr, windowClass.hInstance, nullptr);
    ::SetEvent(created);
    if (!window) return 1;
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) ::DispatchMessageA(&message);
    return 0;
}

}  // namespace

HMODULE Module() {
    HMODULE module = nullptr;
    ::GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(&Module), &module);
    return module;
}

std::string LibraryPath() {
    char path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(Module(), path, sizeof path);
    if (length == 0 || length >= sizeof path) return {};
    return std::string(path, length);
}

HWND ServiceWindow() { return ::FindWindowA(kServiceClass, kServiceClass); }

void EndService() {
    if (HWND service = ServiceWindow()) ::SendMessageA(service, WM_CLOSE, 0, 0);
}

bool StartServiceProcess() {
    if (ServiceWindow()) return true;
    const win32::UniqueKernelHandle created(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const win32::UniqueKernelHandle thread(
        ::CreateThread(nullptr, 0, ServiceThread, created.Get(), 0, nullptr));
    if (thread) ::WaitForSingleObject(created.Get(), 5000);
    return static_cast<bool>(thread);
}

void CornersChanged() {}

bool GetShowIcon() { return ReadOptionValue(hotcorners::kShowIconOption); }
void SetShowIcon(bool show) { WriteOptionValue(hotcorners::kShowIconOption, show); }
bool GetShowFeedback() { return ReadOptionValue(hotcorners::kShowFeedbackOption); }
void SetShowFeedback(bool show) { WriteOptionValue(hotcorners::kShowFeedbackOption, show); }

HWND SettingsDialogWindow() {
    HWND found = nullptr;
    ::EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

void SetSettingsDialogWindow(HWND dialog) {
    if (dialog)
        ::SetPropA(dialog, kDialogProperty, reinterpret_cast<HANDLE>(1));
    else if (HWND open = SettingsDialogWindow())
        ::RemovePropA(open, kDialogProperty);
}

}  // namespace edgewake
