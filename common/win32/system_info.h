// What the saver, the installer and Edgewake ask of the system itself.
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

}  // namespace win32
