// PuzzleBoard: settings and progress in the store.
#include <climits>

#include "puzzle/core/board.h"
#include "puzzle/core/number_text.h"
#include "puzzle/core/store_values.h"

namespace puzzle {

using namespace store_values;

namespace {

// Counts kept as 32-bit values in the store wrap as they would there.
std::int32_t WrappingAdd(std::int32_t a, std::uint32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + b);
}

int NextPictureNumber(int number) { return number < INT_MAX ? number + 1 : number; }

}  // namespace

void PuzzleBoard::OpenStore() {
    SaverEnvironment& environment = services_.environment;
    baseKeyName_ = environment.LoadText(kBaseKeyNameText, kBaseKeyNameCapacity)
                       .value_or(kFallbackBaseKeyName);
    const std::string defaultText = environment.LoadText(kDefaultHardText, kDefaultHardCapacity)
                                        .value_or(kFallbackDefaultHardText);
    defaultHard_ = UsableHard(ParseInteger(defaultText).value_or(kFallbackDefaultHard));
    hard_ = defaultHard_;
    timesAtEnd_ = 0;
    currentPic_ = 1;
    useOwnPics_ = false;

    ReadOwnDir();
    ReadUseOwnPics();
    progressKeyName_ = baseKeyName_;
    if (useOwnPics_) progressKeyName_ += kOwnPicturesSubkey;
    ReadTimesAtEnd(false, StoreKeyChoice::Progress);
    ReadDifficulty();
}

int PuzzleBoard::DefaultTopHard() const {
    return defaultHard_ <= 20 ? 20 : std::min(defaultHard_ + 10, kMaxHard);
}

std::unique_ptr<StoreKey> PuzzleBoard::OpenProgressKey(bool create) {
    return create ? services_.store.CreateOrOpen(progressKeyName_)
                  : services_.store.OpenExisting(progressKeyName_);
}

const std::string& PuzzleBoard::ReadOwnDir(std::optional<std::string_view> newFolder) {
    auto key = services_.store.CreateOrOpen(baseKeyName_);
    if (!key) {
        ownDir_ = services_.environment.WindowsDirectory();
        return ownDir_;
    }
    if (auto stored = ReadText(*key, kOwnDir, kOwnDirCapacity))
        ownDir_ = std::move(*stored);
    else
        ownDir_ = services_.environment.WindowsDirectory();
    if (newFolder) ownDir_ = *newFolder;
    WriteText(*key, kOwnDir, ownDir_);
    return ownDir_;
}

bool PuzzleBoard::ReadUseOwnPics(std::optional<int> newValue) {
    auto key = services_.store.CreateOrOpen(baseKeyName_);
    if (!key) {
        useOwnPics_ = false;
        return useOwnPics_;
    }
    // Only 1 means on, in the store as in a new value, so that every reader
    // agrees on what is in use.
    const int value = newValue ? *newValue : ReadInteger(*key, kUseOwnPics).value_or(0);
    useOwnPics_ = value == 1;
    WriteInteger(*key, kUseOwnPics, useOwnPics_ ? 1 : 0);
    key.reset();
    if (useOwnPics_ && !FindOwnPicture(1)) useOwnPics_ = false;
    return useOwnPics_;
}

int PuzzleBoard::ReadTimesAtEnd(bool count, StoreKeyChoice choice) {
    auto key = services_.store.CreateOrOpen(choice == StoreKeyChoice::Base ? baseKeyName_
                                                                           : progressKeyName_);
    if (!key) {
        timesAtEnd_ = count ? 1 : 0;
        return timesAtEnd_;
    }
    timesAtEnd_ = WrappingAdd(ReadInteger(*key, kTimesAtEnd).value_or(0), count ? 1 : 0);
    WriteInteger(*key, kTimesAtEnd, timesAtEnd_);
    return timesAtEnd_;
}

void PuzzleBoard::ReadDifficulty(int newValue, bool alsoSetNext) {
    auto key = OpenProgressKey(true);
    if (!key) {
        hard_ = defaultHard_;
        topHard_ = DefaultTopHard();
        return;
    }
    hard_ = UsableHard(ReadInteger(*key, kHard).value_or(defaultHard_));
    topHard_ = ReadInteger(*key, kTopHard).value_or(DefaultTopHard());
    if (newValue != 0) hard_ = UsableHard(newValue);
    topHard_ = std::clamp(topHard_, hard_, kMaxHard);
    WriteInteger(*key, kHard, hard_);
    WriteInteger(*key, kTopHard, topHard_);
    if (alsoSetNext) WriteInteger(*key, kNextHard, hard_);
}

void PuzzleBoard::AddPlayTotals(std::uint32_t milliseconds, int moves) {
    gameTime_ = 0;
    gameClicks_ = 0;
    auto key = OpenProgressKey(true);
    if (!key) return;
    gameTime_ = static_cast<std::uint32_t>(ReadInteger(*key, kGameTime).value_or(0)) + milliseconds;
    gameClicks_ = WrappingAdd(ReadInteger(*key, kGameClicks).value_or(0),
                              static_cast<std::uint32_t>(moves));
    WriteInteger(*key, kGameTime, static_cast<std::int32_t>(gameTime_));
    WriteInteger(*key, kGameClicks, gameClicks_);
}

void PuzzleBoard::SaveArrangement() {
    // A plain board stands in for a picture that could not be shown; its
    // arrangement must not replace the one saved for that picture.
    if (plain_) return;
    if (auto key = OpenProgressKey(true)) WriteIntegers(*key, kArrangement, arrangement_);
}

void PuzzleBoard::SaveNextHard(int value) {
    if (auto key = OpenProgressKey(true)) WriteInteger(*key, kNextHard, value);
}

void PuzzleBoard::AdvancePicture() {
    currentPic_ = NextPictureNumber(currentPic_);
    auto key = OpenProgressKey(true);
    if (!key) return;
    WriteInteger(*key, kCurrentPic, currentPic_);
    // So that the arrangement saved for this picture is not taken for the
    // next one.
    WriteInteger(*key, kColumns, 0);
    WriteInteger(*key, kRows, 0);
    key.reset();
    LoadCurrentPicture();
}

void PuzzleBoard::ResetCurrentPic() {
    currentPic_ = 1;
    if (auto key = OpenProgressKey(true)) WriteInteger(*key, kCurrentPic, currentPic_);
}

bool PuzzleBoard::IsLastPicture() {
    currentPic_ = 1;
    if (auto key = OpenProgressKey(false))
        currentPic_ = ReadInteger(*key, kCurrentPic).value_or(1);
    const int next = NextPictureNumber(currentPic_);
    if (next == currentPic_) return true;
    return useOwnPics_ ? !FindOwnPicture(next) : !BuiltInPictureExists(next);
}

}  // namespace puzzle
