#include "setup/win32/install_run.h"

#include "common/win32/guards.h"
#include "setup/win32/installer_files.h"

namespace setup {
namespace {

constexpr char kEdgewakeFile[] = "edgewake.dll";
constexpr char kEdgewakeName[] = "Edgewake";
constexpr char kEdgewakeResource[] = "RESOURCE_EDGEWAKE";

// Edgewake's exports take what rundll32 hands its entries.
using EdgewakeEntry = void(CALLBACK*)(HWND, HINSTANCE, LPSTR, int);

// Calls the export `name` of Edgewake's copy at `library`; false when it is
// not there.
bool CallEdgewake(HMODULE library, const char* name, HWND backdrop, HINSTANCE instance) {
    auto entry = reinterpret_cast<EdgewakeEntry>(
        reinterpret_cast<void*>(::GetProcAddress(library, name)));
    if (!entry) return false;
    char command[] = "/notitle";
    entry(backdrop, instance, command, SW_SHOWNORMAL);
    return true;
}

bool IsNtFamily() { return (::GetVersion() & 0x80000000u) == 0; }

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

std::string WindowsFile(const std::string& name) {
    char folder[MAX_PATH];
    const UINT length = ::GetWindowsDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return name;
    return std::string(folder, length) + "\\" + name;
}

InstallOutcome InstallFromResource(HINSTANCE instance, HWND backdrop, const std::string& path,
                                   const char* resource, const std::string& name) {
    Win32InstallerFiles files;
    MessageBoxPrompts prompts(backdrop);
    return InstallCarriedFile(files, prompts, CarriedBytes(instance, resource), path, name);
}

bool InstallEdgewake(HINSTANCE instance, HWND backdrop) {
    const std::string path = WindowsFile(kEdgewakeFile);
    // A running service holds its library: it is told to let go first.
    if (win32::UniqueLibrary installed{::LoadLibraryA(path.c_str())})
        CallEdgewake(installed.Get(), "TerminateService", backdrop, instance);
    InstallFromResource(instance, backdrop, path, kEdgewakeResource, kEdgewakeName);
    win32::UniqueLibrary library(::LoadLibraryA(path.c_str()));
    return library && CallEdgewake(library.Get(), "InstallSilently", backdrop, instance);
}

bool SetCurrentSaver(const std::string& path) {
    // The short form, as the desktop starts the saver from its path without
    // quotes.
    char shortPath[MAX_PATH];
    const DWORD length = ::GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    const std::string recorded =
        length == 0 || length >= MAX_PATH ? path : std::string(shortPath, length);
    bool done = ::WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", recorded.c_str(), "system.ini");
    // NT-family systems read the saver from the user's desktop settings,
    // not from "system.ini".
    if (IsNtFamily()) done = WriteDesktopSaver(recorded) && done;
    return ::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_UPDATEINIFILE) && done;
}

}  // namespace setup
