#include "puzzle/core/picture_set.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace puzzle {

namespace {

constexpr int kLargestBuiltInNumber = 0xFFFF;  // built-ins are 16-bit resource numbers
constexpr int kLargestPlainSide = 1000;        // a plain picture is cut like a decoded one

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

bool IsPictureFileName(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return EndsWith(lower, ".jpeg") || EndsWith(lower, ".jpg") || EndsWith(lower, ".bmp");
}

bool FindPictureInFolder(PictureSource& pictures, const std::string& folder, int number,
                         std::string* path) {
    if (number <= 0) return false;
    int count = 0;
    bool found = false;
    pictures.ListFolder(folder, [&](const FolderEntry& entry) {
        if (entry.isFolder || !IsPictureFileName(entry.name)) return true;
        if (++count < number) return true;
        // The listed name, not a lower-cased one, so that the file is also
        // found where the file system tells upper from lower case.
        if (path) *path = folder + "\\" + entry.name;
        found = true;
        return false;
    });
    return found;
}

bool PictureSet::FindOwnPicture(int number, std::string* path) {
    return FindPictureInFolder(services_.pictures, progress_.RefreshOwnDir(), number, path);
}

bool PictureSet::BuiltInPictureExists(int number) {
    return number >= 1 && number <= kLargestBuiltInNumber &&
           services_.pictures.BuiltInExists(number);
}

bool PictureSet::IsLastPicture(int number) {
    if (number == INT_MAX) return true;
    return progress_.UsesOwnPictures()
               ? !FindPictureInFolder(services_.pictures, progress_.OwnDir(), number + 1)
               : !BuiltInPictureExists(number + 1);
}

std::unique_ptr<PuzzleBoard> PictureSet::MakeCurrentBoard(int hard) {
    // Made apart, difficulty, cut and arrangement: decoding may show the
    // image library's boxes, and the window goes on drawing the board it
    // has while they are up.
    const StoredBoardStart stored = progress_.ReadBoardStart();
    auto next = std::make_unique<PuzzleBoard>(stored.hard.value_or(hard));
    bool restart = false;  // the set starts again from its first picture
    int number = stored.currentPic;
    const auto startAgain = [&] {
        restart = true;
        number = 1;
    };
    const auto applyNextHard = [&] {
        if (restart && stored.nextHard) next->SetHard(*stored.nextHard);
    };

    bool cut = false;
    if (progress_.UsesOwnPictures()) {
        std::string path;
        if (!FindOwnPicture(number, &path)) {
            startAgain();
            if (!FindOwnPicture(1, &path)) path.clear();
        }
        applyNextHard();
        if (!path.empty()) cut = CutOwnPicture(path, *next);
    }
    if (!cut) {
        // No own picture, or it could not be decoded: the built-in picture
        // of the same number.
        if (!BuiltInPictureExists(number)) startAgain();
        applyNextHard();
        cut = CutBuiltInPicture(number, *next);
    }
    progress_.SetCurrentPic(number);
    if (!cut) {
        // The pass starts again all the same: its first picture, its
        // difficulty and its totals are stored, though its board is not.
        if (restart) progress_.StoreRestartWithoutBoard(next->Hard());
        CutPlainPicture(*next);
        return next;
    }

    if (restart) progress_.ClearPlayTotals();
    // A saved arrangement belongs to the picture it was saved for; after a
    // restart that was another picture.
    const bool restored = stored.keyOpen && !restart && progress_.RestoreArrangement(*next);
    if (!restored) {
        next->Shuffle(services_.clock.Now());
        progress_.StoreNewBoard(*next, restart);
    }
    return next;
}

bool PictureSet::CutOwnPicture(const std::string& path, PuzzleBoard& next) {
    auto picture = services_.pictures.DecodeFile(path);
    const Size screen = services_.environment.ScreenSize();
    // A photo far larger than the screen shows whole.
    return picture && next.CutPicture(std::move(picture), screen.width, screen.height,
                                      LargePicture::ScaledDown);
}

bool PictureSet::CutBuiltInPicture(int number, PuzzleBoard& next) {
    if (!BuiltInPictureExists(number)) return false;
    auto picture = services_.pictures.DecodeBuiltIn(number);
    const Size screen = services_.environment.ScreenSize();
    return picture && next.CutPicture(std::move(picture), screen.width, screen.height);
}

void PictureSet::CutPlainPicture(PuzzleBoard& next) {
    const Size screen = services_.environment.ScreenSize();
    auto picture = services_.pictures.PlainPicture(std::clamp(screen.width, 1, kLargestPlainSide),
                                                   std::clamp(screen.height, 1, kLargestPlainSide));
    // Without even a plain picture the board has none; it stays solved, so
    // that the next click moves on.
    if (picture) next.CutPicture(std::move(picture), screen.width, screen.height);
    next.MarkPlain();
}

}  // namespace puzzle
