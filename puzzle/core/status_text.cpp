#include "puzzle/core/status_text.h"

namespace puzzle {

namespace {

std::string Number(std::int64_t value) { return std::to_string(value); }

}  // namespace

std::string DurationText(std::uint32_t milliseconds) {
    const std::uint32_t days = milliseconds / 86400000u;
    const std::uint32_t hours = milliseconds / 3600000u;
    const std::uint32_t minutes = milliseconds / 60000u;
    const std::uint32_t seconds = milliseconds / 1000u;
    std::string text;
    if (days != 0) text += Number(days) + " days, ";
    if (hours != 0) text += Number(hours % 24) + " hours, ";
    if (minutes != 0) text += Number(minutes % 60) + " minutes and ";
    text += Number(seconds % 60) + " seconds";
    return text;
}

std::string ProgressText(int currentPicture, int clicks, std::uint32_t playTime) {
    return "Currently on image " + Number(currentPicture) + ". " + Number(clicks) +
           " clicks in " + DurationText(playTime);
}

std::string CompletedText(int pictures) {
    return "Well done. You've completed all " + Number(pictures) + " images";
}

std::string ClicksTakenText(int clicks) { return "It took you " + Number(clicks) + " clicks:"; }

std::string DifficultyLabel(int difficulty) {
    return "(" + Number(difficulty) + "x" + Number(difficulty) + ")";
}

}  // namespace puzzle
