// The platform of an installation run (setup/core/install_steps.h) on
// Windows: the Windows and temporary folders, the carried files, the calls
// into Edgewake's library and the desktop's saver settings.
#pragma once

#include <windows.h>

#include <string>

#include "setup/core/install_steps.h"

namespace setup {

class Win32InstallerSystem : public InstallerSystem {
public:
    // Edgewake's exports are called with the backdrop and the installer's
    // module instance.
    Win32InstallerSystem(HINSTANCE instance, HWND backdrop)
        : instance_(instance), backdrop_(backdrop) {}

    std::string WindowsDirectory() override;
    std::string TemporaryFolder() override;
    std::span<const std::uint8_t> Carried(const char* resource) override;
    EdgewakeCall CallEdgewake(const std::string& library, const char* entry) override;
    // In "system.ini" and, on NT-family systems, in the user's desktop
    // settings.
    bool MakeCurrentSaver(const std::string& path) override;

private:
    HINSTANCE instance_;
    HWND backdrop_;
};

}  // namespace setup
