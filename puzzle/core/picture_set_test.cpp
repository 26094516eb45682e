// The pictures of the set and the making of the current board.
#include <gtest/gtest.h>

#include <climits>
#include <algorithm>
#include <numeric>

#include "puzzle/core/picture_set.h"
#include "puzzle/core/test_fakes.h"

namespace puzzle {
namespace {

const std::string kBase = FakePlatform::kBaseKey;

std::vector<std::int32_t> Cells(const PuzzleBoard& board) {
    return {board.Arrangement().begin(), board.Arrangement().end()};
}

// What is stored agrees with the board: difficulty, grid and arrangement.
void ExpectStoredBoard(MemoryStore& store, const PuzzleBoard& board) {
    EXPECT_EQ(store.Integer(kBase, "hard"), board.Hard());
    EXPECT_EQ(store.Integer(kBase, "numtilesx"), board.Columns());
    EXPECT_EQ(store.Integer(kBase, "numtilesy"), board.Rows());
    EXPECT_EQ(store.Integers(kBase, "index"), Cells(board));
}

TEST(OwnPictures, QualifyingNames) {
    for (const char* name : {"a.jpg", "A.JPG", "b.jpeg", "c.Bmp", ".jpg", ".jpeg", "x.tar.bmp"})
        EXPECT_TRUE(IsPictureFileName(name)) << name;
    for (const char* name : {"jpg", "bmp", "a.gif", "a.jpgx", "notes.txt", ""})
        EXPECT_FALSE(IsPictureFileName(name)) << name;
}

TEST(OwnPictures, TheNthPictureOfTheListing) {
    FakePlatform platform;
    platform.UseOwnPictures("D:\\Pics", {});
    platform.pictures.folders["D:\\Pics"] = {
        {"..", true}, {"Photo.JPG", false}, {"notes.txt", false},
        {"old.jpg", true},  // a folder, not a picture
        {"scan.bmp", false},
    };
    BoardMaking board(platform.Services());
    std::string path;
    EXPECT_TRUE(board.pictures.FindOwnPicture(1, &path));
    EXPECT_EQ(path, "D:\\Pics\\Photo.JPG");  // the listed name, not lower-cased
    EXPECT_TRUE(board.pictures.FindOwnPicture(2, &path));
    EXPECT_EQ(path, "D:\\Pics\\scan.bmp");
    for (int number : {3, 0, -1}) EXPECT_FALSE(board.pictures.FindOwnPicture(number)) << number;
    platform.pictures.folders["D:\\Pics"] = {{"Photo.JPG", false}, {"notes.txt", false}};
    EXPECT_TRUE(board.pictures.FindOwnPicture(1));  // exactly one picture
    EXPECT_FALSE(board.pictures.FindOwnPicture(2));
    platform.pictures.folders.erase("D:\\Pics");  // cannot be listed
    EXPECT_FALSE(board.pictures.FindOwnPicture(1));
}

TEST(LoadCurrentPicture, StartsTheSetAgainWhenCurrentPicIsOutOfIt) {
    for (int stored : {0, -3, 11, 70000}) {
        FakePlatform platform;
        MemoryStore& store = platform.store;
        for (auto [name, value] : {std::pair{"CurrentPic", stored}, {"NextHard", 16},
                                   {"GameTime", 99000}, {"GameClicks", 77}})
            store.Set(kBase, name, value);
        BoardMaking board(platform.Services());
        ASSERT_TRUE(board.LoadCurrentPicture());
        EXPECT_EQ(platform.pictures.decodedBuiltIns, std::vector<int>{1}) << stored;
        EXPECT_EQ(board.board->Hard(), 16);  // NextHard
        EXPECT_EQ(board.progress.GameClicks(), 0);
        EXPECT_EQ(store.Integer(kBase, "CurrentPic"), 1);
        EXPECT_EQ(store.Integer(kBase, "GameTime"), 0);
        EXPECT_EQ(store.Integer(kBase, "GameClicks"), 0);
        ExpectStoredBoard(store, *board.board);
    }
    // Without NextHard the difficulty stays; own pictures start again at
    // the folder's first.
    FakePlatform platform;
    platform.UseOwnPictures("D:\\Pics", {"a.jpg", "b.jpg"});
    platform.store.Set(kBase + "\\OwnPics", "CurrentPic", 3);
    platform.store.Set(kBase + "\\OwnPics", "hard", 15);
    BoardMaking board(platform.Services());
    ASSERT_TRUE(board.LoadCurrentPicture());
    EXPECT_EQ(platform.pictures.decodedFiles, std::vector<std::string>{"D:\\Pics\\a.jpg"});
    EXPECT_EQ(board.board->Hard(), 15);
}

TEST(LoadCurrentPicture, RestoresTheSavedArrangementOnlyForTheSameGrid) {
    FakePlatform platform;
    MemoryStore& store = platform.store;
    std::vector<std::int32_t> saved;
    {
        BoardMaking first(platform.Services());
        platform.clock.now = 1234;
        ASSERT_TRUE(first.LoadCurrentPicture());
        first.board->SwapTiles(0, 1);
        first.SaveArrangement();
        saved = Cells(*first.board);
    }
    platform.clock.now = 999;  // another shuffle would differ
    BoardMaking again(platform.Services());
    ASSERT_TRUE(again.LoadCurrentPicture());
    EXPECT_EQ(Cells(*again.board), saved);
    // After a restart of the set it belongs to another picture: not taken.
    store.Set(kBase, "CurrentPic", 11);
    BoardMaking restarted(platform.Services());
    ASSERT_TRUE(restarted.LoadCurrentPicture());
    EXPECT_NE(Cells(*restarted.board), saved);

    // A grid saved of another size (another screen), wider or taller:
    // shuffled anew and stored.
    const int columns = *store.Integer(kBase, "numtilesx"), rows = *store.Integer(kBase, "numtilesy");
    for (const char* name : {"numtilesx", "numtilesy"}) {
        store.Set(kBase, "numtilesx", columns);
        store.Set(kBase, "numtilesy", rows);
        store.Set(kBase, "index", saved);
        store.Set(kBase, name, *store.Integer(kBase, name) + 1);
        BoardMaking other(platform.Services());
        ASSERT_TRUE(other.LoadCurrentPicture());
        EXPECT_NE(Cells(*other.board), saved) << name;
        ExpectStoredBoard(store, *other.board);
    }
    // Another difficulty: the stored index is of another size.
    store.Set(kBase, "hard", 10);
    BoardMaking harder(platform.Services());
    ASSERT_TRUE(harder.LoadCurrentPicture());
    ExpectStoredBoard(store, *harder.board);
}

TEST(LoadCurrentPicture, MovingOnNeverTakesTheArrangementOfThePictureBefore) {
    // Every picture cuts to the same 4 x 4 grid.
    FakePlatform platform;
    const std::vector<std::int32_t> onPicture1 = Swapped({{0, 1}});
    platform.StoreFourByFour(onPicture1);
    BoardMaking making(platform.Services());
    ASSERT_TRUE(making.LoadCurrentPicture());
    ASSERT_EQ(Cells(*making.board), onPicture1);

    // Picture 2 shuffled, then picture 3 shuffled anew.
    platform.clock.now = 5000;
    making.AdvancePicture();
    const std::vector<std::int32_t> onPicture2 = Cells(*making.board);
    EXPECT_NE(onPicture2, onPicture1);
    platform.clock.now = 6000;
    making.AdvancePicture();
    EXPECT_NE(Cells(*making.board), onPicture2);
    ExpectStoredBoard(platform.store, *making.board);

    // Picture 4 cannot be shown: when it can again, it is shuffled too.
    platform.pictures.undecodable = {4};
    making.AdvancePicture();
    ASSERT_TRUE(making.board->IsPlainBoard());
    platform.pictures.undecodable.clear();
    platform.store.Set(kBase, "index", onPicture1);
    BoardMaking later(platform.Services());
    ASSERT_TRUE(later.LoadCurrentPicture());
    EXPECT_EQ(platform.pictures.decodedBuiltIns.back(), 4);
    EXPECT_NE(Cells(*later.board), onPicture1);
}

TEST(LoadCurrentPicture, ARestartOntoAPictureThatCannotBeDecodedStartsThePassAgain) {
    // The pass ended on picture 10, whose saved board has the grid that
    // picture 1 has at NextHard.
    FakePlatform platform;
    MemoryStore& store = platform.store;
    const std::vector<std::int32_t> onPicture10 = Swapped({{2, 3}});
    platform.StoreFourByFour(onPicture10, 10);
    for (auto [name, value] : {std::pair{"CurrentPic", 11}, {"hard", 3}, {"NextHard", 4},
                               {"GameTime", 99000}, {"GameClicks", 77}})
        store.Set(kBase, name, value);
    platform.pictures.undecodable = {1};
    BoardMaking making(platform.Services());
    EXPECT_FALSE(making.LoadCurrentPicture());
    EXPECT_EQ(making.progress.GameClicks(), 0);
    EXPECT_EQ(making.progress.GameTime(), 0u);
    for (auto [name, value] : {std::pair{"CurrentPic", 1}, {"hard", 4}, {"GameTime", 0},
                               {"GameClicks", 0}, {"numtilesx", 0}, {"numtilesy", 0}})
        EXPECT_EQ(store.Integer(kBase, name), value) << name;

    // Picture 1 decodes again: the new pass, shuffled.
    platform.pictures.undecodable.clear();
    BoardMaking again(platform.Services());
    ASSERT_TRUE(again.LoadCurrentPicture());
    EXPECT_EQ(platform.pictures.decodedBuiltIns.back(), 1);
    EXPECT_EQ(again.board->Hard(), 4);
    EXPECT_NE(Cells(*again.board), onPicture10);
}

TEST(LoadCurrentPicture, ASavedIndexThatIsNoPermutationIsShuffledAnew) {
    FakePlatform platform;
    ASSERT_TRUE(BoardMaking(platform.Services()).LoadCurrentPicture());
    std::vector<std::int32_t> identity(12 * 12);
    std::iota(identity.begin(), identity.end(), 0);
    std::vector<std::int32_t> broken = identity;
    broken[1] = 0;  // tile 0 twice, tile 1 lost
    platform.store.Set(kBase, "index", broken);
    BoardMaking making(platform.Services());
    ASSERT_TRUE(making.LoadCurrentPicture());
    const PuzzleBoard& board = *making.board;
    EXPECT_FALSE(board.IsSolved());
    ExpectStoredBoard(platform.store, board);
    EXPECT_TRUE(std::is_permutation(board.Arrangement().begin(), board.Arrangement().end(),
                                    identity.begin(), identity.end()));
}

TEST(LoadCurrentPicture, StoredDifficultyAgreesWithTheBoardCut) {
    // Stored "hard" or "NextHard" that no board can use: tiles of at least
    // one pixel, and what is stored is what was cut.
    for (const char* name : {"hard", "NextHard"}) {
        for (int stored : {0, -5, 5000, INT_MAX}) {
            FakePlatform platform;
            platform.environment.screen = {320, 240};
            platform.store.Set(kBase, name, stored);
            platform.store.Set(kBase, "CurrentPic", name == std::string("hard") ? 1 : 0);
            BoardMaking making(platform.Services());
            ASSERT_TRUE(making.LoadCurrentPicture());
            const PuzzleBoard& board = *making.board;
            EXPECT_GE(board.TileSize(), 1) << name << ' ' << stored;
            EXPECT_LE(board.Columns(), board.Hard());
            making.SaveArrangement();
            ExpectStoredBoard(platform.store, board);

            // The next run takes the stored board back as it was.
            BoardMaking again(platform.Services());
            ASSERT_TRUE(again.LoadCurrentPicture());
            EXPECT_EQ(Cells(*again.board), Cells(board));
        }
    }
}

TEST(LoadCurrentPicture, AnOwnPictureThatCannotBeDecodedGivesWayToABuiltIn) {
    FakePlatform platform;
    platform.UseOwnPictures("D:\\Pics", {"a.jpg", "b.jpg"});
    platform.pictures.files.erase("D:\\Pics\\b.jpg");
    platform.store.Set(kBase + "\\OwnPics", "CurrentPic", 2);
    BoardMaking board(platform.Services());
    ASSERT_TRUE(board.LoadCurrentPicture());
    EXPECT_EQ(platform.pictures.decodedBuiltIns, std::vector<int>{2});
}

TEST(LoadCurrentPicture, ABuiltInThatCannotBeDecodedLeavesAPlainSolvedBoard) {
    FakePlatform platform;
    {
        BoardMaking first(platform.Services());
        ASSERT_TRUE(first.LoadCurrentPicture());
    }
    const auto savedIndex = platform.store.Integers(kBase, "index");
    platform.pictures.undecodable = {1};
    BoardMaking board(platform.Services());
    EXPECT_FALSE(board.LoadCurrentPicture());
    EXPECT_TRUE(board.board->IsPlainBoard());
    EXPECT_TRUE(board.board->HasPicture());
    EXPECT_TRUE(board.board->IsSolved());
    // The arrangement saved for picture 1 survives.
    board.SaveArrangement();
    EXPECT_EQ(platform.store.Integers(kBase, "index"), savedIndex);

    // The next picture decodes again.
    board.AdvancePicture();
    EXPECT_FALSE(board.board->IsPlainBoard());
    EXPECT_FALSE(board.board->IsSolved());
    ExpectStoredBoard(platform.store, *board.board);

    // Not even a plain picture: still a solved board, nothing stored.
    platform.pictures.undecodable = {3};
    platform.pictures.failPlain = true;
    platform.store.Set(kBase, "CurrentPic", 3);
    BoardMaking bare(platform.Services());
    EXPECT_FALSE(bare.LoadCurrentPicture());
    EXPECT_FALSE(bare.board->HasPicture());
    EXPECT_TRUE(bare.board->IsSolved());
    EXPECT_EQ(platform.store.Integer(kBase, "CurrentPic"), 3);
}

TEST(LoadCurrentPicture, OwnPhotosShowWholeAndBuiltInsAreCutAsBefore) {
    // An own photo of 3000 x 2000 makes the grid of a 1000 x 667 picture;
    // built-in picture 9, 1300 x 450, keeps the cut its saved boards had:
    // its first 1000 columns.
    for (const auto& [own, asCut] : {std::pair{true, Size{1000, 667}}, {false, Size{1000, 450}}}) {
        FakePlatform platform;
        platform.UseOwnPictures("D:\\Pics", {"big.jpg"});
        platform.pictures.files["D:\\Pics\\big.jpg"] = {3000, 2000};
        platform.store.Set(kBase, "UseOwnPics", own ? 1 : 0);
        platform.store.Set(kBase, "CurrentPic", 9);
        BoardMaking making(platform.Services());
        ASSERT_TRUE(making.LoadCurrentPicture());
        const PuzzleBoard& board = *making.board;
        const BoardGeometry expected = FitBoard(asCut.width, asCut.height, 1024, 768, board.Hard());
        EXPECT_EQ(board.Columns(), expected.columns) << own;
        EXPECT_EQ(board.Rows(), expected.rows) << own;
        EXPECT_EQ(board.TileSize(), expected.tileSize) << own;
    }
}

}  // namespace
}  // namespace puzzle
