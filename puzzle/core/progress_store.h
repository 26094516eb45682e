// The puzzle's settings and progress in the store: the own-pictures folder
// and switch, the current picture, the difficulty and its bounds, the play
// totals and the completed sets. The values live in memory here; each
// operation opens its key, works and closes it again. A key that cannot be
// opened leaves the values in memory as each operation says, and nothing
// is reported.
//
// Settings that are read are written back, so that missing ones are
// created with their defaults: the Refresh… operations read a value and
// store it again; the Set… operations store a new one.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "puzzle/core/board.h"
#include "puzzle/core/services.h"

namespace puzzle {

// The key that RefreshTimesAtEnd works in.
enum class StoreKeyChoice { Progress, Base };

// What the store says about the board to make, read when it is made.
struct StoredBoardStart {
    bool keyOpen = false;  // the progress key exists
    int currentPic = 1;
    std::optional<int> hard;      // usable, when stored
    std::optional<int> nextHard;  // usable, when stored
};

class ProgressStore {
public:
    // Reads the settings at once: the key names, the own-pictures folder
    // and switch (which choose the progress key), TimesAtEnd and the
    // difficulty. The services must outlive the store.
    explicit ProgressStore(const BoardServices& services);

    // The own-pictures folder: read (the Windows directory when missing)
    // and stored again; or set.
    const std::string& RefreshOwnDir();
    void SetOwnDir(std::string_view folder);
    // "UseOwnPics": read, or set (1 on, anything else off), and stored.
    // Own pictures count as in use only while the folder holds one.
    bool RefreshUseOwnPics();
    bool SetUseOwnPics(int value);
    // "TimesAtEnd" of the chosen key, read and stored again.
    int RefreshTimesAtEnd(StoreKeyChoice key);
    // One more completed set, counted in the progress key.
    int CountCompletedSet();
    // hard and TopHard read, kept usable (TopHard at least hard) and
    // stored again.
    void RefreshDifficulty();
    // The player's choice: hard (unless 0), TopHard raised to it, and
    // NextHard = hard, so that the next pass keeps it too.
    void ChooseDifficulty(int hard);
    // Adds play time and moves to "GameTime" and "GameClicks".
    void AddPlayTotals(std::uint32_t milliseconds, int moves);
    // Writes the board's arrangement as "index", unless the board is plain.
    void SaveArrangement(const PuzzleBoard& board);
    // The same, but only while the store still holds the board this store
    // last restored or stored: the same picture, the same grid and the
    // arrangement it last read or wrote. Another window on the same store
    // (the full-screen saver started beside a preview) may have stored
    // newer progress since, which must not be lost. Whether it wrote.
    bool SaveArrangementIfUnchanged(const PuzzleBoard& board);
    void SaveNextHard(int value);
    // Moves on to the next picture in the store (CurrentPic + 1, and no
    // saved grid for it). False, after counting on in memory only, when
    // the progress key cannot be opened: no new board is to be made then.
    bool AdvancePicture();
    void ResetCurrentPic();
    // CurrentPic as stored now (another window may have moved on); 1 when
    // missing.
    int ReloadCurrentPic();

    // ---- For making the current board (picture_set.h).
    // Opens the progress key (without creating it) and reads CurrentPic,
    // hard and NextHard; CurrentPic in memory follows.
    StoredBoardStart ReadBoardStart();
    void SetCurrentPic(int number) { currentPic_ = number; }
    // Takes the saved arrangement into `board` when the stored grid is the
    // board's and the arrangement is a whole one.
    bool RestoreArrangement(PuzzleBoard& board);
    // Stores a new board: CurrentPic, hard, grid and arrangement; with
    // `restart` the play totals start again from 0.
    void StoreNewBoard(const PuzzleBoard& board, bool restart);
    // A pass that starts again on a picture that cannot be shown: CurrentPic,
    // the pass's difficulty and play totals of 0 are stored all the same,
    // and no saved grid is left for the picture.
    void StoreRestartWithoutBoard(int hard);
    // The play totals of a pass that starts again, in memory.
    void ClearPlayTotals();

    // ---- The values in memory.
    const std::string& BaseKeyName() const { return baseKeyName_; }
    const std::string& ProgressKeyName() const { return progressKeyName_; }
    const std::string& OwnDir() const { return ownDir_; }
    bool UsesOwnPictures() const { return useOwnPics_; }
    int CurrentPic() const { return currentPic_; }
    // The stored difficulty as last read or stored.
    int Hard() const { return hard_; }
    int TopHard() const { return topHard_; }
    int DefaultHard() const { return defaultHard_; }
    int DefaultTopHard() const;
    std::uint32_t GameTime() const { return gameTime_; }
    int GameClicks() const { return gameClicks_; }
    int TimesAtEnd() const { return timesAtEnd_; }

private:
    // What the progress key holds of a board.
    struct StoredBoard {
        int currentPic = 1;
        int columns = 0;
        int rows = 0;
        std::vector<std::int32_t> arrangement;

        friend bool operator==(const StoredBoard&, const StoredBoard&) = default;
    };
    std::optional<StoredBoard> ReadStoredBoard(StoreKey& key, std::size_t entries);

    std::unique_ptr<StoreKey> OpenProgressKey(bool create);
    void StoreOwnDir(std::optional<std::string_view> newFolder);
    bool StoreUseOwnPics(std::optional<int> newValue);
    void StoreDifficulty(int newValue, bool alsoSetNext);
    int StoreTimesAtEnd(bool count, StoreKeyChoice choice);

    BoardServices services_;

    std::string baseKeyName_;
    std::string progressKeyName_;
    std::string ownDir_;
    bool useOwnPics_ = false;
    int currentPic_ = 1;
    int hard_ = 1;
    int topHard_ = 0;
    int defaultHard_ = 0;
    std::uint32_t gameTime_ = 0;
    int gameClicks_ = 0;
    int timesAtEnd_ = 0;
    // The board this store last restored or stored, as the key then held it.
    std::optional<StoredBoard> lastStored_;
};

}  // namespace puzzle
