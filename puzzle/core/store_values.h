// Names and limits of the values the puzzle keeps in its store; shared by
// the progress store and the picture set.
#pragma once

#include <algorithm>
#include <cstddef>

#include "puzzle/core/board.h"

namespace puzzle::store_values {

// Texts of the saver's string table.
inline constexpr int kBaseKeyNameText = 2;
inline constexpr std::size_t kBaseKeyNameCapacity = 259;
inline constexpr char kFallbackBaseKeyName[] = "SOFTWARE\\Zelt\\Redira";
// The default difficulty is string 3 of the string table ("12" in the
// saver's resources); without that string the text "10" is parsed, and a
// text that does not parse gives 10. Stored boards were cut with these.
inline constexpr int kDefaultHardText = 3;
inline constexpr std::size_t kDefaultHardCapacity = 9;
inline constexpr char kFallbackDefaultHardText[] = "10";
inline constexpr int kFallbackDefaultHard = 10;
// The default TopHard: 20, or the default difficulty and 10 more when that
// is above 20.
inline constexpr int kLowestDefaultTopHard = 20;
inline constexpr int kTopHardHeadroom = 10;

// The progress of own pictures is kept apart, in this subkey of the base key.
inline constexpr char kOwnPicturesSubkey[] = "\\OwnPics";
inline constexpr std::size_t kOwnDirCapacity = 260;

inline constexpr char kOwnDir[] = "OwnDir";
inline constexpr char kUseOwnPics[] = "UseOwnPics";
inline constexpr char kCurrentPic[] = "CurrentPic";
inline constexpr char kHard[] = "hard";
inline constexpr char kTopHard[] = "TopHard";
inline constexpr char kNextHard[] = "NextHard";
inline constexpr char kColumns[] = "numtilesx";
inline constexpr char kRows[] = "numtilesy";
inline constexpr char kArrangement[] = "index";
inline constexpr char kGameTime[] = "GameTime";
inline constexpr char kGameClicks[] = "GameClicks";
inline constexpr char kTimesAtEnd[] = "TimesAtEnd";

// A difficulty from the store or the string table, kept where the board
// can use it; cutting a picture narrows it further to the picture's size.
inline int UsableHard(int hard) { return std::clamp(hard, 1, kMaxHard); }

}  // namespace puzzle::store_values
