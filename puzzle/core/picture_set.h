// The pictures of the set in use (the built-in ones or the own folder's)
// and the making of the current board: decode the current picture, cut
// it, and restore its saved arrangement or shuffle and store a new one.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "puzzle/core/board.h"
#include "puzzle/core/progress_store.h"
#include "puzzle/core/services.h"

namespace puzzle {

// True for names ending in ".jpeg", ".jpg" or ".bmp", in any letter case.
// A name that is nothing but the ending (".jpg") counts too.
bool IsPictureFileName(std::string_view name);

// Picture `number` (from 1) of `folder`: the number-th picture file as
// the system lists it, without sorting; its path when asked.
bool FindPictureInFolder(PictureSource& pictures, const std::string& folder, int number,
                         std::string* path = nullptr);

class PictureSet {
public:
    // The progress store and the services must outlive the set.
    PictureSet(ProgressStore& progress, const BoardServices& services)
        : progress_(progress), services_(services) {}

    // Own picture `number` of the own-pictures folder, read again first.
    bool FindOwnPicture(int number, std::string* path = nullptr);
    bool BuiltInPictureExists(int number);
    // Whether no picture of the set in use follows picture `number`, in
    // the own-pictures folder as last read. Changes nothing.
    bool IsLastPicture(int number);

    // Makes the board of the current picture, complete: decoded, cut at
    // the stored difficulty (`hard` when none is stored), and restored or
    // shuffled and stored. When no picture can be decoded at all the board
    // is plain: black, solved, and nothing of it is stored. The caller
    // takes it in place of its board in one step.
    std::unique_ptr<PuzzleBoard> MakeCurrentBoard(int hard);

private:
    // Decodes a picture and cuts it into `next`; false when there was none
    // to decode or it could not be used.
    bool CutOwnPicture(const std::string& path, PuzzleBoard& next);
    bool CutBuiltInPicture(int number, PuzzleBoard& next);
    void CutPlainPicture(PuzzleBoard& next);

    ProgressStore& progress_;
    BoardServices services_;
};

}  // namespace puzzle
