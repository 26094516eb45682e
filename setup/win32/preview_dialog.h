// The last dialog of a run: the installed saver running in preview, and a
// line that says how the installation went.
#pragma once

#include <windows.h>

#include <string>

namespace setup {

// Runs the dialog modally over `owner`. With `startSaver`, the saver at
// `path` is started in preview mode inside the dialog's black rectangle.
void RunPreviewDialog(HINSTANCE instance, HWND owner, const std::string& path,
                      const std::string& status, bool startSaver);

}  // namespace setup
