#include "puzzle/win32/image_library.h"

#include "common/win32/placement_files.h"
#include "common/win32/system_info.h"
#include "common/win32/system_library.h"
#include "puzzle/core/library_binding.h"
#include "puzzle/win32/saver_files.h"

namespace puzzle {
namespace {

constexpr char kLoadEntry[] = "ImgoraLibLoad";
constexpr char kCarriedLibrary[] = "IMGORADLLIMAGE";
// The saver's own folder inside the user's folders.
constexpr char kOwnFolder[] = "Corvane";
constexpr char kCaption[] = "Veduza Vozud";
constexpr char kErrorCaption[] = "Veduza Vozud Error";

// The saver's own folder inside `parent`, made when missing; empty when it
// cannot be.
std::string OwnFolderIn(std::string parent) {
    if (parent.empty()) return {};
    if (parent.back() != '\\') parent += '\\';
    const std::string folder = parent + kOwnFolder;
    if (!::CreateDirectoryA(folder.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        return {};
    return folder;
}

class Win32Binding : public BindingSystem {
public:
    Win32Binding(HMODULE carrier, ImageLibrary& library) : carrier_(carrier), library_(library) {}

    bool BindByName() override {
        return library_.Adopt(win32::UniqueLibrary(::LoadLibraryA(kLibraryFile)));
    }
    bool BindFrom(const std::string& path) override {
        return library_.Adopt(win32::UniqueLibrary(::LoadLibraryA(path.c_str())));
    }
    std::string SystemFolder() override {
        char folder[MAX_PATH];
        const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
        return length == 0 || length >= MAX_PATH ? std::string() : std::string(folder, length);
    }
    std::string LocalDataFolder() override {
        // The shell is loaded only on this way, which a saver with its
        // library in the system directory never takes.
        using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
        const auto getFolderPath =
            win32::SystemFunction<GetFolderPath>("shell32.dll", "SHGetFolderPathA");
        char folder[MAX_PATH];
        if (!getFolderPath || FAILED(getFolderPath(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE,
                                                   nullptr, SHGFP_TYPE_CURRENT, folder)))
            return {};
        return OwnFolderIn(folder);
    }
    std::string TemporaryFolder() override { return OwnFolderIn(win32::TemporaryFolder()); }
    std::span<const std::uint8_t> CarriedLibrary() override {
        return ResourceBytes(carrier_, kCarriedLibrary, RT_RCDATA);
    }
    bool AskToUpgrade(const std::string& question) override {
        return ::MessageBoxA(nullptr, question.c_str(), kCaption, MB_YESNOCANCEL) == IDYES;
    }
    void ShowError(const std::string& text) override {
        ::MessageBoxA(nullptr, text.c_str(), kErrorCaption, MB_OK | MB_ICONWARNING);
    }

private:
    HMODULE carrier_;
    ImageLibrary& library_;
};

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
    Win32Binding system(carrier, library);
    win32::PlacementFiles files(kNewFilePrefix);
    return puzzle::BindImageLibrary(system, files);
}

}  // namespace puzzle
