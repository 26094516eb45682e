#include "puzzle/win32/image_library.h"

#include <cstdio>
#include <vector>

#include "puzzle/core/number_text.h"
#include "puzzle/win32/saver_files.h"

namespace puzzle {
namespace {

constexpr char kLibraryName[] = "imgoralib.dll";
constexpr char kLoadEntry[] = "ImgoraLibLoad";
constexpr char kCarriedLibrary[] = "IMGORADLLIMAGE";

constexpr char kCaption[] = "Veduza Vozud";
constexpr char kErrorCaption[] = "Veduza Vozud Error";
constexpr char kUpgradeQuestion[] =
    "You have an out-of-date version of ImgoraLib.dll on your system. I need a more recent "
    "version. May I try to upgrade, please?";
constexpr char kCannotDelete[] =
    "Error. Unable to delete old version of ImgoraLib.dll. Maybe it was in use by another "
    "application. Close all applications and try again.";
constexpr char kWrongVersion[] = "Error. The version of IMGORALIB.DLL is wrong somehow. Don't know why.";

std::string SystemLibraryPath() {
    char folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return kLibraryName;
    return std::string(folder, length) + "\\" + kLibraryName;
}

std::uint32_t CarriedVersionNumber(HMODULE carrier) {
    TemporaryFile temporary;
    if (!temporary || !WriteCarriedLibrary(carrier, temporary.Path())) return 0;
    return FileVersionNumber(temporary.Path());
}

}  // namespace

void ImageLibrary::Release() {
    load_ = nullptr;
    module_.Reset();
}

bool ImageLibrary::Adopt(win32::UniqueLibrary module) {
    if (!module) return false;
    auto load = reinterpret_cast<ImgoraLibLoadProc>(
        reinterpret_cast<void*>(::GetProcAddress(module.Get(), kLoadEntry)));
    if (!load) return false;
    module_ = std::move(module);
    load_ = load;
    return true;
}

bool BindImageLibrary(HMODULE carrier, ImageLibrary& library) {
    library.Release();
    if (library.Adopt(win32::UniqueLibrary(::LoadLibraryA(kLibraryName)))) return true;

    const std::string path = SystemLibraryPath();
    if (FileExists(path)) {
        const std::uint32_t installed = FileVersionNumber(path);
        const std::uint32_t carried = CarriedVersionNumber(carrier);
        if (carried > installed) {
            if (::MessageBoxA(nullptr, kUpgradeQuestion, kCaption, MB_YESNOCANCEL) != IDYES)
                return false;
            if (!::DeleteFileA(path.c_str())) {
                ::MessageBoxA(nullptr, kCannotDelete, kErrorCaption, MB_OK | MB_ICONWARNING);
                return false;
            }
            WriteCarriedLibrary(carrier, path);
        }
    } else {
        WriteCarriedLibrary(carrier, path);
    }

    if (library.Adopt(win32::UniqueLibrary(::LoadLibraryA(path.c_str())))) return true;
    ::MessageBoxA(nullptr, kWrongVersion, kErrorCaption, MB_OK | MB_ICONWARNING);
    return false;
}

bool WriteCarriedLibrary(HMODULE carrier, const std::string& path) {
    const auto bytes = ResourceBytes(carrier, kCarriedLibrary, RT_RCDATA);
    if (bytes.empty()) return false;
    return WriteWholeFile(path, bytes);
}

std::uint32_t FileVersionNumber(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return 0;
    std::vector<char> record(size);
    if (!::GetFileVersionInfoA(path.c_str(), 0, size, record.data())) return 0;

    void* translation = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(record.data(), "\\VarFileInfo\\Translation", &translation, &length) ||
        length < sizeof(DWORD))
        return 0;
    // Language in the low half, code page in the high half; the block is
    // named language first.
    const DWORD entry = *static_cast<const DWORD*>(translation);
    const DWORD block = (entry << 16) | (entry >> 16);
    char query[64];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%08lx\\FileVersion",
                  static_cast<unsigned long>(block));
    void* text = nullptr;
    if (!::VerQueryValueA(record.data(), query, &text, &length) || length == 0) return 0;
    // The length counts characters, the terminating zero included.
    const char* characters = static_cast<const char*>(text);
    std::string version(characters, length);
    version.resize(version.find('\0') == std::string::npos ? version.size() : version.find('\0'));
    return VersionNumberFromText(version);
}

}  // namespace puzzle
