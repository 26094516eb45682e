#include "puzzle/win32/saver_files.h"

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

}  // namespace puzzle
