#include "hotcorners/core/settings_rules.h"

namespace hotcorners {

SettingsChoices OpeningChoices(const FoundSettings& found, SettingsMode mode) {
    SettingsChoices choices;
    choices.corners = found.corners;
    choices.feedback = found.showFeedback;
    choices.icon = found.showIcon;
    choices.page = found.pageRegistered;
    choices.startup = found.shortcutExists;
    if (mode == SettingsMode::Normal) return choices;

    // A new install: hot corners that do something, reachable afterwards.
    if (found.corners == kNoActions) choices.corners = {'Y', 'N', '-', '-'};
    choices.page = true;
    choices.startup = true;
    // The silent one keeps the user's two options (each on when it was
    // never set): a reinstallation or an upgrade must not undo them.
    if (mode == SettingsMode::Install) {
        choices.feedback = true;
        choices.icon = true;
    }
    return choices;
}

ServiceStep ServiceAfterApply(const SettingsChoices& choices, bool serviceRuns, bool silent) {
    if (!serviceRuns) return silent ? ServiceStep::Start : ServiceStep::None;
    return KeepsWayBack(choices) ? ServiceStep::None : ServiceStep::End;
}

std::string CornersText(const CornerActions& corners) {
    std::string text;
    for (const char corner : corners) text += corner == 'Y' || corner == 'N' ? corner : '-';
    return text;
}

CornerActions FromControl(const kit::CornerActions& control) {
    CornerActions corners = kNoActions;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const auto state = static_cast<std::size_t>(control[i]);
        corners[i] = state < 3 ? "-YN"[state] : '-';
    }
    return corners;
}

kit::CornerActions ToControl(const CornerActions& corners) {
    kit::CornerActions control{};
    for (std::size_t i = 0; i < corners.size(); ++i)
        control[i] = corners[i] == 'Y'   ? kit::CornerState::Now
                     : corners[i] == 'N' ? kit::CornerState::Never
                                         : kit::CornerState::Default;
    return control;
}

std::vector<RegistrationProblem> ApplyRegistration(RegistrationStore& store,
                                                   const std::string& libraryPath, bool page) {
    std::vector<RegistrationProblem> problems;
    const bool classWritten = !libraryPath.empty() && store.WriteClass(libraryPath);
    if (!classWritten) problems.push_back(RegistrationProblem::ClassRefused);
    if (page) {
        // A page key naming a class that is not there would give the
        // control panel a handler it cannot load.
        if (!classWritten)
            problems.push_back(RegistrationProblem::PageNotAdded);
        else if (!store.WritePageKey())
            problems.push_back(RegistrationProblem::PageRefused);
    } else if (!store.RemovePageKey()) {
        problems.push_back(RegistrationProblem::PageNotRemoved);
    }
    return problems;
}

std::string ProblemText(const std::vector<RegistrationProblem>& problems, bool cornersRefused) {
    std::string text;
    const auto line = [&text](const std::string& sentence) {
        if (!text.empty()) text += "\r\n\r\n";
        text += sentence;
    };
    if (cornersRefused) line("The hot corners could not be saved (\"Mouse Corners\").");
    for (const RegistrationProblem problem : problems) {
        switch (problem) {
        case RegistrationProblem::ClassRefused:
            line(std::string("Edgewake could not register itself (HKEY_CLASSES_ROOT\\") +
                 kClassKey + "). Writing there may need an administrator's rights.");
            break;
        case RegistrationProblem::PageNotAdded:
            line(
                "The page in the Display Properties control panel was not added, since Edgewake "
                "is not registered.");
            break;
        case RegistrationProblem::PageRefused:
            line(std::string("The page in the Display Properties control panel could not be added "
                             "(HKEY_LOCAL_MACHINE\\") +
                 kPageKey + "). Writing there may need an administrator's rights.");
            break;
        case RegistrationProblem::PageNotRemoved:
            line(std::string("The page in the Display Properties control panel could not be "
                             "removed (HKEY_LOCAL_MACHINE\\") +
                 kPageKey + "). Removing it may need an administrator's rights.");
            break;
        }
    }
    return text;
}

}  // namespace hotcorners
