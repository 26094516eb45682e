// The texts the puzzle shows about the player's progress: the play time in
// words, the "How you're doing:" box, the end-of-set dialog, and the label
// of the settings dialog's difficulty slider.
#pragma once

#include <cstdint>
#include <string>

namespace puzzle {

// "1 days, 0 hours, 0 minutes and 0 seconds". Days, hours and minutes are
// left out only when their totals are 0; numbers are not made singular.
std::string DurationText(std::uint32_t milliseconds);

// "Currently on image 3. 42 clicks in 2 minutes and 5 seconds".
std::string ProgressText(int currentPicture, int clicks, std::uint32_t playTime);

// The end-of-set dialog's lines.
std::string CompletedText(int pictures);  // "Well done. You've completed all 10 images"
std::string ClicksTakenText(int clicks);  // "It took you 42 clicks:"

// "(12x12)".
std::string DifficultyLabel(int difficulty);

}  // namespace puzzle
