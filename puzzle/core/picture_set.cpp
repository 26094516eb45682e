// PuzzleBoard: the pictures of the set, and making the current board.
#include <algorithm>
#include <cctype>

#include "puzzle/core/board.h"
#include "puzzle/core/picture_names.h"
#include "puzzle/core/store_values.h"

namespace puzzle {

using namespace store_values;

namespace {

constexpr int kLargestBuiltInNumber = 0xFFFF;  // built-ins are 16-bit resource numbers

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

bool IsPictureFileName(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) {
        return static_cast<char>(std::tolower(c));
    });
    return EndsWith(lower, ".jpeg") || EndsWith(lower, ".jpg") || EndsWith(lower, ".bmp");
}

bool PuzzleBoard::FindOwnPicture(int number, std::string* path) {
    ReadOwnDir();
    if (number <= 0) return false;
    int count = 0;
    bool found = false;
    services_.pictures.ListFolder(ownDir_, [&](const FolderEntry& entry) {
        if (entry.isFolder || !IsPictureFileName(entry.name)) return true;
        if (++count < number) return true;
        // The listed name, not a lower-cased one, so that the file is also
        // found where the file system tells upper from lower case.
        if (path) *path = ownDir_ + "\\" + entry.name;
        found = true;
        return false;
    });
    return found;
}

bool PuzzleBoard::BuiltInPictureExists(int number) {
    return number >= 1 && number <= kLargestBuiltInNumber &&
           services_.pictures.BuiltInExists(number);
}

bool PuzzleBoard::LoadCurrentPicture() {
    // The new board is made apart, difficulty, cut and arrangement, and
    // replaces this one's tiles in one step at the end: decoding may show
    // the image library's boxes, and the window goes on drawing this board
    // while they are up.
    PuzzleBoard next;
    next.SetHard(hard_);
    bool restart = false;  // the set starts again from its first picture
    currentPic_ = 1;
    auto key = OpenProgressKey(false);
    if (key) {
        currentPic_ = ReadInteger(*key, kCurrentPic).value_or(1);
        if (auto stored = ReadInteger(*key, kHard)) next.SetHard(UsableHard(*stored));
    }
    const auto startAgain = [&] {
        restart = true;
        currentPic_ = 1;
    };
    const auto applyNextHard = [&] {
        if (!restart || !key) return;
        if (auto stored = ReadInteger(*key, kNextHard)) next.SetHard(UsableHard(*stored));
    };

    bool cut = false;
    if (useOwnPics_) {
        std::string path;
        if (!FindOwnPicture(currentPic_, &path)) {
            startAgain();
            if (!FindOwnPicture(1, &path)) path.clear();
        }
        applyNextHard();
        if (!path.empty()) cut = CutOwnPicture(path, next);
    }
    if (!cut) {
        // No own picture, or it could not be decoded: the built-in picture
        // of the same number.
        if (!BuiltInPictureExists(currentPic_)) startAgain();
        applyNextHard();
        cut = CutBuiltInPicture(currentPic_, next);
    }
    if (!cut) {
        CutPlainPicture(next);
        TakeTiles(next);
        return false;
    }

    if (restart) {
        gameTime_ = 0;
        gameClicks_ = 0;
    }
    // A saved arrangement belongs to the picture it was saved for; after a
    // restart that was another picture.
    const bool restored = key && !restart && RestoreSavedArrangement(*key, next);
    key.reset();
    if (!restored) next.Shuffle(services_.clock.Now());
    TakeTiles(next);
    if (!restored) StoreNewArrangement(restart);
    return true;
}

void PuzzleBoard::TakeTiles(PuzzleBoard& next) {
    hard_ = next.hard_;
    columns_ = next.columns_;
    rows_ = next.rows_;
    tileSize_ = next.tileSize_;
    correctCount_ = next.correctCount_;
    arrangement_.swap(next.arrangement_);
    boardPicture_.swap(next.boardPicture_);
    plain_ = next.plain_;
}

bool PuzzleBoard::CutOwnPicture(const std::string& path, PuzzleBoard& next) {
    auto picture = services_.pictures.DecodeFile(path);
    const Size screen = services_.environment.ScreenSize();
    return picture && next.CutPicture(std::move(picture), screen.width, screen.height);
}

bool PuzzleBoard::CutBuiltInPicture(int number, PuzzleBoard& next) {
    if (!BuiltInPictureExists(number)) return false;
    auto picture = services_.pictures.DecodeBuiltIn(number);
    const Size screen = services_.environment.ScreenSize();
    return picture && next.CutPicture(std::move(picture), screen.width, screen.height);
}

bool PuzzleBoard::CutPlainPicture(PuzzleBoard& next) {
    const Size screen = services_.environment.ScreenSize();
    auto picture = services_.pictures.PlainPicture(std::clamp(screen.width, 1, 1000),
                                                   std::clamp(screen.height, 1, 1000));
    const bool cut = picture && next.CutPicture(std::move(picture), screen.width, screen.height);
    // Without even a plain picture the board has none; it stays solved, so
    // that the next click moves on.
    if (!cut) next.ResetArrangement();
    next.plain_ = true;
    return cut;
}

bool PuzzleBoard::RestoreSavedArrangement(StoreKey& key, PuzzleBoard& next) {
    if (ReadInteger(key, kColumns).value_or(-1) != next.columns_) return false;
    if (ReadInteger(key, kRows).value_or(-1) != next.rows_) return false;
    const auto saved =
        ReadIntegers(key, kArrangement, static_cast<std::size_t>(next.hard_) * next.hard_);
    // RestoreArrangement refuses an arrangement that shows a tile twice or
    // loses one.
    return saved && next.RestoreArrangement(*saved);
}

void PuzzleBoard::StoreNewArrangement(bool restart) {
    auto key = OpenProgressKey(true);
    if (!key) return;
    WriteInteger(*key, kCurrentPic, currentPic_);
    WriteInteger(*key, kHard, hard_);
    WriteInteger(*key, kColumns, columns_);
    WriteInteger(*key, kRows, rows_);
    if (restart) {
        WriteInteger(*key, kGameTime, 0);
        WriteInteger(*key, kGameClicks, 0);
    }
    WriteIntegers(*key, kArrangement, arrangement_);
}

}  // namespace puzzle
