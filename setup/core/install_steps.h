// Installing one carried file (the saver or the Edgewake library) into
// place, and what the preview dialog then says. The platform is reached
// through InstallerFiles and InstallerPrompts.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace setup {

class InstallerFiles {
public:
    virtual ~InstallerFiles() = default;
    virtual bool Exists(const std::string& path) = 0;
    // A new empty file with a unique "sci" name, in the temporary folder or
    // in the folder of `target`; its path, or empty when none can be made.
    virtual std::string NewTemporaryFile() = 0;
    virtual std::string NewFileBeside(const std::string& target) = 0;
    // Writes all of `bytes` over the file at `path`; false when any of it
    // could not be written.
    virtual bool WriteWhole(const std::string& path, std::span<const std::uint8_t> bytes) = 0;
    // The file's packed "FileVersion" (PackedFileVersion); 0 when unreadable.
    virtual std::uint32_t PackedVersion(const std::string& path) = 0;
    // Moves `from` to `to`, replacing any file there.
    virtual bool Replace(const std::string& from, const std::string& to) = 0;
    virtual void Remove(const std::string& path) = 0;
};

class InstallerPrompts {
public:
    virtual ~InstallerPrompts() = default;
    // Asks the question with Yes, No and Cancel; true only for Yes.
    virtual bool AskToUpgrade(const std::string& question) = 0;
    virtual void ShowError(const std::string& text) = 0;
};

enum class InstallOutcome {
    Written,      // the carried copy is in place
    Kept,         // the installed copy is as new or newer: kept, no question
    Declined,     // the user kept the older installed copy
    NotReplaced,  // the older copy stays: the new one could not be put in its place
    NotWritten,   // nothing is in place: the carried copy could not be written
};

// Puts the carried copy at `target` unless an installed copy is as new,
// asking before it replaces an older one. The new copy is written beside the
// target and moved over it only once complete, so a failure leaves the old
// copy (or nothing) in place and never a cut-off file; each failure is
// shown, naming `name` (the file's name in messages).
InstallOutcome InstallCarriedFile(InstallerFiles& files, InstallerPrompts& prompts,
                                  std::span<const std::uint8_t> carried,
                                  const std::string& target, std::string_view name);

// The line under the preview: "Screen saver succesfully installed!" only
// when the saver file is in place and is the desktop's saver.
std::string PreviewStatus(InstallOutcome saver, bool madeCurrent);

inline constexpr char kUpgradeQuestion[] =
    "You have an out-of-date version of %s on your system. May I try to upgrade, please?";
inline constexpr char kCannotReplace[] =
    "Error. Unable to delete old version of %s. Make sure it is not in use, and then try again.";
inline constexpr char kCannotWrite[] =
    "Error. Unable to write %s to %s. Make sure there is room on the disk, and then try again.";

inline constexpr char kStatusInstalled[] = "Screen saver succesfully installed!";
inline constexpr char kStatusNotUpgraded[] =
    "The screen saver was not upgraded: the old version is still installed.";
inline constexpr char kStatusNotInstalled[] = "The screen saver could not be installed.";
inline constexpr char kStatusNotCurrent[] =
    "The screen saver is installed, but it could not be made the current screen saver.";

// `pattern` with each "%s" replaced by the next of `values`, in order.
std::string FillIn(std::string_view pattern, std::initializer_list<std::string_view> values);

}  // namespace setup
