// The binding of the image library ImgoraLib. The saver carries the
// library as its resource "IMGORADLLIMAGE", installs it into the system
// directory when it is missing or older, and binds ImgoraLibLoad at run
// time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

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

// Binds "imgoralib.dll": by name in the system's search order, else from
// the system directory, writing the carried copy (from the resources of
// `carrier`) there when it is missing, or, after asking, when the
// installed one is older. False, after telling the user why, when the
// saver cannot go on.
bool BindImageLibrary(HMODULE carrier, ImageLibrary& library);

// Writes the carried library to `path`; false when it is missing or the
// file cannot be written.
bool WriteCarriedLibrary(HMODULE carrier, const std::string& path);

// The "FileVersion" string of a file's version record as one number
// (VersionNumberFromText); 0 when the file has no readable version.
std::uint32_t FileVersionNumber(const std::string& path);

}  // namespace puzzle
