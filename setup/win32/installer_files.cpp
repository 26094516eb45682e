#include "setup/win32/installer_files.h"

namespace setup {

std::span<const std::uint8_t> CarriedBytes(HMODULE module, const char* name) {
    HRSRC resource = ::FindResourceA(module, name, RT_RCDATA);
    if (!resource) return {};
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const std::uint8_t*>(data), ::SizeofResource(module, resource)};
}

bool MessageBoxPrompts::AskToUpgrade(const std::string& question) {
    return ::MessageBoxA(owner_, question.c_str(), "Install", MB_YESNOCANCEL) == IDYES;
}

void MessageBoxPrompts::ShowError(const std::string& text) {
    ::MessageBoxA(owner_, text.c_str(), "Install Error", MB_OK | MB_ICONWARNING);
}

}  // namespace setup
