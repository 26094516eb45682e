// The steps of an installation run, between the introduction and the
// preview: the Edgewake library, the saver, and making it the desktop's saver.
#pragma once

#include <windows.h>

#include <string>

#include "setup/core/install_steps.h"

namespace setup {

// The Windows directory, a backslash and `name`.
std::string WindowsFile(const std::string& name);

// Writes the carried raw-data resource `resource` to `path` (asking before
// it replaces an older copy); `name` is the file's name in messages.
InstallOutcome InstallFromResource(HINSTANCE instance, HWND backdrop, const std::string& path,
                                   const char* resource, const std::string& name);

// Stops a running Edgewake service ("TerminateService" of the installed copy)
// before its file is replaced, installs the carried copy, and has it set up
// its service silently ("InstallSilently"). True when that export was there.
bool InstallEdgewake(HINSTANCE instance, HWND backdrop);

// Makes the saver at `path` the desktop's screen saver, in "system.ini" and,
// on NT-family systems, in the user's desktop settings, and switches the
// screen saver on. False when any of these could not be recorded.
bool SetCurrentSaver(const std::string& path);

}  // namespace setup
