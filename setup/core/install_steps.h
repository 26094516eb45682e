// An installation run, between the introduction and the preview: the
// Edgewake library and the saver put in place, Edgewake's service set up, the
// saver made the desktop's saver, and what the preview dialog then says. Files
// go through common::PlacementFiles (a new copy is written whole beside its
// target and moved over it); the rest of the platform through InstallerSystem
// and InstallerPrompts.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "common/core/file_placement.h"

namespace setup {

class InstallerPrompts {
public:
    virtual ~InstallerPrompts() = default;
    // Asks the question with Yes, No and Cancel; true only for Yes.
    virtual bool AskToUpgrade(const std::string& question) = 0;
    virtual void ShowError(const std::string& text) = 0;
};

enum class EdgewakeCall { Called, NotLoaded, NoEntry };

class InstallerSystem {
public:
    virtual ~InstallerSystem() = default;
    // Empty when it cannot be read.
    virtual std::string WindowsDirectory() = 0;
    virtual std::string TemporaryFolder() = 0;
    // A raw-data resource of the installer; empty when it is missing.
    virtual std::span<const std::uint8_t> Carried(const char* resource) = 0;
    // Loads the library at the full path `library`, calls its export `entry`
    // with the installer's arguments and releases it.
    virtual EdgewakeCall CallEdgewake(const std::string& library, const char* entry) = 0;
    // Makes the saver at `path` the desktop's screen saver and switches the
    // screen saver on; false when any of that could not be recorded.
    virtual bool MakeCurrentSaver(const std::string& path) = 0;
};

enum class InstallOutcome {
    Written,      // the carried copy is in place
    Kept,         // the installed copy is as new or newer: kept, no question
    Declined,     // the user kept the older installed copy
    NotReplaced,  // the older copy stays: the new one could not be put in its place
    NotWritten,   // nothing is in place: the carried copy could not be written
};

// Puts the carried copy at `target` unless an installed copy is as new,
// asking before it replaces an older one. The carried copy's version is read
// from the copy written beside the target; only where that cannot be written
// is it read from one in `temporaryFolder`, so that an installed copy as new
// is still kept without a word. A failure leaves the old copy (or nothing) in
// place, never a cut-off file, and is shown naming `name` (the file's name in
// messages) and saying what happened.
InstallOutcome InstallCarriedFile(common::PlacementFiles& files, InstallerPrompts& prompts,
                                  std::span<const std::uint8_t> carried, const std::string& target,
                                  std::string_view name, const std::string& temporaryFolder);

struct InstallResult {
    std::string saver;   // the saver's path; empty without a Windows directory
    bool showSaver;      // a saver is in place for the preview to run
    std::string status;  // the line under the preview
};

// The run: Edgewake's running service told to end ("TerminateService"), its
// library put in place and told to set itself up ("InstallSilently"), the
// saver (`saverFile`, called `saverName` in messages) put in place and made
// the desktop's saver. Without a Windows directory nothing is done.
InstallResult RunInstallation(common::PlacementFiles& files, InstallerPrompts& prompts,
                              InstallerSystem& system, const std::string& saverFile,
                              std::string_view saverName);

// The line under the preview: "Screen saver succesfully installed!" only
// when the saver file is in place and is the desktop's saver, and the hot
// corners are set up.
std::string PreviewStatus(InstallOutcome saver, bool madeCurrent, bool hotCorners);

inline constexpr char kSaverResource[] = "RESOURCE_SAVER";
inline constexpr char kEdgewakeResource[] = "RESOURCE_EDGEWAKE";
inline constexpr char kEdgewakeFile[] = "edgewake.dll";
inline constexpr char kEdgewakeName[] = "Edgewake";

inline constexpr char kUpgradeQuestion[] =
    "You have an out-of-date version of %s on your system. May I try to upgrade, please?";
inline constexpr char kCannotReplace[] =
    "Error. Unable to delete old version of %s. Make sure it is not in use, and then try again.";
inline constexpr char kReplaceRefused[] =
    "Error. Unable to replace the old version of %s at %s: the system refused it.";
inline constexpr char kCannotWrite[] =
    "Error. Unable to write %s to %s. Make sure there is room on the disk, and then try again.";
inline constexpr char kWriteRefused[] = "Error. Unable to write %s to %s: the system refused it.";
inline constexpr char kWriteFailed[] = "Error. Unable to write %s to %s.";
inline constexpr char kNotCarried[] =
    "Error. This installer does not carry %s: the installer file is damaged.";
inline constexpr char kNoWindowsDirectory[] =
    "Error. Unable to find the Windows directory, so nothing was installed.";
inline constexpr char kEdgewakeNotLoaded[] =
    "Error. Unable to load %s, so the hot corners are not set up.";
inline constexpr char kEdgewakeNoSetup[] =
    "Error. %s cannot set up the hot corners: it has no InstallSilently entry.";

inline constexpr char kStatusInstalled[] = "Screen saver succesfully installed!";
inline constexpr char kStatusNotUpgraded[] =
    "The screen saver was not upgraded: the old version is still installed.";
inline constexpr char kStatusNotInstalled[] = "The screen saver could not be installed.";
inline constexpr char kStatusNotCurrent[] =
    "The screen saver is installed, but it could not be made the current screen saver.";
inline constexpr char kStatusNoHotCorners[] =
    "The screen saver is installed, but the hot corners could not be installed.";

// `pattern` with each "%s" replaced by the next of `values`, in order.
std::string FillIn(std::string_view pattern, std::initializer_list<std::string_view> values);

}  // namespace setup
