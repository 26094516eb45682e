// The binding of the image library ImgoraLib, decided here and carried out
// through BindingSystem (loading, folders, boxes) and common::PlacementFiles.
// The saver carries the library; it puts the carried copy into the system
// directory when none is there or, after asking, over an older one. Where the
// system directory cannot take it (a standard user may not write there), the
// copy goes into a folder of the user's own and is loaded from there.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "common/core/file_placement.h"

namespace puzzle {

class BindingSystem {
public:
    virtual ~BindingSystem() = default;
    // Loads the library by its plain name in the system's search order, or
    // from a full path. True when it exports ImgoraLibLoad; the library is
    // then kept. One without that export is released again.
    virtual bool BindByName() = 0;
    virtual bool BindFrom(const std::string& path) = 0;
    // The system directory; empty when it cannot be read.
    virtual std::string SystemFolder() = 0;
    // The saver's own folder inside the user's local application data
    // folder, and inside the temporary folder, each made when missing;
    // empty when there is none or it cannot be made.
    virtual std::string LocalDataFolder() = 0;
    virtual std::string TemporaryFolder() = 0;
    // The carried library's bytes; empty when the saver does not carry it.
    virtual std::span<const std::uint8_t> CarriedLibrary() = 0;
    // Asks with Yes, No and Cancel; true for Yes only.
    virtual bool AskToUpgrade(const std::string& question) = 0;
    virtual void ShowError(const std::string& text) = 0;
};

inline constexpr char kLibraryFile[] = "imgoralib.dll";
// A library's "FileVersion" splits at dots alone, as the saver has always
// read it: "1, 0, 0, 5" counts as 1.0.0.0 (the installer splits at commas
// too, as version records are written).
inline constexpr char kLibraryVersionSeparators[] = ".";

inline constexpr char kUpgradeQuestion[] =
    "You have an out-of-date version of ImgoraLib.dll on your system. I need a more recent "
    "version. May I try to upgrade, please?";
inline constexpr char kCannotDeleteLibrary[] =
    "Error. Unable to delete old version of ImgoraLib.dll. Maybe it was in use by another "
    "application. Close all applications and try again.";
inline constexpr char kWrongLibraryVersion[] =
    "Error. The version of IMGORALIB.DLL is wrong somehow. Don't know why.";
inline constexpr char kLibraryNotCarried[] =
    "Error. This saver does not carry ImgoraLib.dll, which shows its pictures: the saver file is "
    "damaged. Install it again.";
// Followed by each folder tried and why it failed.
inline constexpr char kCannotWriteLibrary[] =
    "Error. Unable to write ImgoraLib.dll, which shows the pictures.";

// Binds the library: by name; else from the system directory, putting the
// carried copy there first when none is there or, after the upgrade
// question, over an older one (an installed copy as new or newer stays); else
// from the user's own folder (local application data, then temporary), where
// an earlier copy as new as the carried one stays. False, after a box that
// says why, when the saver cannot go on; no box when the user's folder serves.
// A copy is put in place only whole, and an old one is never deleted first.
bool BindImageLibrary(BindingSystem& system, common::PlacementFiles& files);

}  // namespace puzzle
