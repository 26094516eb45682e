// The settings dialog's rules, apart from any window: what it shows when it
// opens in each of its modes, when OK needs the uninstall question, what
// OK writes, removes, starts and ends, and how the registration that makes
// the Display Properties page is written so that a refused write is told
// and never leaves a page key behind a class that is not registered.
#pragma once

#include <string>
#include <vector>

#include "hotcorners/core/hot_corners.h"
#include "kit/core/monitor_rules.h"

namespace hotcorners {

// How the dialog runs: shown to the user; shown for a new install (the
// install defaults, the service started at once); or silently, applying
// the install defaults and closing at once.
enum class SettingsMode { Normal, Install, Silent };

// What the dialog's controls hold.
struct SettingsChoices {
    CornerActions corners = kNoActions;
    bool feedback = false;  // 1001 "&Feedback when mouse is in a hot corner"
    bool page = false;      // 1002 "Page in &Display Properties control panel"
    bool icon = false;      // 1003 "&Icon in task bar"
    bool startup = false;   // 1004 "Have hot corner services load at &startup"

    bool operator==(const SettingsChoices&) const = default;
};

// What the system holds when the dialog opens.
struct FoundSettings {
    CornerActions corners = kNoActions;  // "Mouse Corners"
    bool shortcutExists = false;
    bool pageRegistered = false;  // the Display Properties page key exists
    bool showFeedback = true;     // the user options, on when never set
    bool showIcon = true;
};

// The controls at opening. A new install (install or silent mode) with no
// corner set gets top-left Now and top-right Never, and gets the page and
// the shortcut; the shown install ticks both options too, the silent one
// keeps them as found.
SettingsChoices OpeningChoices(const FoundSettings& found, SettingsMode mode);

// A shown install dialog starts the service at once when none runs.
inline bool StartsServiceAtOpening(SettingsMode mode, bool serviceRuns) {
    return mode == SettingsMode::Install && !serviceRuns;
}

// Whether the user keeps a way back to the settings: the page, or the
// task-bar icon of a service that starts with the session.
inline bool KeepsWayBack(const SettingsChoices& choices) {
    return choices.page || (choices.icon && choices.startup);
}

// OK without a way back asks before it applies (an uninstall).
inline constexpr char kUninstallCaption[] = "Edgewake";
inline constexpr char kUninstallQuestion[] =
    "You have turned Edgewake off, in the task-bar and the DisplayProperties dialog. You can never "
    "access it again!\r\nThis will uninstall Edgewake. Are you sure you want to continue?";

// What happens to the service after OK has written everything.
enum class ServiceStep { None, Start, End };
ServiceStep ServiceAfterApply(const SettingsChoices& choices, bool serviceRuns, bool silent);

// "Mouse Corners" as written: four characters of 'Y', 'N' and '-'.
std::string CornersText(const CornerActions& corners);
// The monitor control's corners, and back.
CornerActions FromControl(const kit::CornerActions& control);
kit::CornerActions ToControl(const CornerActions& corners);

// The class identifier of the page's in-process server, in braces.
inline constexpr char kClassId[] = "{6F1C2B7E-3D54-4A8B-9E21-5C7D0A4F93B6}";
inline constexpr char kClassName[] = "Edgewake";
inline constexpr char kClassKey[] = "CLSID\\{6F1C2B7E-3D54-4A8B-9E21-5C7D0A4F93B6}";
inline constexpr char kServerKey[] =
    "CLSID\\{6F1C2B7E-3D54-4A8B-9E21-5C7D0A4F93B6}\\InProcServer32";
inline constexpr char kPageKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Display\\shellex\\"
    "PropertySheetHandlers\\Edgewake Properties";

// The registry keys that make the page, as the platform writes them: each
// call answers whether the write (or the removal) took.
class RegistrationStore {
public:
    virtual ~RegistrationStore() = default;
    // HKEY_CLASSES_ROOT: CLSID\{id} = "Edgewake", its InProcServer32 = the
    // library's path, "ThreadingModel" = "Apartment".
    virtual bool WriteClass(const std::string& libraryPath) = 0;
    // HKEY_LOCAL_MACHINE: the page key, default value the class id.
    virtual bool WritePageKey() = 0;
    // Removes the page key; a key that is not there counts as removed.
    virtual bool RemovePageKey() = 0;
};

// Where the registration stands after OK.
enum class RegistrationProblem {
    ClassRefused,    // the class could not be registered
    PageNotAdded,    // the page was wanted, but the class is not registered
    PageRefused,     // the page key could not be written
    PageNotRemoved,  // the page key could not be removed
};

// Registers the class, then adds the page key only when the class took,
// or removes it. Answers what went wrong, in that order; empty when all
// took.
std::vector<RegistrationProblem> ApplyRegistration(RegistrationStore& store,
                                                   const std::string& libraryPath, bool page);

// The start-up shortcut: "\Edgewake.lnk" in the user's Startup folder,
// running the service through rundll32.
inline constexpr char kShortcutName[] = "\\Edgewake.lnk";
inline constexpr char kShortcutTarget[] = "rundll32.exe";
inline std::string ShortcutArguments(const std::string& libraryPath) {
    return libraryPath + ",RunService";
}
inline constexpr char kNoShellLinkText[] = "Edgewake unable to create ShellLink interface.";
inline constexpr char kNotRemovedText[] =
    "For some reason, couldn't remove Edgewake from startup folder";

// The one box that tells the user what did not take: a line per problem.
inline constexpr char kProblemCaption[] = "Edgewake";
std::string ProblemText(const std::vector<RegistrationProblem>& problems, bool cornersRefused);

}  // namespace hotcorners
