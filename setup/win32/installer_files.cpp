#include "setup/win32/installer_files.h"

#include <cstdio>
#include <vector>

#include "common/win32/guards.h"
#include "setup/core/packed_version.h"

namespace setup {
namespace {

constexpr char kTemporaryPrefix[] = "sci";

// A new empty file with a unique "sci" name in `folder`.
std::string NewFileIn(const std::string& folder) {
    char name[MAX_PATH];
    if (folder.empty() || ::GetTempFileNameA(folder.c_str(), kTemporaryPrefix, 0, name) == 0) return {};
    return name;
}

}  // namespace

std::span<const std::uint8_t> CarriedBytes(HMODULE module, const char* name) {
    HRSRC resource = ::FindResourceA(module, name, RT_RCDATA);
    if (!resource) return {};
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const std::uint8_t*>(data), ::SizeofResource(module, resource)};
}

std::optional<std::string> FileVersionText(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::vector<char> record(size);
    if (!::GetFileVersionInfoA(path.c_str(), 0, size, record.data())) return std::nullopt;

    void* translation = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(record.data(), "\\VarFileInfo\\Translation", &translation, &length) ||
        length < sizeof(DWORD))
        return std::nullopt;
    // The entry holds the language in its low half; the block is named
    // language first, then code page.
    const DWORD entry = *static_cast<const DWORD*>(translation);
    char query[64];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%08lx\\%s",
                  static_cast<unsigned long>((entry << 16) | (entry >> 16)), "FileVersion");
    void* text = nullptr;
    if (!::VerQueryValueA(record.data(), query, &text, &length)) return std::nullopt;
    // The length counts characters up to and with the terminating zero.
    const char* characters = static_cast<const char*>(text);
    std::string version(characters, length);
    return version.substr(0, version.find('\0'));
}

bool Win32InstallerFiles::Exists(const std::string& path) {
    win32::UniqueFile file(::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

std::string Win32InstallerFiles::NewTemporaryFile() {
    char folder[MAX_PATH];
    const DWORD length = ::GetTempPathA(MAX_PATH, folder);
    return length == 0 || length >= MAX_PATH ? std::string() : NewFileIn(folder);
}

std::string Win32InstallerFiles::NewFileBeside(const std::string& target) {
    const std::size_t slash = target.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : NewFileIn(target.substr(0, slash));
}

bool Win32InstallerFiles::WriteWhole(const std::string& path, std::span<const std::uint8_t> bytes) {
    win32::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    const bool whole = ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                   nullptr) &&
                       written == bytes.size();
    // Closing is where a full disk may show itself last.
    return ::CloseHandle(file.Release()) && whole;
}

std::uint32_t Win32InstallerFiles::PackedVersion(const std::string& path) {
    const auto text = FileVersionText(path);
    return text ? PackedFileVersion(*text) : 0;
}

bool Win32InstallerFiles::Replace(const std::string& from, const std::string& to) {
    return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

void Win32InstallerFiles::Remove(const std::string& path) { ::DeleteFileA(path.c_str()); }

bool MessageBoxPrompts::AskToUpgrade(const std::string& question) {
    return ::MessageBoxA(owner_, question.c_str(), "Install", MB_YESNOCANCEL) == IDYES;
}

void MessageBoxPrompts::ShowError(const std::string& text) {
    ::MessageBoxA(owner_, text.c_str(), "Install Error", MB_OK | MB_ICONWARNING);
}

}  // namespace setup
