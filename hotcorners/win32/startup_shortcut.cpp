#include "hotcorners/win32/startup_shortcut.h"

#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "hotcorners/core/settings_rules.h"
#include "hotcorners/win32/com_ptr.h"
#include "hotcorners/win32/edgewake.h"

namespace edgewake {
namespace {

std::wstring Wide(const std::string& text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) return {};
    std::vector<wchar_t> wide(static_cast<std::size_t>(length));
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    return std::wstring(wide.data());
}

void Tell(HWND owner, const std::string& text) {
    ::MessageBoxA(owner, text.c_str(), "Edgewake", MB_OK | MB_ICONEXCLAMATION);
}

std::string SystemRundll() {
    char folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(folder, sizeof folder);
    if (length == 0 || length >= sizeof folder) return hotcorners::kShortcutTarget;
    return std::string(folder, length) + "\\" + hotcorners::kShortcutTarget;
}

}  // namespace

std::string StartupShortcutPath() {
    LPITEMIDLIST folder = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_STARTUP, &folder)) || !folder) return {};
    char path[MAX_PATH] = "";
    const bool found = ::SHGetPathFromIDListA(folder, path) != FALSE;
    ::CoTaskMemFree(folder);
    if (!found || path[0] == '\0') return {};
    return std::string(path) + hotcorners::kShortcutName;
}

bool StartupShortcutExists() {
    const std::string path = StartupShortcutPath();
    return !path.empty() && ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CreateStartupShortcut(HWND owner) {
    ComPtr<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  link.Out())) ||
        !link.Get()) {
        Tell(owner, hotcorners::kNoShellLinkText);
        return false;
    }
    const std::string path = StartupShortcutPath();
    const std::string library = LibraryPath();
    ComPtr<IPersistFile> file;
    const bool saved =
        !path.empty() && !library.empty() && SUCCEEDED(link->SetPath(SystemRundll().c_str())) &&
        SUCCEEDED(link->SetArguments(hotcorners::ShortcutArguments(library).c_str())) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.Out())) &&
        SUCCEEDED(file->Save(Wide(path).c_str(), TRUE));
    if (!saved)
        Tell(owner, "Edgewake could not put its shortcut into the startup folder" +
                        (path.empty() ? std::string(".") : " (" + path + ")."));
    return saved;
}

bool RemoveStartupShortcut(HWND owner) {
    const std::string path = StartupShortcutPath();
    if (!path.empty() && ::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    if (!path.empty() && ::DeleteFileA(path.c_str())) return true;
    Tell(owner, hotcorners::kNotRemovedText);
    return false;
}

bool ReadShortcut(const std::string& file, ShortcutTarget& target) {
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> persist;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  link.Out())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, persist.Out())) ||
        FAILED(persist->Load(Wide(file).c_str(), STGM_READ)))
        return false;
    char text[MAX_PATH * 2] = "";
    if (FAILED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) return false;
    target.path = text;
    text[0] = '\0';
    if (FAILED(link->GetArguments(text, sizeof text))) return false;
    target.arguments = text;
    return true;
}

}  // namespace edgewake
