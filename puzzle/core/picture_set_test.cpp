// The pictures of the set and the making of the current board.
#include <gtest/gtest.h>

#include <climits>
#include <algorithm>
#include <numeric>

#include "puzzle/core/picture_set.h"
#include "puzzle/core/testing/test_fakes.h"

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

class PictureSetTest : public ::testing::Test {
protected:
    // A run of the saver on the store as it is now: its current board,
    // made with a picture (`shown`) or plain.
    std::unique_ptr<BoardMaking> Run(bool shown = true) {
        auto making = std::make_unique<BoardMaking>(platform.Services());
        EXPECT_EQ(making->LoadCurrentPicture(), shown);
        return making;
    }

    FakePlatform platform;
    MemoryStore& store = platform.store;
};

TEST(OwnPictures, QualifyingNames) {
    for (const char* name : {"a.jpg", "A.JPG", "b.jpeg", "c.Bmp", ".jpg", ".jpeg", "x.tar.bmp"})
        EXPECT_TRUE(IsPictureFileName(name)) << name;
    for (const char* name : {"jpg", "bmp", "a.gif", "a.jpgx", "notes.txt", ""})
        EXPECT_FALSE(IsPictureFileName(name)) << name;
}

TEST_F(PictureSetTest, TheNthPictureOfTheListing) {
    platform.UseOwnPictures("D:\\Pics", {});
    platform.pictures.folders["D:\\Pics"] = {
        {"..", true},         {"Photo.JPG", false},
        {"notes.txt", false}, {"old.jpg", true},  // a folder, not a picture
        {"scan.bmp", false},
    };
    BoardMaking board(platform.Services());
    std::string path;
    EXPECT_TRUE(board.pictures.FindOwnPicture(1, &path));
    EXPECT_EQ(path, "D:\\Pics\\Photo.JPG");  // the listed name, not lower-cased
    EXPECT_TRUE(board.pictures.FindOwnPicture(2, &path));
    EXPECT_EQ(path, "D:\\Pics\\scan.bmp");
    for (int number : {3, 0, -1}) EXPECT_FALSE(board.pictures.FindOwnPicture(number)) << number;
    platform.pictures.folders.erase("D:\\Pics");  // cannot be listed
    EXPECT_FALSE(board.pictures.FindOwnPicture(1));
}

TEST_F(PictureSetTest, StartsTheSetAgainWhenCurrentPicIsOutOfIt) {
    for (int stored : {0, -3, 11, 70000}) {
        SCOPED_TRACE(stored);
        platform = {};
        for (auto [name, value] : {std::pair{"CurrentPic", stored},
                                   {"NextHard", 16},
                                   {"GameTime", 99000},
                                   {"GameClicks", 77}})
            store.Set(kBase, name, value);
        const auto board = Run();
        EXPECT_EQ(platform.pictures.decodedBuiltIns, std::vector<int>{1});
        EXPECT_EQ(board->board->Hard(), 16);  // NextHard
        EXPECT_EQ(board->progress.GameClicks(), 0);
        EXPECT_EQ(store.Integer(kBase, "CurrentPic"), 1);
        EXPECT_EQ(store.Integer(kBase, "GameTime"), 0);
        EXPECT_EQ(store.Integer(kBase, "GameClicks"), 0);
        ExpectStoredBoard(store, *board->board);
    }
    // Without NextHard the difficulty stays; own pictures start again at
    // the folder's first.
    platform = {};
    platform.UseOwnPictures("D:\\Pics", {"a.jpg", "b.jpg"});
    store.Set(kBase + "\\OwnPics", "CurrentPic", 3);
    store.Set(kBase + "\\OwnPics", "hard", 15);
    EXPECT_EQ(Run()->board->Hard(), 15);
    EXPECT_EQ(platform.pictures.decodedFiles, std::vector<std::string>{"D:\\Pics\\a.jpg"});
}

TEST_F(PictureSetTest, RestoresTheSavedArrangementOnlyForTheSameGrid) {
    platform.clock.now = 1234;
    const auto first = Run();
    first->board->SwapTiles(0, 1);
    first->SaveArrangement();
    const std::vector<std::int32_t> saved = Cells(*first->board);
    platform.clock.now = 999;  // another shuffle would differ
    EXPECT_EQ(Cells(*Run()->board), saved);

    // Not taken, shuffled anew and stored: after a restart of the set (it
    // belongs to another picture), for a grid saved of another size
    // (another screen), wider or taller, and when it is no permutation.
    std::vector<std::int32_t> identity(12 * 12);
    std::iota(identity.begin(), identity.end(), 0);
    std::vector<std::int32_t> broken = identity;
    broken[1] = 0;  // tile 0 twice, tile 1 lost
    const int columns = *store.Integer(kBase, "numtilesx"),
              rows = *store.Integer(kBase, "numtilesy");
    const struct {
        const char* what;
        const char* name;
        int value;
    } cases[] = {
        {"restarted", "CurrentPic", 11},
        {"wider", "numtilesx", columns + 1},
        {"taller", "numtilesy", rows + 1},
        {"no permutation", "index", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        store.Set(kBase, "CurrentPic", 1);
        store.Set(kBase, "numtilesx", columns);
        store.Set(kBase, "numtilesy", rows);
        store.Set(kBase, "index", c.name == std::string("index") ? broken : saved);
        if (c.name != std::string("index")) store.Set(kBase, c.name, c.value);
        const auto other = Run();
        EXPECT_NE(Cells(*other->board), saved);
        EXPECT_FALSE(other->board->IsSolved());
        EXPECT_TRUE(std::is_permutation(other->board->Arrangement().begin(),
                                        other->board->Arrangement().end(), identity.begin(),
                                        identity.end()));
        ExpectStoredBoard(store, *other->board);
    }
    // Another difficulty: the stored index is of another size.
    store.Set(kBase, "hard", 10);
    ExpectStoredBoard(store, *Run()->board);
}

TEST_F(PictureSetTest, MovingOnNeverTakesTheArrangementOfThePictureBefore) {
    // Every picture cuts to the same 4 x 4 grid.
    const std::vector<std::int32_t> onPicture1 = Swapped({{0, 1}});
    platform.StoreFourByFour(onPicture1);
    const auto making = Run();
    ASSERT_EQ(Cells(*making->board), onPicture1);

    // Picture 2 shuffled, then picture 3 shuffled anew.
    platform.clock.now = 5000;
    making->AdvancePicture();
    const std::vector<std::int32_t> onPicture2 = Cells(*making->board);
    EXPECT_NE(onPicture2, onPicture1);
    platform.clock.now = 6000;
    making->AdvancePicture();
    EXPECT_NE(Cells(*making->board), onPicture2);
    ExpectStoredBoard(store, *making->board);

    // Picture 4 cannot be shown: when it can again, it is shuffled too.
    platform.pictures.undecodable = {4};
    making->AdvancePicture();
    ASSERT_TRUE(making->board->IsPlainBoard());
    platform.pictures.undecodable.clear();
    store.Set(kBase, "index", onPicture1);
    EXPECT_NE(Cells(*Run()->board), onPicture1);
    EXPECT_EQ(platform.pictures.decodedBuiltIns.back(), 4);
}

TEST_F(PictureSetTest, ARestartOntoAPictureThatCannotBeDecodedStartsThePassAgain) {
    // The pass ended on picture 10, whose saved board has the grid that
    // picture 1 has at NextHard.
    const std::vector<std::int32_t> onPicture10 = Swapped({{2, 3}});
    platform.StoreFourByFour(onPicture10, 10);
    for (auto [name, value] : {std::pair{"CurrentPic", 11},
                               {"hard", 3},
                               {"NextHard", 4},
                               {"GameTime", 99000},
                               {"GameClicks", 77}})
        store.Set(kBase, name, value);
    platform.pictures.undecodable = {1};
    const auto making = Run(false);
    EXPECT_EQ(making->progress.GameClicks(), 0);
    EXPECT_EQ(making->progress.GameTime(), 0u);
    for (auto [name, value] : {std::pair{"CurrentPic", 1},
                               {"hard", 4},
                               {"GameTime", 0},
                               {"GameClicks", 0},
                               {"numtilesx", 0},
                               {"numtilesy", 0}})
        EXPECT_EQ(store.Integer(kBase, name), value) << name;

    // Picture 1 decodes again: the new pass, shuffled.
    platform.pictures.undecodable.clear();
    const auto again = Run();
    EXPECT_EQ(platform.pictures.decodedBuiltIns.back(), 1);
    EXPECT_EQ(again->board->Hard(), 4);
    EXPECT_NE(Cells(*again->board), onPicture10);
}

TEST_F(PictureSetTest, StoredDifficultyAgreesWithTheBoardCut) {
    // Stored "hard" or "NextHard" that no board can use: tiles of at least
    // one pixel, and what is stored is what was cut.
    for (const char* name : {"hard", "NextHard"}) {
        for (int stored : {0, -5, 5000, INT_MAX}) {
            SCOPED_TRACE(::testing::Message() << name << ' ' << stored);
            platform = {};
            platform.environment.screen = {320, 240};
            store.Set(kBase, name, stored);
            store.Set(kBase, "CurrentPic", name == std::string("hard") ? 1 : 0);
            const auto making = Run();
            const PuzzleBoard& board = *making->board;
            EXPECT_GE(board.TileSize(), 1);
            EXPECT_LE(board.Columns(), board.Hard());
            making->SaveArrangement();
            ExpectStoredBoard(store, board);
            // The next run takes the stored board back as it was.
            EXPECT_EQ(Cells(*Run()->board), Cells(board));
        }
    }
}

TEST_F(PictureSetTest, APictureThatCannotBeDecodedGivesWay) {
    // An own picture to the built-in one of the same number.
    platform.UseOwnPictures("D:\\Pics", {"a.jpg", "b.jpg"});
    platform.pictures.files.erase("D:\\Pics\\b.jpg");
    store.Set(kBase + "\\OwnPics", "CurrentPic", 2);
    Run();
    EXPECT_EQ(platform.pictures.decodedBuiltIns, std::vector<int>{2});

    // A built-in one to a plain solved board; the arrangement saved for it
    // survives.
    platform = {};
    Run();
    const auto savedIndex = store.Integers(kBase, "index");
    platform.pictures.undecodable = {1};
    const auto board = Run(false);
    EXPECT_TRUE(board->board->IsPlainBoard());
    EXPECT_TRUE(board->board->HasPicture());
    EXPECT_TRUE(board->board->IsSolved());
    board->SaveArrangement();
    EXPECT_EQ(store.Integers(kBase, "index"), savedIndex);

    // The next picture decodes again.
    board->AdvancePicture();
    EXPECT_FALSE(board->board->IsPlainBoard());
    EXPECT_FALSE(board->board->IsSolved());
    ExpectStoredBoard(store, *board->board);

    // Not even a plain picture: still a solved board, nothing stored.
    platform.pictures.undecodable = {3};
    platform.pictures.failPlain = true;
    store.Set(kBase, "CurrentPic", 3);
    const auto bare = Run(false);
    EXPECT_FALSE(bare->board->HasPicture());
    EXPECT_TRUE(bare->board->IsSolved());
    EXPECT_EQ(store.Integer(kBase, "CurrentPic"), 3);
}

TEST_F(PictureSetTest, OwnPhotosShowWholeAndBuiltInsAreCutAsBefore) {
    // An own photo of 3000 x 2000 makes the grid of a 1000 x 667 picture;
    // built-in picture 9, 1300 x 450, keeps the cut its saved boards had:
    // its first 1000 columns.
    for (const auto& [own, asCut] : {std::pair{true, Size{1000, 667}}, {false, Size{1000, 450}}}) {
        SCOPED_TRACE(own);
        platform = {};
        platform.UseOwnPictures("D:\\Pics", {"big.jpg"});
        platform.pictures.files["D:\\Pics\\big.jpg"] = {3000, 2000};
        store.Set(kBase, "UseOwnPics", own ? 1 : 0);
        store.Set(kBase, "CurrentPic", 9);
        const auto making = Run();
        const PuzzleBoard& board = *making->board;
        const BoardGeometry expected = FitBoard(asCut.width, asCut.height, 1024, 768, board.Hard());
        EXPECT_EQ(board.Columns(), expected.columns);
        EXPECT_EQ(board.Rows(), expected.rows);
        EXPECT_EQ(board.TileSize(), expected.tileSize);
    }
}

}  // namespace
}  // namespace puzzle
