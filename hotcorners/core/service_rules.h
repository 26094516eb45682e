// The library's small rules around the service: where it must live, the
// command lines it starts itself with, and the user's settings it reads
// (the kit's "Mouse Corners" and its own two options).
#pragma once

#include <string>
#include <string_view>

#include "hotcorners/core/hot_corners.h"
#include "kit/core/settings_store.h"

namespace hotcorners {

// The folder of a file's path, without the last backslash ("C:\" for a
// file in a drive's root).
std::string FolderOf(std::string_view path);

// Whether the library's folder is the Windows directory, letter case
// aside; a trailing backslash on either does not count.
bool InWindowsDirectory(std::string_view libraryPath, std::string_view windowsDirectory);

// The text of the box a library in the wrong folder shows.
inline constexpr char kWrongFolderCaption[] = "Error: wrong directory";
std::string WrongFolderText(std::string_view windowsDirectory, std::string_view ownFolder);

// "rundll32 PATH,ENTRY": how the library runs its own entries as a
// process. A path with blanks is quoted.
std::string RundllCommand(std::string_view libraryPath, std::string_view entry);

// "Mouse Corners", read as the kit reads it.
CornerActions ReadCornerActions(const kit::Registry& registry);

// The user options, 32-bit values under the desktop's key; a missing one
// reads as `missing` (the options as on).
inline constexpr char kOptionsKey[] = "Control Panel\\Desktop";
inline constexpr char kShowIconOption[] = "Edgewake Tray Icon";
inline constexpr char kShowFeedbackOption[] = "Edgewake Feedback";
bool ReadOption(const kit::Registry& registry, const char* name, bool missing = true);

// Beside them, a 32-bit 1 while the service holds off a saver that was on
// (SaverDesktop::HeldOffMark); missing otherwise.
inline constexpr char kHeldOffMark[] = "Edgewake Held Off";

}  // namespace hotcorners
