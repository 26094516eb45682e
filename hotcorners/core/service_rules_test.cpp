#include "hotcorners/core/service_rules.h"

#include <gtest/gtest.h>

#include "hotcorners/core/window_list.h"
#include "kit/core/testing/test_fakes.h"

namespace hotcorners {
namespace {

TEST(ServiceRules, TheLibraryMustLiveInTheWindowsDirectory) {
    struct Case {
        const char* library;
        const char* windows;
        bool inPlace;
    };
    for (const Case c : {Case{"C:\\WINDOWS\\EDGEWAKE.DLL", "C:\\Windows", true},
                         Case{"c:\\windows\\edgewake.dll", "C:\\WINDOWS\\", true},
                         Case{"C:\\edgewake.dll", "C:\\", true},
                         Case{"C:\\WINDOWS\\SYSTEM\\EDGEWAKE.DLL", "C:\\WINDOWS", false},
                         Case{"Z:\\build\\bin\\edgewake.dll", "C:\\windows", false},
                         Case{"edgewake.dll", "C:\\windows", false}})
        EXPECT_EQ(InWindowsDirectory(c.library, c.windows), c.inPlace) << c.library;
}

TEST(ServiceRules, RunsItsOwnEntriesThroughRundll32) {
    EXPECT_EQ(RundllCommand("C:\\WINDOWS\\edgewake.dll", "RunDialog"),
              "rundll32 C:\\WINDOWS\\edgewake.dll,RunDialog");
    EXPECT_EQ(RundllCommand("C:\\My Windows\\edgewake.dll", "RunAboutDialog"),
              "rundll32 \"C:\\My Windows\\edgewake.dll\",RunAboutDialog");
}

TEST(ServiceRules, ReadsMouseCornersAsTheKitDoesAndOptionsAsOnWhenMissing) {
    using kit::Text;
    kit::FakeRegistry registry;
    EXPECT_EQ(ReadCornerActions(registry), kNoActions);
    auto& stored = registry.keys[kit::kSettingsKey];
    for (const auto& [value, actions] : {std::pair{Text("YN-x"), CornerActions{'Y', 'N', '-', '-'}},
                                         std::pair{Text("-N"), CornerActions{'-', 'N', '-', '-'}},
                                         std::pair{Text("YNYNY"), kNoActions}}) {
        stored["Mouse Corners"] = value;
        EXPECT_EQ(ReadCornerActions(registry), actions);
    }

    EXPECT_TRUE(ReadOption(registry, kShowIconOption));
    auto& desktop = registry.keys[kOptionsKey];
    desktop[kShowIconOption] = kit::Dword(0);
    desktop[kShowFeedbackOption] = kit::Dword(0x100);
    EXPECT_FALSE(ReadOption(registry, kShowIconOption));
    EXPECT_TRUE(ReadOption(registry, kShowFeedbackOption));
}

TEST(WindowList, HoldsEachWindowOnceAndNeverMoreThanItsCapacity) {
    WindowList list{};
    for (std::uint32_t w = 1; w <= kWindowListCapacity; ++w) EXPECT_TRUE(Join(list, w));
    EXPECT_TRUE(Join(list, 3));  // listed already
    EXPECT_FALSE(Join(list, 99));
    EXPECT_EQ(list.count, kWindowListCapacity);

    DropGone(list, [](std::uint32_t w) { return w % 2 == 0; });
    EXPECT_EQ(Members(list), (std::vector<std::uint32_t>{1, 3, 5, 7, 9, 11, 13, 15}));
    EXPECT_TRUE(Join(list, 99));
    EXPECT_TRUE(Leave(list, 1));
    EXPECT_FALSE(Leave(list, 1));
    EXPECT_EQ(Members(list).front(), 3u);

    list.count = 0xFFFFFFFF;  // left half written by another process
    EXPECT_EQ(Members(list).size(), kWindowListCapacity);
    EXPECT_FALSE(Join(list, 1234));
}

}  // namespace
}  // namespace hotcorners
