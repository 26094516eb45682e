// The board's settings and progress in the store.
#include <gtest/gtest.h>

#include <climits>

#include "puzzle/core/board.h"
#include "puzzle/core/store.h"
#include "puzzle/core/test_fakes.h"

namespace puzzle {
namespace {

const std::string kBase = "SOFTWARE\\Zelt\\Corvane";
const std::string kOwn = kBase + "\\OwnPics";
const std::string kPics = "D:\\Pics";

// Own pictures switched on, with a folder of `count` decodable pictures.
void UseOwnPictures(FakePlatform& platform, int count) {
    platform.store.SetInteger(kBase, "UseOwnPics", 1);
    platform.store.SetText(kBase, "OwnDir", kPics);
    auto& entries = platform.pictures.folders[kPics];
    for (int i = 1; i <= count; ++i) {
        const std::string name = "own" + std::to_string(i) + ".jpg";
        entries.push_back({name, false});
        platform.pictures.files[kPics + "\\" + name] = {640, 480};
    }
}

TEST(BoardStore, FirstRunCreatesTheDefaults) {
    FakePlatform platform;
    PuzzleBoard board(platform.Services());
    const MemoryStore& store = platform.store;
    EXPECT_EQ(store.Text(kBase, "OwnDir"), "C:\\WINDOWS");  // no terminating zero
    EXPECT_EQ(store.Find(kBase, "OwnDir")->kind, ValueKind::Text);
    EXPECT_EQ(store.Integer(kBase, "UseOwnPics"), 0);
    EXPECT_EQ(store.Integer(kBase, "TimesAtEnd"), 0);
    EXPECT_EQ(store.Integer(kBase, "hard"), 12);
    EXPECT_EQ(store.Integer(kBase, "TopHard"), 20);
    EXPECT_FALSE(store.Find(kBase, "NextHard"));
    EXPECT_EQ(board.ProgressKeyName(), kBase);
    EXPECT_EQ(board.Hard(), 12);
    EXPECT_EQ(board.TopHard(), 20);
    EXPECT_FALSE(board.UsesOwnPictures());

    // The first board: picture 1, shuffled and stored.
    EXPECT_TRUE(board.LoadCurrentPicture());
    EXPECT_EQ(platform.pictures.decodedBuiltIns, std::vector<int>{1});
    EXPECT_FALSE(board.IsSolved());
    EXPECT_EQ(store.Integer(kBase, "CurrentPic"), 1);
    EXPECT_EQ(store.Integer(kBase, "numtilesx"), board.Columns());
    EXPECT_EQ(store.Integer(kBase, "numtilesy"), board.Rows());
    const auto index = store.Integers(kBase, "index");
    ASSERT_TRUE(index);
    EXPECT_EQ(index->size(), 12u * 12u);
    EXPECT_TRUE(std::equal(index->begin(), index->end(), board.Arrangement().begin()));
}

TEST(BoardStore, DefaultDifficultyComesFromTheStringTable) {
    const struct {
        std::optional<std::string> text;
        int hard;
        int topHard;
    } cases[] = {
        {"12", 12, 20}, {"25", 25, 35}, {"20", 20, 20},   {"21", 21, 31},
        {std::nullopt, 10, 20},  // no such string: "10"
        {"easy", 10, 20},        // not a number
        {"0x10", 16, 20},        {"-3", 1, 20},   {"99999999", 1000, 1000},
    };
    for (const auto& c : cases) {
        FakePlatform platform;
        if (c.text) platform.environment.texts[3] = *c.text;
        else platform.environment.texts.erase(3);
        PuzzleBoard board(platform.Services());
        EXPECT_EQ(board.DefaultHard(), c.hard) << c.text.value_or("(none)");
        EXPECT_EQ(board.Hard(), c.hard);
        EXPECT_EQ(board.TopHard(), c.topHard);
        EXPECT_EQ(platform.store.Integer(kBase, "TopHard"), c.topHard);
    }
    // Without string 2 the base key has its own fallback name.
    FakePlatform platform;
    platform.environment.texts.erase(2);
    PuzzleBoard board(platform.Services());
    EXPECT_EQ(board.BaseKeyName(), "SOFTWARE\\Zelt\\Redira");
    EXPECT_TRUE(platform.store.HasKey("SOFTWARE\\Zelt\\Redira"));
}

TEST(BoardStore, DifficultyIsReadClampedAndWrittenBack) {
    FakePlatform platform;
    platform.store.SetInteger(kBase, "hard", 18);
    platform.store.SetInteger(kBase, "TopHard", 14);
    PuzzleBoard board(platform.Services());
    EXPECT_EQ(board.Hard(), 18);
    EXPECT_EQ(board.TopHard(), 18);  // raised to hard
    EXPECT_EQ(platform.store.Integer(kBase, "TopHard"), 18);

    board.ReadDifficulty(24, true);
    EXPECT_EQ(platform.store.Integer(kBase, "hard"), 24);
    EXPECT_EQ(platform.store.Integer(kBase, "TopHard"), 24);
    EXPECT_EQ(platform.store.Integer(kBase, "NextHard"), 24);
    board.ReadDifficulty(5, false);
    EXPECT_EQ(board.Hard(), 5);
    EXPECT_EQ(board.TopHard(), 24);
    EXPECT_EQ(platform.store.Integer(kBase, "NextHard"), 24);
    board.ReadDifficulty();
    EXPECT_EQ(board.Hard(), 5);

    // Stored values no board could use are brought into range.
    for (int stored : {0, -4, 5000, INT_MAX}) {
        platform.store.SetInteger(kBase, "hard", stored);
        platform.store.SetInteger(kBase, "TopHard", stored);
        board.ReadDifficulty();
        EXPECT_GE(board.Hard(), 1) << stored;
        EXPECT_LE(board.Hard(), kMaxHard) << stored;
        EXPECT_GE(board.TopHard(), board.Hard());
        EXPECT_LE(board.TopHard(), kMaxHard);
        EXPECT_EQ(platform.store.Integer(kBase, "hard"), board.Hard());
    }
}

TEST(BoardStore, IntegersAreReadIntoFourBytes) {
    FakePlatform platform;
    // Longer than 4 bytes: missing, so the default is used and written back.
    platform.store.SetRaw(kBase, "hard", ValueKind::Bytes, {18, 0, 0, 0, 0, 0, 0, 0});
    platform.store.SetRaw(kBase, "UseOwnPics", ValueKind::Bytes, {1, 0, 0, 0, 0});
    // Shorter: the missing high bytes are 0, whatever the stored type.
    platform.store.SetRaw(kBase, "TopHard", ValueKind::Text, {30, 0});
    PuzzleBoard board(platform.Services());
    EXPECT_EQ(board.Hard(), 12);
    EXPECT_EQ(platform.store.Integer(kBase, "hard"), 12);
    EXPECT_EQ(platform.store.Integer(kBase, "UseOwnPics"), 0);
    EXPECT_EQ(board.TopHard(), 30);
}

TEST(BoardStore, OwnDirIsReadAndSet) {
    FakePlatform platform;
    platform.store.SetText(kBase, "OwnDir", std::string("E:\\Photos") + '\0');
    PuzzleBoard board(platform.Services());
    EXPECT_EQ(board.OwnDir(), "E:\\Photos");
    board.ReadOwnDir("F:\\Other");
    EXPECT_EQ(platform.store.Text(kBase, "OwnDir"), "F:\\Other");
    EXPECT_EQ(board.ReadOwnDir(), "F:\\Other");

    // A folder name longer than the room for it counts as missing.
    platform.store.SetText(kBase, "OwnDir", "G:\\" + std::string(300, 'x'));
    EXPECT_EQ(board.ReadOwnDir(), "C:\\WINDOWS");
}

TEST(BoardStore, OwnPicturesKeepTheirProgressApart) {
    FakePlatform platform;
    platform.store.SetInteger(kBase, "CurrentPic", 3);
    platform.store.SetInteger(kBase, "hard", 14);
    UseOwnPictures(platform, 2);
    {
        PuzzleBoard board(platform.Services());
        EXPECT_TRUE(board.UsesOwnPictures());
        EXPECT_EQ(board.ProgressKeyName(), kOwn);
        EXPECT_EQ(board.Hard(), 12);
        ASSERT_TRUE(board.LoadCurrentPicture());
        EXPECT_EQ(platform.pictures.decodedFiles, std::vector<std::string>{kPics + "\\own1.jpg"});
        EXPECT_EQ(platform.store.Integer(kOwn, "CurrentPic"), 1);
        EXPECT_TRUE(platform.store.Find(kOwn, "index"));
    }
    // The built-in pictures' progress is as it was, and resumes.
    EXPECT_EQ(platform.store.Integer(kBase, "CurrentPic"), 3);
    EXPECT_EQ(platform.store.Integer(kBase, "hard"), 14);
    EXPECT_FALSE(platform.store.Find(kBase, "index"));
    platform.store.SetInteger(kBase, "UseOwnPics", 0);
    PuzzleBoard board(platform.Services());
    EXPECT_EQ(board.ProgressKeyName(), kBase);
    ASSERT_TRUE(board.LoadCurrentPicture());
    EXPECT_EQ(board.CurrentPic(), 3);
    EXPECT_EQ(board.Hard(), 14);
    EXPECT_EQ(platform.pictures.decodedBuiltIns, std::vector<int>{3});
}

TEST(BoardStore, OwnPicturesWithoutPictureFilesUseTheBuiltInSet) {
    for (const bool listable : {true, false}) {
        FakePlatform platform;
        UseOwnPictures(platform, 0);
        if (listable) platform.pictures.folders[kPics] = {{"notes.txt", false}};
        else platform.pictures.folders.erase(kPics);
        PuzzleBoard board(platform.Services());
        EXPECT_FALSE(board.UsesOwnPictures());
        EXPECT_EQ(platform.store.Integer(kBase, "UseOwnPics"), 1);  // stored as chosen
        EXPECT_EQ(board.ProgressKeyName(), kBase);
        ASSERT_TRUE(board.LoadCurrentPicture());
        EXPECT_EQ(platform.pictures.decodedBuiltIns, std::vector<int>{1});
        EXPECT_TRUE(platform.store.Find(kBase, "index"));
        EXPECT_FALSE(platform.store.HasKey(kOwn));
    }
}

TEST(BoardStore, UseOwnPicsIsOnlyOnForOne) {
    FakePlatform platform;
    UseOwnPictures(platform, 1);
    platform.store.SetInteger(kBase, "UseOwnPics", 5);
    PuzzleBoard board(platform.Services());
    EXPECT_FALSE(board.UsesOwnPictures());
    EXPECT_EQ(platform.store.Integer(kBase, "UseOwnPics"), 0);
    EXPECT_TRUE(board.ReadUseOwnPics(1));
    EXPECT_EQ(platform.store.Integer(kBase, "UseOwnPics"), 1);
    EXPECT_FALSE(board.ReadUseOwnPics(2));
    EXPECT_EQ(platform.store.Integer(kBase, "UseOwnPics"), 0);
}

TEST(BoardStore, TimesAtEndIsCountedInTheChosenKey) {
    FakePlatform platform;
    UseOwnPictures(platform, 1);
    PuzzleBoard board(platform.Services());
    EXPECT_EQ(board.ReadTimesAtEnd(true, StoreKeyChoice::Progress), 1);
    EXPECT_EQ(board.ReadTimesAtEnd(true, StoreKeyChoice::Progress), 2);
    EXPECT_EQ(platform.store.Integer(kOwn, "TimesAtEnd"), 2);
    EXPECT_EQ(board.ReadTimesAtEnd(false, StoreKeyChoice::Base), 0);
    EXPECT_EQ(platform.store.Integer(kBase, "TimesAtEnd"), 0);
}

TEST(BoardStore, PlayTotalsAccumulate) {
    FakePlatform platform;
    platform.store.SetInteger(kBase, "GameTime", static_cast<std::int32_t>(3000000000u));
    platform.store.SetInteger(kBase, "GameClicks", 5);
    PuzzleBoard board(platform.Services());
    board.AddPlayTotals(2500, 3);
    EXPECT_EQ(board.GameTime(), 3000002500u);  // read as unsigned
    EXPECT_EQ(board.GameClicks(), 8);
    EXPECT_EQ(platform.store.Integer(kBase, "GameTime"), static_cast<std::int32_t>(3000002500u));
    EXPECT_EQ(platform.store.Integer(kBase, "GameClicks"), 8);
}

TEST(BoardStore, MovingOnAndStartingAgain) {
    FakePlatform platform;
    PuzzleBoard board(platform.Services());
    ASSERT_TRUE(board.LoadCurrentPicture());
    board.AdvancePicture();
    EXPECT_EQ(board.CurrentPic(), 2);
    EXPECT_EQ(platform.store.Integer(kBase, "CurrentPic"), 2);
    EXPECT_EQ(platform.pictures.decodedBuiltIns, (std::vector<int>{1, 2}));
    EXPECT_EQ(platform.store.Integer(kBase, "numtilesx"), board.Columns());  // the new board's

    board.ResetCurrentPic();
    EXPECT_EQ(platform.store.Integer(kBase, "CurrentPic"), 1);

    for (const auto& [stored, last] : {std::pair{9, false}, {10, true}, {INT_MAX, true}}) {
        platform.store.SetInteger(kBase, "CurrentPic", stored);
        EXPECT_EQ(board.IsLastPicture(), last) << stored;
    }
    FakePlatform own;
    UseOwnPictures(own, 2);
    PuzzleBoard ownBoard(own.Services());
    own.store.SetInteger(kOwn, "CurrentPic", 1);
    EXPECT_FALSE(ownBoard.IsLastPicture());
    own.store.SetInteger(kOwn, "CurrentPic", 2);
    EXPECT_TRUE(ownBoard.IsLastPicture());
}

TEST(BoardStore, AStoreThatCannotBeOpenedLeavesTheDefaults) {
    FakePlatform platform;
    platform.store.failOpen = true;
    platform.store.failCreate = true;
    PuzzleBoard board(platform.Services());
    EXPECT_EQ(board.OwnDir(), "C:\\WINDOWS");
    EXPECT_FALSE(board.UsesOwnPictures());
    EXPECT_EQ(board.Hard(), 12);
    EXPECT_EQ(board.TopHard(), 20);
    EXPECT_EQ(board.ReadTimesAtEnd(true, StoreKeyChoice::Progress), 1);
    EXPECT_TRUE(board.LoadCurrentPicture());
    EXPECT_FALSE(board.IsSolved());
    board.AddPlayTotals(100, 1);
    EXPECT_EQ(board.GameTime(), 0u);
    board.SaveArrangement();
    EXPECT_TRUE(platform.store.keys.empty());
}

}  // namespace
}  // namespace puzzle
