// What the service side's files share among themselves (beside edgewake.h).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "hotcorners/core/hot_corners.h"

namespace edgewake {

inline constexpr char kServiceClass[] = "EdgewakeService";
inline constexpr char kFeedbackClass[] = "PersistentCornerClass";

// Stores the running service's window (null when it ends); false when the
// service mutex could not be taken.
bool SetServiceWindow(HWND window);

// The two shared lists.
enum class Listed { Notify, Feedback };
// Joins once; windows that are gone are dropped first. False when full.
bool JoinList(Listed which, HWND window);
void LeaveList(Listed which, HWND window);
// Sends kServiceMessage to every window of the list that still exists,
// each with a time limit, after the list's mutex has been let go.
void Tell(Listed which, WPARAM operation, LPARAM value);

// The shared corner copy ('-' for anything but 'Y' and 'N'); nothing when
// the list mutex could not be taken.
std::optional<hotcorners::CornerActions> SharedCorners();
// Reads "Mouse Corners" into the corner copy; true when that changed it.
bool UpdateSharedCorners();

// The user options as stored.
bool ReadOptionFromRegistry(const char* name);
void WriteOptionToRegistry(const char* name, bool on);

// Starts "rundll32 LIBRARY,ENTRY", or any command line, as a process.
bool RunLibraryEntry(const char* entry);
bool RunCommand(const std::string& command);

// RunService's body: runs the service window's loop until it ends, or
// brings an existing service forward.
void RunServiceLoop(HWND caller);

}  // namespace edgewake
