// The start-up shortcut: "\Edgewake.lnk" in the user's Startup folder, a
// shell link that runs the service through rundll32 at every log-on.
// Needs COM on the calling thread.
#pragma once

#include <windows.h>

#include <string>

namespace edgewake {

// The shortcut's full path; empty when the Startup folder is unknown.
std::string StartupShortcutPath();
bool StartupShortcutExists();

// Makes the shortcut (replacing one that is there) or removes it; a
// failure is shown to the user in a box owned by `owner` and answers
// false.
bool CreateStartupShortcut(HWND owner);
bool RemoveStartupShortcut(HWND owner);

// What a shell link file runs, read back through the shell link object.
struct ShortcutTarget {
    std::string path;
    std::string arguments;
};
bool ReadShortcut(const std::string& file, ShortcutTarget& target);

}  // namespace edgewake
