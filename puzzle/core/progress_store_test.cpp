// The settings and progress in the store.
#include <gtest/gtest.h>

#include <climits>

#include "puzzle/core/progress_store.h"
#include "puzzle/core/testing/test_fakes.h"

namespace puzzle {
namespace {

const std::string kBase = FakePlatform::kBaseKey;
const std::string kOwn = kBase + "\\OwnPics";

TEST(ProgressStore, FirstRunCreatesTheDefaults) {
    FakePlatform platform;
    MemoryStore& store = platform.store;
    ProgressStore progress(platform.Services());
    EXPECT_EQ(store.Text(kBase, "OwnDir"), "C:\\WINDOWS");  // no terminating zero
    EXPECT_EQ(store.Find(kBase, "OwnDir")->kind, ValueKind::Text);
    EXPECT_EQ(store.Integer(kBase, "UseOwnPics"), 0);
    EXPECT_EQ(store.Integer(kBase, "TimesAtEnd"), 0);
    EXPECT_EQ(store.Integer(kBase, "hard"), 12);
    EXPECT_EQ(store.Integer(kBase, "TopHard"), 20);
    EXPECT_FALSE(store.Find(kBase, "NextHard"));

    // A folder too long for the room counts as missing.
    store.Set(kBase, "OwnDir", "G:\\" + std::string(300, 'x'));
    EXPECT_EQ(progress.RefreshOwnDir(), "C:\\WINDOWS");
}

TEST(ProgressStore, DefaultDifficultyComesFromTheStringTable) {
    const struct {
        std::optional<std::string> text;
        int hard, topHard;
    } cases[] = {
        {"25", 25, 35},   {"20", 20, 20}, {"0x10", 16, 20},         {std::nullopt, 10, 20},
        {"easy", 10, 20}, {"-3", 1, 20},  {"99999999", 1000, 1000},
    };
    for (const auto& c : cases) {
        FakePlatform platform;
        if (c.text)
            platform.environment.texts[3] = *c.text;
        else
            platform.environment.texts.erase(3);
        ProgressStore progress(platform.Services());
        EXPECT_EQ(progress.Hard(), c.hard) << c.text.value_or("(none)");
        EXPECT_EQ(platform.store.Integer(kBase, "TopHard"), c.topHard);
    }
    FakePlatform platform;
    platform.environment.texts.erase(2);
    EXPECT_EQ(ProgressStore(platform.Services()).BaseKeyName(), "SOFTWARE\\Zelt\\Redira");
}

TEST(ProgressStore, DifficultyIsClampedAndWrittenBack) {
    FakePlatform platform;
    MemoryStore& store = platform.store;
    store.Set(kBase, "hard", 18);
    store.Set(kBase, "TopHard", 14);
    ProgressStore progress(platform.Services());
    EXPECT_EQ(store.Integer(kBase, "TopHard"), 18);  // raised to hard
    // Stored values no board could use are brought into range.
    for (int stored : {0, -4, 5000, INT_MAX}) {
        store.Set(kBase, "hard", stored);
        store.Set(kBase, "TopHard", stored);
        progress.RefreshDifficulty();
        EXPECT_GE(progress.Hard(), 1) << stored;
        EXPECT_LE(progress.TopHard(), kMaxHard);
        EXPECT_GE(progress.TopHard(), progress.Hard());
        EXPECT_EQ(store.Integer(kBase, "hard"), progress.Hard());
    }
}

TEST(ProgressStore, IntegersAreReadIntoFourBytes) {
    FakePlatform platform;
    // Longer than 4 bytes: missing, so the default is used and written back.
    platform.store.SetRaw(kBase, "hard", ValueKind::Bytes, {18, 0, 0, 0, 0, 0, 0, 0});
    // Shorter: the missing high bytes are 0, whatever the stored type.
    platform.store.SetRaw(kBase, "TopHard", ValueKind::Text, {30, 0});
    ProgressStore progress(platform.Services());
    EXPECT_EQ(progress.Hard(), 12);
    EXPECT_EQ(platform.store.Integer(kBase, "hard"), 12);
    EXPECT_EQ(progress.TopHard(), 30);
}

TEST(ProgressStore, OwnPicturesKeepTheirProgressApart) {
    FakePlatform platform;
    platform.store.Set(kBase, "CurrentPic", 3);
    platform.store.Set(kBase, "hard", 14);
    platform.UseOwnPictures("D:\\Pics", {"a.jpg", "b.jpg"});
    {
        BoardMaking board(platform.Services());
        EXPECT_EQ(board.progress.ProgressKeyName(), kOwn);
        EXPECT_EQ(board.progress.Hard(), 12);
        ASSERT_TRUE(board.LoadCurrentPicture());
        EXPECT_EQ(platform.pictures.decodedFiles, std::vector<std::string>{"D:\\Pics\\a.jpg"});
        EXPECT_TRUE(platform.store.Find(kOwn, "index"));
    }
    // The built-in pictures' progress is as it was, and resumes.
    EXPECT_EQ(platform.store.Integer(kBase, "CurrentPic"), 3);
    EXPECT_FALSE(platform.store.Find(kBase, "index"));
    platform.store.Set(kBase, "UseOwnPics", 0);
    BoardMaking board(platform.Services());
    EXPECT_EQ(board.progress.ProgressKeyName(), kBase);
    ASSERT_TRUE(board.LoadCurrentPicture());
    EXPECT_EQ(board.board->Hard(), 14);
    EXPECT_EQ(platform.pictures.decodedBuiltIns, std::vector<int>{3});
}

TEST(ProgressStore, OwnPicturesWithoutPictureFilesUseTheBuiltInSet) {
    FakePlatform platform;
    platform.UseOwnPictures("D:\\Pics", {});
    platform.pictures.folders["D:\\Pics"] = {{"notes.txt", false}};
    BoardMaking board(platform.Services());
    EXPECT_FALSE(board.progress.UsesOwnPictures());
    EXPECT_EQ(platform.store.Integer(kBase, "UseOwnPics"), 1);  // stored as chosen
    EXPECT_EQ(board.progress.ProgressKeyName(), kBase);
    ASSERT_TRUE(board.LoadCurrentPicture());
    EXPECT_EQ(platform.pictures.decodedBuiltIns, std::vector<int>{1});
    EXPECT_FALSE(platform.store.HasKey(kOwn));

    // Only 1 means on, so that every reader agrees on what is in use.
    platform.UseOwnPictures("D:\\Pics", {"a.jpg"});
    platform.store.Set(kBase, "UseOwnPics", 5);
    ProgressStore five(platform.Services());
    EXPECT_FALSE(five.UsesOwnPictures());
    EXPECT_EQ(platform.store.Integer(kBase, "UseOwnPics"), 0);
    EXPECT_TRUE(five.SetUseOwnPics(1));
    EXPECT_FALSE(five.SetUseOwnPics(2));
}

TEST(ProgressStore, TotalsAndCounts) {
    FakePlatform platform;
    MemoryStore& store = platform.store;
    store.Set(kOwn, "GameTime", static_cast<std::int32_t>(3000000000u));
    store.Set(kOwn, "GameClicks", 5);
    platform.UseOwnPictures("D:\\Pics", {"a.jpg", "b.jpg"});
    BoardMaking board(platform.Services());
    board.progress.AddPlayTotals(2500, 3);
    EXPECT_EQ(board.progress.GameTime(), 3000002500u);  // read as unsigned
    EXPECT_EQ(store.Integer(kOwn, "GameClicks"), 8);
    // TimesAtEnd counts in the progress key; the base key has its own.
    EXPECT_EQ(board.progress.CountCompletedSet(), 1);
    EXPECT_EQ(board.progress.CountCompletedSet(), 2);
    EXPECT_EQ(board.progress.RefreshTimesAtEnd(StoreKeyChoice::Base), 0);
    EXPECT_EQ(store.Integer(kOwn, "TimesAtEnd"), 2);

    // The last picture: of the folder, or of the built-in set.
    store.Set(kOwn, "CurrentPic", 1);
    EXPECT_FALSE(board.IsLastPicture());
    store.Set(kOwn, "CurrentPic", 2);
    EXPECT_TRUE(board.IsLastPicture());
    FakePlatform builtIns;
    BoardMaking builtInBoard(builtIns.Services());
    for (const auto& [stored, last] : {std::pair{9, false}, {10, true}, {INT_MAX, true}}) {
        builtIns.store.Set(kBase, "CurrentPic", stored);
        EXPECT_EQ(builtInBoard.IsLastPicture(), last) << stored;
    }
}

TEST(ProgressStore, AStoreThatCannotBeOpenedLeavesTheDefaults) {
    FakePlatform platform;
    platform.store.failOpen = true;
    platform.store.failCreate = true;
    BoardMaking board(platform.Services());
    EXPECT_EQ(board.progress.OwnDir(), "C:\\WINDOWS");
    EXPECT_EQ(board.progress.Hard(), 12);
    EXPECT_EQ(board.progress.TopHard(), 20);
    EXPECT_EQ(board.progress.CountCompletedSet(), 1);
    EXPECT_TRUE(board.LoadCurrentPicture());
    EXPECT_FALSE(board.board->IsSolved());
    board.SaveArrangement();
    EXPECT_TRUE(platform.store.keys.empty());
}

}  // namespace
}  // namespace puzzle
