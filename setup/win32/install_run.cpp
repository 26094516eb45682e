#include "setup/win32/install_run.h"

#include "common/win32/guards.h"
#include "common/win32/system_info.h"
#include "setup/win32/installer_files.h"

namespace setup {
namespace {

// Edgewake's exports take what rundll32 hands its entries.
using EdgewakeEntry = void(CALLBACK*)(HWND, HINSTANCE, LPSTR, int);

bool WriteDesktopSaver(const std::string& path) {
    HKEY opened = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, &opened, nullptr) != ERROR_SUCCESS)
        return false;
    win32::UniqueRegKey key(opened);
    return ::RegSetValueExA(key.Get(), "SCRNSAVE.EXE", 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(path.c_str()),
                            static_cast<DWORD>(path.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace

std::string Win32InstallerSystem::WindowsDirectory() {
    char folder[MAX_PATH];
    const UINT length = ::GetWindowsDirectoryA(folder, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(folder, length);
}

std::string Win32InstallerSystem::TemporaryFolder() { return win32::TemporaryFolder(); }

std::span<const std::uint8_t> Win32InstallerSystem::Carried(const char* resource) {
    return CarriedBytes(instance_, resource);
}

EdgewakeCall Win32InstallerSystem::CallEdgewake(const std::string& library, const char* entry) {
    const win32::UniqueLibrary module(::LoadLibraryA(library.c_str()));
    if (!module) return EdgewakeCall::NotLoaded;
    const auto call = reinterpret_cast<EdgewakeEntry>(
        reinterpret_cast<void*>(::GetProcAddress(module.Get(), entry)));
    if (!call) return EdgewakeCall::NoEntry;
    char command[] = "/notitle";
    call(backdrop_, instance_, command, SW_SHOWNORMAL);
    return EdgewakeCall::Called;
}

bool Win32InstallerSystem::MakeCurrentSaver(const std::string& path) {
    // The short form, as the desktop starts the saver from its path without
    // quotes.
    char shortPath[MAX_PATH];
    const DWORD length = ::GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    const std::string recorded =
        length == 0 || length >= MAX_PATH ? path : std::string(shortPath, length);
    bool done =
        ::WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", recorded.c_str(), "system.ini");
    // NT-family systems read the saver from the user's desktop settings,
    // not from "system.ini".
    if (win32::IsNtFamily()) done = WriteDesktopSaver(recorded) && done;
    return ::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_UPDATEINIFILE) &&
           done;
}

}  // namespace setup
