// The installer's carried files and questions on Windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

#include "setup/core/install_steps.h"

namespace setup {

// The bytes of the raw-data resource `name` of `module`; empty when missing.
std::span<const std::uint8_t> CarriedBytes(HMODULE module, const char* name);

// Message boxes owned by the backdrop, captioned "Install" and "Install Error".
class MessageBoxPrompts : public InstallerPrompts {
public:
    explicit MessageBoxPrompts(HWND owner) : owner_(owner) {}
    bool AskToUpgrade(const std::string& question) override;
    void ShowError(const std::string& text) override;

private:
    HWND owner_;
};

}  // namespace setup
