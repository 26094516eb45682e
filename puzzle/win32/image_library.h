// The binding of the image library ImgoraLib on Windows. The saver carries
// the library as its resource "IMGORADLLIMAGE"; where it is put and when is
// decided by the core (puzzle/core/library_binding.h).
#pragma once

#include <windows.h>

#include "common/win32/guards.h"
#include "imagelib/win32/imgoralib.h"

namespace puzzle {

// The bound library: loaded once at start-up, released when the saver's
// main entry returns (or this object goes).
class ImageLibrary {
public:
    ImgoraLibLoadProc Load() const { return load_; }
    explicit operator bool() const { return load_ != nullptr; }
    void Release();

    // Takes `module` when it exports ImgoraLibLoad; releases it otherwise.
    bool Adopt(win32::UniqueLibrary module);

private:
    win32::UniqueLibrary module_;
    ImgoraLibLoadProc load_ = nullptr;
};

// Binds "imgoralib.dll" by name, else from the system directory, else from
// the folder "Corvane" in the user's local application data folder (or in
// the temporary folder), writing the carried copy (from the resources of
// `carrier`) into place as needed. False, after telling the user why, when
// the saver cannot go on.
bool BindImageLibrary(HMODULE carrier, ImageLibrary& library);

}  // namespace puzzle
