// The pictures of the set and the making of the current board.
#include <gtest/gtest.h>

#include <climits>
#include <numeric>
#include <set>

#include "puzzle/core/board.h"
#include "puzzle/core/picture_names.h"
#include "puzzle/core/test_fakes.h"

namespace puzzle {
namespace {

const std::string kBase = "SOFTWARE\\Zelt\\Corvane";
const std::string kOwn = kBase + "\\OwnPics";
const std::string kPics = "D:\\Pics";

bool IsPermutationOfUsedCells(const PuzzleBoard& board) {
    std::set<int> tiles;
    for (int row = 0; row < board.Rows(); ++row)
        for (int column = 0; column < board.Columns(); ++column) {
            const int tile = board.TileAt(board.CellIndex(column, row));
            if (!board.IsUsedCell(tile)) return false;
            tiles.insert(tile);
        }
    return tiles.size() == static_cast<std::size_t>(board.Columns() * board.Rows());
}

// The stored arrangement, numtilesx and numtilesy agree with the board.
void ExpectStoredBoard(const MemoryStore& store, const std::string& key,
                       const PuzzleBoard& board) {
    EXPECT_EQ(store.Integer(key, "hard"), board.Hard());
    EXPECT_EQ(store.Integer(key, "numtilesx"), board.Columns());
    EXPECT_EQ(store.Integer(key, "numtilesy"), board.Rows());
    const auto index = store.Integers(key, "index");
    ASSERT_TRUE(index);
    ASSERT_EQ(index->size(), static_cast<std::size_t>(board.Hard()) * board.Hard());
    EXPECT_TRUE(std::equal(index->begin(), index->end(), board.Arrangement().begin()));
}

TEST(OwnPictures, QualifyingNames) {
    for (const char* name : {"a.jpg", "A.JPG", "b.jpeg", "c.Bmp", ".jpg", ".bmp", ".jpeg",
                             "x.tar.bmp"})
        EXPECT_TRUE(IsPictureFileName(name)) << name;
    for (const char* name : {"jpg", "bmp", "a.gif", "a.jpgx", "a.jp", "notes.txt", "", "."})
        EXPECT_FALSE(IsPictureFileName(name)) << name;
}

TEST(OwnPictures, TheNthPictureOfTheListing) {
    FakePlatform platform;
    platform.store.SetText(kBase, "OwnDir", kPics);
    platform.pictures.folders[kPics] = {
        {".", true},         {"..", true},       {"notes.txt", false},
        {"Photo.JPG", false}, {"old.jpg", true},  // a folder, not a picture
        {"scan.bmp", false},
    };
    PuzzleBoard board(platform.Services());
    std::string path;
    EXPECT_TRUE(board.FindOwnPicture(1, &path));
    EXPECT_EQ(path, kPics + "\\Photo.JPG");  // the listed name, not lower-cased
    EXPECT_TRUE(board.FindOwnPicture(2, &path));
    EXPECT_EQ(path, kPics + "\\scan.bmp");
    path = "unchanged";
    for (int number : {3, 0, -1}) {
        EXPECT_FALSE(board.FindOwnPicture(number, &path)) << number;
        EXPECT_EQ(path, "unchanged");
    }
    // A folder of Photo.JPG and notes.txt holds exactly one picture.
    platform.pictures.folders[kPics] = {{"Photo.JPG", false}, {"notes.txt", false}};
    EXPECT_TRUE(board.FindOwnPicture(1));
    EXPECT_FALSE(board.FindOwnPicture(2));
    // A folder that cannot be listed holds none.
    platform.pictures.folders.erase(kPics);
    EXPECT_FALSE(board.FindOwnPicture(1));
}

TEST(LoadCurrentPicture, StartsTheSetAgainWhenCurrentPicIsOutOfIt) {
    for (int stored : {0, -3, 11, 70000}) {
        FakePlatform platform;
        platform.store.SetInteger(kBase, "CurrentPic", stored);
        platform.store.SetInteger(kBase, "hard", 12);
        platform.store.SetInteger(kBase, "NextHard", 16);
        platform.store.SetInteger(kBase, "GameTime", 99000);
        platform.store.SetInteger(kBase, "GameClicks", 77);
        PuzzleBoard board(platform.Services());
        board.AddPlayTotals(0, 0);
        ASSERT_TRUE(board.LoadCurrentPicture());
        EXPECT_EQ(platform.pictures.decodedBuiltIns, std::vector<int>{1}) << stored;
        EXPECT_EQ(board.CurrentPic(), 1);
        EXPECT_EQ(board.Hard(), 16);  // NextHard
        EXPECT_EQ(board.GameTime(), 0u);
        EXPECT_EQ(board.GameClicks(), 0);
        EXPECT_EQ(platform.store.Integer(kBase, "CurrentPic"), 1);
        EXPECT_EQ(platform.store.Integer(kBase, "GameTime"), 0);
        EXPECT_EQ(platform.store.Integer(kBase, "GameClicks"), 0);
        ExpectStoredBoard(platform.store, kBase, board);
    }
    // Own pictures: beyond the folder's pictures starts again at its first.
    FakePlatform platform;
    platform.store.SetInteger(kBase, "UseOwnPics", 1);
    platform.store.SetText(kBase, "OwnDir", kPics);
    platform.pictures.folders[kPics] = {{"a.jpg", false}, {"b.jpg", false}};
    platform.pictures.files[kPics + "\\a.jpg"] = {300, 200};
    platform.store.SetInteger(kOwn, "CurrentPic", 3);
    platform.store.SetInteger(kOwn, "NextHard", 8);
    PuzzleBoard board(platform.Services());
    ASSERT_TRUE(board.LoadCurrentPicture());
    EXPECT_EQ(platform.pictures.decodedFiles, std::vector<std::string>{kPics + "\\a.jpg"});
    EXPECT_EQ(board.Hard(), 8);
    EXPECT_EQ(platform.store.Integer(kOwn, "CurrentPic"), 1);
}

TEST(LoadCurrentPicture, NoNextHardKeepsTheDifficulty) {
    FakePlatform platform;
    platform.store.SetInteger(kBase, "CurrentPic", 11);
    platform.store.SetInteger(kBase, "hard", 15);
    PuzzleBoard board(platform.Services());
    ASSERT_TRUE(board.LoadCurrentPicture());
    EXPECT_EQ(board.Hard(), 15);
}

TEST(LoadCurrentPicture, RestoresTheSavedArrangementOnlyForTheSameGrid) {
    FakePlatform platform;
    std::vector<std::int32_t> saved;
    {
        PuzzleBoard first(platform.Services());
        platform.clock.now = 1234;
        ASSERT_TRUE(first.LoadCurrentPicture());
        first.SwapTiles(first.CellIndex(0, 0), first.CellIndex(1, 0));
        first.SaveArrangement();
        saved.assign(first.Arrangement().begin(), first.Arrangement().end());
    }
    platform.clock.now = 999;  // another shuffle would differ
    {
        PuzzleBoard again(platform.Services());
        ASSERT_TRUE(again.LoadCurrentPicture());
        EXPECT_TRUE(std::equal(saved.begin(), saved.end(), again.Arrangement().begin()));
    }
    // A grid saved of another size (another screen): shuffled anew and stored.
    platform.store.SetInteger(kBase, "numtilesy", *platform.store.Integer(kBase, "numtilesy") + 1);
    PuzzleBoard other(platform.Services());
    ASSERT_TRUE(other.LoadCurrentPicture());
    EXPECT_FALSE(std::equal(saved.begin(), saved.end(), other.Arrangement().begin()));
    ExpectStoredBoard(platform.store, kBase, other);

    // Another difficulty: the stored index is of another size.
    platform.store.SetInteger(kBase, "hard", 10);
    PuzzleBoard harder(platform.Services());
    ASSERT_TRUE(harder.LoadCurrentPicture());
    EXPECT_EQ(harder.Hard(), 10);
    ExpectStoredBoard(platform.store, kBase, harder);
}

TEST(LoadCurrentPicture, ASavedIndexThatIsNoPermutationIsShuffledAnew) {
    FakePlatform platform;
    PuzzleBoard first(platform.Services());
    ASSERT_TRUE(first.LoadCurrentPicture());
    const int columns = first.Columns(), rows = first.Rows();
    std::vector<std::int32_t> identity(first.Arrangement().begin(), first.Arrangement().end());
    std::iota(identity.begin(), identity.end(), 0);

    std::vector<std::vector<std::int32_t>> broken(4, identity);
    broken[0][1] = 0;                      // tile 0 twice, tile 1 lost
    broken[1][0] = -1;                     // no tile at all
    broken[2][0] = 12 * 12 - 1;            // a tile of an unused cell
    broken[3].resize(identity.size() - 1);  // too short
    for (const auto& index : broken) {
        platform.store.SetIntegers(kBase, "index", index);
        platform.store.SetInteger(kBase, "numtilesx", columns);
        platform.store.SetInteger(kBase, "numtilesy", rows);
        PuzzleBoard board(platform.Services());
        ASSERT_TRUE(board.LoadCurrentPicture());
        EXPECT_TRUE(IsPermutationOfUsedCells(board));
        EXPECT_FALSE(board.IsSolved());
        ExpectStoredBoard(platform.store, kBase, board);
    }
}

TEST(LoadCurrentPicture, StoredDifficultyAgreesWithTheBoardCut) {
    // Stored "hard" or "NextHard" that no board can use: the board keeps
    // tiles of at least one pixel, and what is stored is what was cut.
    for (const char* name : {"hard", "NextHard"}) {
        for (int stored : {0, -5, 5000, INT_MAX}) {
            FakePlatform platform;
            platform.environment.screen = {320, 240};
            platform.store.SetInteger(kBase, name, stored);
            if (std::string(name) == "NextHard") platform.store.SetInteger(kBase, "CurrentPic", 0);
            PuzzleBoard board(platform.Services());
            ASSERT_TRUE(board.LoadCurrentPicture());
            EXPECT_GE(board.TileSize(), 1) << name << ' ' << stored;
            EXPECT_LE(board.Columns(), board.Hard());
            EXPECT_LE(board.Rows(), board.Hard());
            ExpectStoredBoard(platform.store, kBase, board);
            board.SaveArrangement();
            ExpectStoredBoard(platform.store, kBase, board);

            // The next run takes the stored board back as it was.
            PuzzleBoard again(platform.Services());
            ASSERT_TRUE(again.LoadCurrentPicture());
            EXPECT_EQ(again.Hard(), board.Hard());
            EXPECT_TRUE(std::equal(board.Arrangement().begin(), board.Arrangement().end(),
                                   again.Arrangement().begin()));
        }
    }
}

TEST(LoadCurrentPicture, AnOwnPictureThatCannotBeDecodedGivesWayToABuiltIn) {
    FakePlatform platform;
    platform.store.SetInteger(kBase, "UseOwnPics", 1);
    platform.store.SetText(kBase, "OwnDir", kPics);
    platform.pictures.folders[kPics] = {{"a.jpg", false}, {"b.jpg", false}};
    platform.pictures.files[kPics + "\\a.jpg"] = {300, 200};  // b.jpg is broken
    platform.store.SetInteger(kOwn, "CurrentPic", 2);
    PuzzleBoard board(platform.Services());
    ASSERT_TRUE(board.LoadCurrentPicture());
    EXPECT_EQ(platform.pictures.decodedBuiltIns, std::vector<int>{2});
    EXPECT_EQ(platform.store.Integer(kOwn, "CurrentPic"), 2);
}

TEST(LoadCurrentPicture, ABuiltInThatCannotBeDecodedLeavesAPlainSolvedBoard) {
    FakePlatform platform;
    // A board of picture 1 saved earlier, which must survive.
    {
        PuzzleBoard first(platform.Services());
        ASSERT_TRUE(first.LoadCurrentPicture());
    }
    const auto savedIndex = platform.store.Integers(kBase, "index");
    platform.pictures.undecodable = {1};
    PuzzleBoard board(platform.Services());
    EXPECT_FALSE(board.LoadCurrentPicture());
    EXPECT_TRUE(board.IsPlainBoard());
    EXPECT_TRUE(board.HasPicture());
    EXPECT_TRUE(board.IsSolved());
    EXPECT_EQ(platform.pictures.plainSizes, (std::vector<Size>{{1000, 768}}));
    board.SaveArrangement();
    EXPECT_EQ(platform.store.Integers(kBase, "index"), savedIndex);

    // The next picture decodes again.
    board.AdvancePicture();
    EXPECT_FALSE(board.IsPlainBoard());
    EXPECT_FALSE(board.IsSolved());
    EXPECT_EQ(platform.store.Integer(kBase, "CurrentPic"), 2);
    ExpectStoredBoard(platform.store, kBase, board);

    // Not even a plain picture: still a solved board, nothing stored.
    platform.pictures.undecodable = {1, 2, 3};
    platform.pictures.failPlain = true;
    platform.store.SetInteger(kBase, "CurrentPic", 3);
    PuzzleBoard bare(platform.Services());
    EXPECT_FALSE(bare.LoadCurrentPicture());
    EXPECT_FALSE(bare.HasPicture());
    EXPECT_TRUE(bare.IsSolved());
    EXPECT_EQ(platform.store.Integer(kBase, "CurrentPic"), 3);
}

}  // namespace
}  // namespace puzzle
