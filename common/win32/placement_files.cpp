#include "common/win32/placement_files.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/win32/guards.h"

namespace win32 {

using common::FileFault;

FileFault FaultOf(DWORD error) {
    switch (error) {
    case ERROR_SUCCESS: return FileFault::None;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_PRIVILEGE_NOT_HELD: return FileFault::Refused;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return FileFault::DiskFull;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE: return FileFault::InUse;
    default: return FileFault::Failed;
    }
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
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%08lx\\FileVersion",
                  static_cast<unsigned long>((entry << 16) | (entry >> 16)));
    void* text = nullptr;
    if (!::VerQueryValueA(record.data(), query, &text, &length)) return std::nullopt;
    // The length counts characters up to and with the terminating zero.
    const std::string version(static_cast<const char*>(text), length);
    return version.substr(0, version.find('\0'));
}

bool PlacementFiles::Exists(const std::string& path) {
    UniqueFile file(::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

bool PlacementFiles::Holds(const std::string& path, std::span<const std::uint8_t> bytes) {
    // Read beside any other user: a library that is loaded.
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.Get(), &size) ||
        static_cast<ULONGLONG>(size.QuadPart) != bytes.size())
        return false;
    std::vector<std::uint8_t> content(bytes.size());
    DWORD read = 0;
    return ::ReadFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &read,
                      nullptr) &&
           read == content.size() && std::equal(content.begin(), content.end(), bytes.begin());
}

PlacementFiles::NewFile PlacementFiles::NewFileIn(const std::string& folder) {
    char name[MAX_PATH];
    if (folder.empty()) return {"", FileFault::Failed};
    if (::GetTempFileNameA(folder.c_str(), prefix_, 0, name) == 0)
        return {"", FaultOf(::GetLastError())};
    return {name};
}

FileFault PlacementFiles::WriteWhole(const std::string& path, std::span<const std::uint8_t> bytes) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return FaultOf(::GetLastError());
    DWORD written = 0;
    if (!::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return FaultOf(::GetLastError());
    // A write that stops short without an error has run out of room.
    if (written != bytes.size()) return FileFault::DiskFull;
    // Closing is where a full disk may show itself last.
    return ::CloseHandle(file.Release()) ? FileFault::None : FaultOf(::GetLastError());
}

std::optional<std::string> PlacementFiles::VersionText(const std::string& path) {
    return FileVersionText(path);
}

FileFault PlacementFiles::MoveOver(const std::string& from, const std::string& to) {
    if (::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return FileFault::None;
    const DWORD error = ::GetLastError();
    if (error == ERROR_ACCESS_DENIED) {
        // A library or program that is loaded is refused as a plain denial;
        // it cannot be opened alone either.
        UniqueFile alone(::CreateFileA(to.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!alone && ::GetLastError() == ERROR_SHARING_VIOLATION) return FileFault::InUse;
    }
    return FaultOf(error);
}

void PlacementFiles::Remove(const std::string& path) { ::DeleteFileA(path.c_str()); }

}  // namespace win32
