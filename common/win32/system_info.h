// What the saver, the kit, the installer and Edgewake ask of the system itself.
#pragma once

#include <windows.h>

#include <string>

namespace win32 {

// Windows NT, 2000 or later, rather than Windows 95, 98 or Me.
inline bool IsNtFamily() { return (::GetVersion() & 0x80000000u) == 0; }

// The system's temporary folder, ending in '\'; empty when it cannot be read.
inline std::string TemporaryFolder() {
    char folder[MAX_PATH];
    const DWORD length = ::GetTempPathA(MAX_PATH, folder);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(folder, length);
}

// Registers a window class that is redrawn whole when resized. A second
// registration of the same name fails, harmlessly for callers that ignore
// the answer.
inline bool RegisterRedrawnClass(HINSTANCE instance, WNDPROC procedure, const char* name,
                                 HBRUSH background = nullptr) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    return ::RegisterClassExA(&windowClass) != 0;
}

}  // namespace win32
