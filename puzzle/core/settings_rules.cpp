#include "puzzle/core/settings_rules.h"

#include <algorithm>

#include "puzzle/core/progress_store.h"

namespace puzzle {

int NextPassDifficulty(NextPass choice, int hard, int defaultHard) {
    switch (choice) {
    case NextPass::AsEasyAsAtFirst: return defaultHard;
    case NextPass::JustAsHard: return hard;
    case NextPass::ABitMoreDifficult: break;
    }
    return hard + 2;  // the board keeps hard within kMaxHard
}

DifficultyRange SliderRange(int topHard) { return {3, std::clamp(topHard, 20, kMaxHard)}; }

void ApplySettings(const BoardServices& services, const SettingsChoice& choice) {
    {
        ProgressStore settings(services);
        settings.SetUseOwnPics(choice.ownPictures ? 1 : 0);
        if (!choice.ownPictures) return;
        settings.SetOwnDir(choice.folder);
    }
    // A store opened now takes the progress of the pictures just chosen. A
    // folder that holds no picture leaves the built-in set in play, and its
    // progress as it was: another difficulty would change its grid and
    // lose the saved arrangement.
    ProgressStore progress(services);
    if (!progress.UsesOwnPictures()) return;
    if (choice.folderBrowsed) progress.ResetCurrentPic();
    progress.ChooseDifficulty(choice.difficulty);
}

}  // namespace puzzle
