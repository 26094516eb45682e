#include "puzzle/core/settings_rules.h"

#include <gtest/gtest.h>

#include "puzzle/core/testing/test_fakes.h"

namespace puzzle {
namespace {

const std::string kBase = FakePlatform::kBaseKey;
const std::string kOwn = kBase + "\\OwnPics";

// Built-in pictures played up to picture 7; an earlier own folder up to 5.
class ApplyingSettings : public ::testing::Test {
protected:
    void SetUp() override {
        platform.store.Set(kBase, "CurrentPic", 7);
        platform.store.Set(kBase, "hard", 14);
        platform.store.Set(kOwn, "CurrentPic", 5);
        platform.pictures.folders["D:\\new"] = {{"a.jpg", false}, {"b.bmp", false}};
        platform.pictures.folders["D:\\empty"] = {};
    }
    std::optional<std::int32_t> Stored(const std::string& key, const std::string& name) {
        return platform.store.Integer(key, name);
    }
    FakePlatform platform;
};

TEST_F(ApplyingSettings, ANewFolderStartsAtItsFirstPicture) {
    ApplySettings(platform.Services(), {true, "D:\\new", true, 16});
    EXPECT_EQ(Stored(kBase, "UseOwnPics"), 1);
    EXPECT_EQ(platform.store.Text(kBase, "OwnDir"), "D:\\new");
    EXPECT_EQ(Stored(kOwn, "CurrentPic"), 1);
    EXPECT_EQ(Stored(kOwn, "hard"), 16);
    EXPECT_EQ(Stored(kOwn, "NextHard"), 16);
    EXPECT_EQ(Stored(kOwn, "TopHard"), 20);
    // The built-in set's progress is kept for when it is played again.
    EXPECT_EQ(Stored(kBase, "CurrentPic"), 7);
    EXPECT_EQ(Stored(kBase, "hard"), 14);
    EXPECT_FALSE(Stored(kBase, "NextHard"));
}

TEST_F(ApplyingSettings, WhatIsStoredDependsOnTheChoice) {
    // The same folder, not browsed: the current picture stays.
    ApplySettings(platform.Services(), {true, "D:\\new", false, 24});
    EXPECT_EQ(Stored(kOwn, "CurrentPic"), 5);
    EXPECT_EQ(Stored(kOwn, "TopHard"), 24);

    // A folder without pictures: the built-in set is played on as it
    // was, its grid and saved arrangement untouched.
    const auto builtInProgress = [&] {
        std::map<std::string, std::vector<std::uint8_t>> values;
        for (const auto& [name, value] : platform.store.keys[kBase])
            if (name != "UseOwnPics" && name != "OwnDir") values[name] = value.bytes;
        return values;
    };
    platform.store.Set(kBase, "index", std::vector<std::int32_t>(14 * 14, 0));
    const auto before = builtInProgress();
    ApplySettings(platform.Services(), {true, "D:\\empty", true, 9});
    EXPECT_EQ(Stored(kBase, "UseOwnPics"), 1);
    EXPECT_EQ(platform.store.Text(kBase, "OwnDir"), "D:\\empty");
    EXPECT_EQ(builtInProgress(), before);

    // Built-in pictures: only the switch is stored.
    platform.store.keys.erase(kOwn);
    ApplySettings(platform.Services(), {false, "D:\\new", true, 30});
    EXPECT_EQ(Stored(kBase, "UseOwnPics"), 0);
    EXPECT_EQ(platform.store.Text(kBase, "OwnDir"), "D:\\empty");
    EXPECT_EQ(Stored(kBase, "hard"), 14);
    EXPECT_FALSE(platform.store.HasKey(kOwn));
}

}  // namespace
}  // namespace puzzle
