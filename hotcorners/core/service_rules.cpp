#include "hotcorners/core/service_rules.h"

#include <algorithm>

#include "kit/core/prefs.h"
#include "kit/core/user_settings.h"
#include "resources/dozekit_res.h"

namespace hotcorners {
namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return lower;
}

std::string_view WithoutTrailingBackslash(std::string_view folder) {
    while (!folder.empty() && folder.back() == '\\') folder.remove_suffix(1);
    return folder;
}

// Of the kit's texts, only the two names that "Mouse Corners" is read by:
// the kit's own reader then reads nothing else.
class CornerValueNames : public kit::StringTable {
public:
    std::optional<std::string> Load(int id) const override {
        if (id == IDS_DK_SETTINGS_KEY)
            return "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";
        if (id == IDS_DK_MOUSE_CORNERS) return "Mouse Corners";
        return std::nullopt;
    }
};

}  // namespace

std::string FolderOf(std::string_view path) {
    const auto slash = path.find_last_of('\\');
    if (slash == std::string_view::npos) return {};
    // A drive's root keeps its backslash: "C:\".
    return std::string(path.substr(0, slash == 2 && path[1] == ':' ? 3 : slash));
}

bool InWindowsDirectory(std::string_view libraryPath, std::string_view windowsDirectory) {
    const std::string folder = FolderOf(libraryPath);
    return !folder.empty() && Lower(WithoutTrailingBackslash(folder)) ==
                                  Lower(WithoutTrailingBackslash(windowsDirectory));
}

std::string WrongFolderText(std::string_view windowsDirectory, std::string_view ownFolder) {
    return "Error: Edgewake must be in the windows directory, " + std::string(windowsDirectory) +
           ". It is currently in " + std::string(ownFolder) + ". Please move it.";
}

std::string RundllCommand(std::string_view libraryPath, std::string_view entry) {
    const bool quote = libraryPath.find(' ') != std::string_view::npos;
    std::string command = "rundll32 ";
    if (quote) command += '"';
    command += libraryPath;
    if (quote) command += '"';
    return command + "," + std::string(entry);
}

CornerActions ReadCornerActions(const kit::Registry& registry) {
    const kit::UserSettings settings =
        kit::ReadUserSettings(registry, CornerValueNames{}, kit::DefaultPrefs());
    CornerActions actions = kNoActions;
    for (std::size_t i = 0; i < actions.size(); ++i)
        actions[i] = "-YN"[static_cast<int>(settings.corners[i])];
    return actions;
}

bool ReadOption(const kit::Registry& registry, const char* name, bool missing) {
    const auto key = registry.OpenCurrentUser(kOptionsKey);
    const auto bytes = key ? key->Query(name, 4) : std::nullopt;
    if (!bytes || bytes->empty()) return missing;
    return std::any_of(bytes->begin(), bytes->end(), [](std::uint8_t b) { return b != 0; });
}

}  // namespace hotcorners
