#include "puzzle/core/progress_store.h"

#include <algorithm>
#include <climits>
#include <new>

#include "common/core/number_text.h"
#include "puzzle/core/picture_set.h"
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

ProgressStore::ProgressStore(const BoardServices& services) : services_(services) {
    SaverEnvironment& environment = services_.environment;
    baseKeyName_ =
        environment.LoadText(kBaseKeyNameText, kBaseKeyNameCapacity).value_or(kFallbackBaseKeyName);
    const std::string defaultText = environment.LoadText(kDefaultHardText, kDefaultHardCapacity)
                                        .value_or(kFallbackDefaultHardText);
    const auto defaultHard = common::ScanInteger(defaultText, common::Overflow::Wrap);
    defaultHard_ = UsableHard(defaultHard ? static_cast<std::int32_t>(defaultHard->value)
                                          : kFallbackDefaultHard);
    hard_ = defaultHard_;
    timesAtEnd_ = 0;
    currentPic_ = 1;
    useOwnPics_ = false;

    RefreshOwnDir();
    RefreshUseOwnPics();
    progressKeyName_ = baseKeyName_;
    if (useOwnPics_) progressKeyName_ += kOwnPicturesSubkey;
    RefreshTimesAtEnd(StoreKeyChoice::Progress);
    RefreshDifficulty();
}

int ProgressStore::DefaultTopHard() const {
    return defaultHard_ <= kLowestDefaultTopHard
               ? kLowestDefaultTopHard
               : std::min(defaultHard_ + kTopHardHeadroom, kMaxHard);
}

std::unique_ptr<StoreKey> ProgressStore::OpenProgressKey(bool create) {
    return create ? services_.store.CreateOrOpen(progressKeyName_)
                  : services_.store.OpenExisting(progressKeyName_);
}

const std::string& ProgressStore::RefreshOwnDir() {
    StoreOwnDir(std::nullopt);
    return ownDir_;
}

void ProgressStore::SetOwnDir(std::string_view folder) { StoreOwnDir(folder); }

void ProgressStore::StoreOwnDir(std::optional<std::string_view> newFolder) {
    auto key = services_.store.CreateOrOpen(baseKeyName_);
    if (!key) {
        ownDir_ = services_.environment.WindowsDirectory();
        return;
    }
    if (auto stored = ReadText(*key, kOwnDir, kOwnDirCapacity))
        ownDir_ = std::move(*stored);
    else
        ownDir_ = services_.environment.WindowsDirectory();
    if (newFolder) ownDir_ = *newFolder;
    WriteText(*key, kOwnDir, ownDir_);
}

bool ProgressStore::RefreshUseOwnPics() { return StoreUseOwnPics(std::nullopt); }

bool ProgressStore::SetUseOwnPics(int value) { return StoreUseOwnPics(value); }

bool ProgressStore::StoreUseOwnPics(std::optional<int> newValue) {
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
    if (useOwnPics_) {
        RefreshOwnDir();
        if (!FindPictureInFolder(services_.pictures, ownDir_, 1)) useOwnPics_ = false;
    }
    return useOwnPics_;
}

int ProgressStore::RefreshTimesAtEnd(StoreKeyChoice key) { return StoreTimesAtEnd(false, key); }

int ProgressStore::CountCompletedSet() { return StoreTimesAtEnd(true, StoreKeyChoice::Progress); }

int ProgressStore::StoreTimesAtEnd(bool count, StoreKeyChoice choice) {
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

void ProgressStore::RefreshDifficulty() { StoreDifficulty(0, false); }

void ProgressStore::ChooseDifficulty(int hard) { StoreDifficulty(hard, true); }

void ProgressStore::StoreDifficulty(int newValue, bool alsoSetNext) {
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

void ProgressStore::AddPlayTotals(std::uint32_t milliseconds, int moves) {
    gameTime_ = 0;
    gameClicks_ = 0;
    auto key = OpenProgressKey(true);
    if (!key) return;
    gameTime_ = static_cast<std::uint32_t>(ReadInteger(*key, kGameTime).value_or(0)) + milliseconds;
    gameClicks_ =
        WrappingAdd(ReadInteger(*key, kGameClicks).value_or(0), static_cast<std::uint32_t>(moves));
    WriteInteger(*key, kGameTime, static_cast<std::int32_t>(gameTime_));
    WriteInteger(*key, kGameClicks, gameClicks_);
}

void ProgressStore::SaveArrangement(const PuzzleBoard& board) {
    // A plain board stands in for a picture that could not be shown; its
    // arrangement must not replace the one saved for that picture.
    if (board.IsPlainBoard()) return;
    auto key = OpenProgressKey(true);
    if (!key) return;
    WriteIntegers(*key, kArrangement, board.Arrangement());
    if (lastStored_)
        lastStored_->arrangement.assign(board.Arrangement().begin(), board.Arrangement().end());
}

bool ProgressStore::SaveArrangementIfUnchanged(const PuzzleBoard& board) {
    if (board.IsPlainBoard() || !lastStored_) return false;
    try {
        auto key = OpenProgressKey(false);
        if (!key || ReadStoredBoard(*key, board.Arrangement().size()) != lastStored_) return false;
        WriteIntegers(*key, kArrangement, board.Arrangement());
    } catch (const std::bad_alloc&) {
        // Without memory to compare, the store is left alone. (This runs
        // as the window goes, where nothing may be thrown.)
        return false;
    }
    lastStored_->arrangement.assign(board.Arrangement().begin(), board.Arrangement().end());
    return true;
}

std::optional<ProgressStore::StoredBoard> ProgressStore::ReadStoredBoard(StoreKey& key,
                                                                         std::size_t entries) {
    auto arrangement = ReadIntegers(key, kArrangement, entries);
    if (!arrangement) return std::nullopt;
    return StoredBoard{ReadInteger(key, kCurrentPic).value_or(1),
                       ReadInteger(key, kColumns).value_or(-1),
                       ReadInteger(key, kRows).value_or(-1), std::move(*arrangement)};
}

void ProgressStore::SaveNextHard(int value) {
    if (auto key = OpenProgressKey(true)) WriteInteger(*key, kNextHard, value);
}

bool ProgressStore::AdvancePicture() {
    currentPic_ = NextPictureNumber(currentPic_);
    auto key = OpenProgressKey(true);
    if (!key) return false;
    WriteInteger(*key, kCurrentPic, currentPic_);
    // So that the arrangement saved for this picture is not taken for the
    // next one.
    WriteInteger(*key, kColumns, 0);
    WriteInteger(*key, kRows, 0);
    return true;
}

void ProgressStore::ResetCurrentPic() {
    currentPic_ = 1;
    if (auto key = OpenProgressKey(true)) WriteInteger(*key, kCurrentPic, currentPic_);
}

int ProgressStore::ReloadCurrentPic() {
    currentPic_ = 1;
    if (auto key = OpenProgressKey(false)) currentPic_ = ReadInteger(*key, kCurrentPic).value_or(1);
    return currentPic_;
}

StoredBoardStart ProgressStore::ReadBoardStart() {
    StoredBoardStart start;
    auto key = OpenProgressKey(false);
    if (key) {
        start.keyOpen = true;
        start.currentPic = ReadInteger(*key, kCurrentPic).value_or(1);
        if (auto stored = ReadInteger(*key, kHard)) start.hard = UsableHard(*stored);
        if (auto stored = ReadInteger(*key, kNextHard)) start.nextHard = UsableHard(*stored);
    }
    currentPic_ = start.currentPic;
    return start;
}

bool ProgressStore::RestoreArrangement(PuzzleBoard& board) {
    auto key = OpenProgressKey(false);
    if (!key) return false;
    if (ReadInteger(*key, kColumns).value_or(-1) != board.Columns()) return false;
    if (ReadInteger(*key, kRows).value_or(-1) != board.Rows()) return false;
    auto saved =
        ReadIntegers(*key, kArrangement, static_cast<std::size_t>(board.Hard()) * board.Hard());
    // The board refuses an arrangement that shows a tile twice or loses one.
    if (!saved || !board.RestoreArrangement(*saved)) return false;
    lastStored_ = StoredBoard{currentPic_, board.Columns(), board.Rows(), std::move(*saved)};
    return true;
}

void ProgressStore::ClearPlayTotals() {
    gameTime_ = 0;
    gameClicks_ = 0;
}

void ProgressStore::StoreNewBoard(const PuzzleBoard& board, bool restart) {
    hard_ = board.Hard();
    lastStored_.reset();
    auto key = OpenProgressKey(true);
    if (!key) return;
    WriteInteger(*key, kCurrentPic, currentPic_);
    WriteInteger(*key, kHard, board.Hard());
    WriteInteger(*key, kColumns, board.Columns());
    WriteInteger(*key, kRows, board.Rows());
    if (restart) {
        WriteInteger(*key, kGameTime, 0);
        WriteInteger(*key, kGameClicks, 0);
    }
    WriteIntegers(*key, kArrangement, board.Arrangement());
    lastStored_ = StoredBoard{currentPic_,
                              board.Columns(),
                              board.Rows(),
                              {board.Arrangement().begin(), board.Arrangement().end()}};
}

void ProgressStore::StoreRestartWithoutBoard(int hard) {
    hard_ = hard;
    ClearPlayTotals();
    auto key = OpenProgressKey(true);
    if (!key) return;
    WriteInteger(*key, kCurrentPic, currentPic_);
    WriteInteger(*key, kHard, hard);
    // The arrangement saved for the picture the pass ended on belongs to
    // that picture.
    WriteInteger(*key, kColumns, 0);
    WriteInteger(*key, kRows, 0);
    WriteInteger(*key, kGameTime, 0);
    WriteInteger(*key, kGameClicks, 0);
}

}  // namespace puzzle
