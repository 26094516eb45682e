// The installer's files and questions on Windows: the core's
// InstallerFiles and InstallerPrompts, and the installer's carried files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "setup/core/install_steps.h"

namespace setup {

// The bytes of the raw-data resource `name` of `module`; empty when missing.
std::span<const std::uint8_t> CarriedBytes(HMODULE module, const char* name);

// The "FileVersion" text of the file's version record, in its first
// translation; nothing when the file has none.
std::optional<std::string> FileVersionText(const std::string& path);

class Win32InstallerFiles : public InstallerFiles {
public:
    bool Exists(const std::string& path) override;
    std::string NewTemporaryFile() override;
    std::string NewFileBeside(const std::string& target) override;
    bool WriteWhole(const std::string& path, std::span<const std::uint8_t> bytes) override;
    std::uint32_t PackedVersion(const std::string& path) override;
    bool Replace(const std::string& from, const std::string& to) override;
    void Remove(const std::string& path) override;
};

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
