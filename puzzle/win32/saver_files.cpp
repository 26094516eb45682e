#include "puzzle/win32/saver_files.h"

#include "common/win32/guards.h"

namespace puzzle {

std::span<const std::uint8_t> ResourceBytes(HMODULE module, const char* name, const char* type) {
    HRSRC resource = ::FindResourceA(module, name, type);
    if (!resource) return {};
    HGLOBAL loaded = ::LoadResource(module, resource);
    const DWORD size = ::SizeofResource(module, resource);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const std::uint8_t*>(data), size};
}

bool WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    bool written = false;
    {
        win32::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        DWORD count = 0;
        written = ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &count,
                              nullptr) &&
                  count == bytes.size();
    }
    if (!written) ::DeleteFileA(path.c_str());
    return written;
}

TemporaryFile::TemporaryFile() {
    char folder[MAX_PATH];
    const DWORD length = ::GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH) return;
    char name[MAX_PATH];
    if (::GetTempFileNameA(folder, "scj", 0, name) == 0) return;
    path_ = name;
}

TemporaryFile::~TemporaryFile() {
    if (!path_.empty()) ::DeleteFileA(path_.c_str());
}

}  // namespace puzzle
