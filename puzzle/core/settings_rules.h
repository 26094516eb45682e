// The rules behind the puzzle's two dialogs: the difficulty of the next
// pass chosen at the end of a set, and what the settings dialog stores.
#pragma once

#include <string>

#include "puzzle/core/board.h"
#include "puzzle/core/services.h"

namespace puzzle {

// The end-of-set dialog's three choices for the next pass.
enum class NextPass { AsEasyAsAtFirst, JustAsHard, ABitMoreDifficult };

// The default difficulty, hard itself, or hard + 2.
int NextPassDifficulty(NextPass choice, int hard, int defaultHard);

// The settings dialog's difficulty slider reaches from 3 up to the larger
// of 20 and the highest difficulty reached.
struct DifficultyRange {
    int lowest = 3;
    int highest = 20;
};
DifficultyRange SliderRange(int topHard);

struct SettingsChoice {
    bool ownPictures = false;
    std::string folder;          // the own-pictures folder shown
    bool folderBrowsed = false;  // chosen with the folder browser this time
    int difficulty = 0;          // the slider's position
};

// Stores what the player chose. "UseOwnPics" always; with own pictures
// also "OwnDir", and when that folder holds a picture the difficulty
// (hard, TopHard raised to it, NextHard) goes to the own pictures'
// progress, and a folder chosen with the browser starts at its first
// picture. The built-in set's progress is left as it was.
void ApplySettings(const BoardServices& services, const SettingsChoice& choice);

}  // namespace puzzle
