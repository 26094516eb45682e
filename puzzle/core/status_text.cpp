#include "puzzle/core/status_text.h"

#include <initializer_list>
#include <string_view>

namespace puzzle {

namespace {

// Texts are put together piece by piece (GCC 12 warns wrongly about
// chained std::string additions at -O3).
std::string Join(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (std::string_view piece : pieces) text.append(piece);
    return text;
}

std::string Number(std::int64_t value) { return std::to_string(value); }

}  // namespace

std::string DurationText(std::uint32_t milliseconds) {
    const std::uint32_t days = milliseconds / 86400000u;
    const std::uint32_t hours = milliseconds / 3600000u;
    const std::uint32_t minutes = milliseconds / 60000u;
    const std::uint32_t seconds = milliseconds / 1000u;
    std::string text;
    if (days != 0) text.append(Join({Number(days), " days, "}));
    if (hours != 0) text.append(Join({Number(hours % 24), " hours, "}));
    if (minutes != 0) text.append(Join({Number(minutes % 60), " minutes and "}));
    text.append(Join({Number(seconds % 60), " seconds"}));
    return text;
}

std::string ProgressText(int currentPicture, int clicks, std::uint32_t playTime) {
    return Join({"Currently on image ", Number(currentPicture), ". ", Number(clicks), " clicks in ",
                 DurationText(playTime)});
}

std::string CompletedText(int pictures) {
    return Join({"Well done. You've completed all ", Number(pictures), " images"});
}

std::string ClicksTakenText(int clicks) {
    return Join({"It took you ", Number(clicks), " clicks:"});
}

std::string DifficultyLabel(int difficulty) {
    return Join({"(", Number(difficulty), "x", Number(difficulty), ")"});
}

}  // namespace puzzle
