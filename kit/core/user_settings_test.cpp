#include "kit/core/user_settings.h"

#include <gtest/gtest.h>

#include <functional>

#include "kit/core/test_fakes.h"

namespace kit {
namespace {

using CS = CornerState;

class UserSettingsTest : public testing::Test {
protected:
    FakeRegistry::Values& Settings() { return registry.keys[kSettingsKey]; }
    UserSettings Read() { return ReadUserSettings(registry, strings, prefs); }

    FakeRegistry registry;
    FakeStrings strings;
    ScrPrefs prefs = DefaultPrefs();
};

TEST_F(UserSettingsTest, MissingKeyOrKeyNameLeavesTheDefaults) {
    UserSettings settings = Read();
    EXPECT_EQ(settings.passwordDelay, 60u);
    EXPECT_EQ(settings.mouseThreshold, 0);
    EXPECT_EQ(settings.corners, (std::array<CS, 4>{}));

    Settings()["Password Delay"] = Dword(5);
    strings.texts.erase(IDS_DK_SETTINGS_KEY);
    EXPECT_EQ(Read().passwordDelay, 60u);
}

TEST_F(UserSettingsTest, ReadsTheStoredNumbers) {
    Settings() = {{"Password Delay", Dword(90)},        {"Password Delay Index", Dword(1)},
                  {"Mouse Threshold", Dword(999999)},   {"Mouse Threshold Index", Dword(3)},
                  {"Mute Sound", Dword(1)},             {"Active Config", Dword(1)}};
    prefs.fActiveConfig = 1;
    const UserSettings settings = Read();
    EXPECT_EQ(settings.passwordDelay, 90u);
    EXPECT_EQ(settings.passwordDelayIndex, 1u);
    EXPECT_EQ(settings.mouseThreshold, 999999);
    EXPECT_EQ(settings.mouseThresholdIndex, 3u);
    EXPECT_EQ(settings.muteSound, 1u);
    EXPECT_EQ(settings.activeConfig, 1u);
}

TEST_F(UserSettingsTest, ClampsBothIndexValues) {
    struct Case {
        std::uint32_t stored, delayIndex, thresholdIndex;
    };
    for (const Case c : {Case{0, 0, 0}, Case{1, 1, 1}, Case{2, 1, 2}, Case{3, 1, 3},
                         Case{7, 1, 3}, Case{12, 1, 3}, Case{0xFFFFFFFF, 1, 3}}) {
        Settings()["Password Delay Index"] = Dword(c.stored);
        Settings()["Mouse Threshold Index"] = Dword(c.stored);
        const UserSettings settings = Read();
        EXPECT_EQ(settings.passwordDelayIndex, c.delayIndex) << c.stored;
        EXPECT_EQ(settings.mouseThresholdIndex, c.thresholdIndex) << c.stored;
    }
}

TEST_F(UserSettingsTest, MuteAndActiveConfigAreReadOnlyWhenTheClientOffersThem) {
    Settings() = {{"Mute Sound", Dword(1)}, {"Active Config", Dword(1)}};
    prefs.fMuteSound = 0;
    prefs.fActiveConfig = 0;
    UserSettings settings = Read();
    EXPECT_EQ(settings.muteSound, 0u);
    EXPECT_EQ(settings.activeConfig, 0u);
    prefs.fMuteSound = 1;
    settings = Read();
    EXPECT_EQ(settings.muteSound, 1u);
    EXPECT_EQ(settings.activeConfig, 0u);
}

TEST_F(UserSettingsTest, MouseCornersMapYesNoAndAnythingElse) {
    struct Case {
        Bytes stored;
        std::array<CS, 4> corners;
    };
    const Case cases[] = {
        {Text("YN-x"), {CS::Now, CS::Never, CS::Default, CS::Default}},
        {Text("NNYY"), {CS::Never, CS::Never, CS::Now, CS::Now}},
        {Text("NNYY", false), {CS::Never, CS::Never, CS::Now, CS::Now}},
        {Text("yn-N"), {CS::Default, CS::Default, CS::Default, CS::Never}},
        // A shorter text: the corners past its end are Default.
        {Text("YN"), {CS::Now, CS::Never, CS::Default, CS::Default}},
        {Bytes{'Y', 0, 'N', 'N'}, {CS::Now, CS::Default, CS::Default, CS::Default}},
        {Text(""), {}},
        // Five characters and a terminator do not fit: all Default.
        {Text("YNYNY"), {}},
        {Text("YNYNY", false), {CS::Now, CS::Never, CS::Now, CS::Never}},
    };
    for (const Case& c : cases) {
        Settings()["Mouse Corners"] = c.stored;
        EXPECT_EQ(Read().corners, c.corners)
            << std::string(c.stored.begin(), c.stored.end());
    }
}

TEST_F(UserSettingsTest, StoredTypeDoesNotMatterButSizeDoes) {
    // Two bytes are a small number, eight bytes do not fit the 4-byte
    // buffer and an empty value counts as missing.
    Settings() = {{"Password Delay", Bytes{0x2C, 0x01}},
                  {"Mouse Threshold", Bytes(8, 0x11)},
                  {"Mouse Threshold Index", Bytes{}}};
    const UserSettings settings = Read();
    EXPECT_EQ(settings.passwordDelay, 300u);
    EXPECT_EQ(settings.mouseThreshold, 0);
    EXPECT_EQ(settings.mouseThresholdIndex, 0u);
}

TEST_F(UserSettingsTest, AValueWhoseNameDoesNotLoadIsSkipped) {
    Settings() = {{"Password Delay", Dword(5)}, {"Mouse Threshold", Dword(200)}};
    strings.texts.erase(IDS_DK_PASSWORD_DELAY);
    const UserSettings settings = Read();
    EXPECT_EQ(settings.passwordDelay, 60u);
    EXPECT_EQ(settings.mouseThreshold, 200);
}

TEST_F(UserSettingsTest, FillsTheChangeBlockButItsSize) {
    Settings() = {{"Password Delay", Dword(30)}, {"Mouse Threshold", Dword(400)},
                  {"Mouse Corners", Text("-YN-")}, {"Mute Sound", Dword(1)}};
    PrefsChangeBlock block{};
    block.size = 99;
    FillChangeBlock(Read(), block);
    EXPECT_EQ(block.size, 99u);
    EXPECT_EQ(block.corners[1], CS::Now);
    EXPECT_EQ(block.corners[2], CS::Never);
    EXPECT_EQ(block.muteSound, 1);
    EXPECT_EQ(block.mouseThreshold, 400);
    EXPECT_EQ(block.passwordDelay, 30);
    EXPECT_EQ(block.activeConfig, 0);
}

// The system's password switch on, and diagnostics recorded.
struct PasswordWorld {
    PasswordWorld() {
        registry.keys[kDesktopKey]["ScreenSaveUsePassword"] = Dword(1);
        prefs.fDebugOutput = 1;
    }
    bool Need(std::uint32_t now, std::uint32_t start, std::uint32_t delay) {
        return NeedPassword(now, start, delay, registry, strings, diagnostics);
    }

    FakeRegistry registry;
    FakeStrings strings;
    ScrPrefs prefs = DefaultPrefs();
    RecordingSink sink;
    Diagnostics diagnostics{prefs, &sink};
};

class NeedPasswordTest : public testing::Test, public PasswordWorld {};

TEST_F(NeedPasswordTest, CountsWholeSecondsOfTheDelay) {
    EXPECT_FALSE(Need(1000 + 59900, 1000, 60));
    EXPECT_FALSE(Need(1000 + 59999, 1000, 60));
    EXPECT_TRUE(Need(1000 + 60000, 1000, 60));
    // Delay 0 asks at every close, even at once.
    EXPECT_TRUE(Need(1000, 1000, 0));
}

TEST_F(NeedPasswordTest, CountsAcrossTheTickWrap) {
    const std::uint32_t start = 0xFFFFF000u;  // 4.096 s before the wrap
    EXPECT_FALSE(Need(start + 59900u, start, 60));
    EXPECT_TRUE(Need(start + 60000u, start, 60));
    EXPECT_LT(start + 60000u, start);  // the tick has wrapped
}

TEST_F(NeedPasswordTest, AnswersNoWhenTheSwitchIsOffOrUnreadable) {
    auto& desktop = registry.keys[kDesktopKey];
    desktop["ScreenSaveUsePassword"] = Dword(0);
    EXPECT_FALSE(Need(100000, 0, 60));
    desktop["ScreenSaveUsePassword"] = Bytes(8, 1);  // does not fit
    EXPECT_FALSE(Need(100000, 0, 60));
    desktop["ScreenSaveUsePassword"] = Bytes{0, 1};  // any non-zero byte
    EXPECT_TRUE(Need(100000, 0, 60));
    desktop.erase("ScreenSaveUsePassword");
    EXPECT_FALSE(Need(100000, 0, 60));
    registry.keys.erase(kDesktopKey);
    EXPECT_FALSE(Need(100000, 0, 60));
}

TEST(NeedPassword, TracesEachDecision) {
    struct Case {
        const char* what;
        std::function<void(PasswordWorld&)> change;
        std::uint32_t now;
        const char* lastLine;
    };
    const Case cases[] = {
        {"within", [](PasswordWorld&) {}, 5000, "Nope, we're within the delay..."},
        {"yes", [](PasswordWorld&) {}, 60000, "NeedPassword: yes, we do need the password"},
        {"no",
         [](PasswordWorld& t) { t.registry.keys[kDesktopKey]["ScreenSaveUsePassword"] = Dword(0); },
         60000, "NeedPassword: no, we don't need the password"},
        {"key string", [](PasswordWorld& t) { t.strings.texts.erase(IDS_DK_DESKTOP_KEY); }, 60000,
         "NeedPassword: failed to load screensaver reg. key string. Aborting"},
        {"key", [](PasswordWorld& t) { t.registry.keys.clear(); }, 60000,
         "NeedPassword: could not get screensaver reg. key. Aborting"},
        {"value string", [](PasswordWorld& t) { t.strings.texts.erase(IDS_DK_USE_PASSWORD); },
         60000, "NeedPassword: failed to load 'usepw' key name. Aborting"},
        {"value", [](PasswordWorld& t) { t.registry.keys[kDesktopKey].clear(); }, 60000,
         "NeedPassword: failed to get 'usepw' value from registry. Aborting"},
    };
    for (const Case& c : cases) {
        PasswordWorld t;
        c.change(t);
        t.Need(c.now, 0, 60);
        ASSERT_FALSE(t.sink.lines.empty()) << c.what;
        EXPECT_EQ(t.sink.lines.front(), PlainTraceLine("NeedPassword? Checking the timer")) << c.what;
        EXPECT_EQ(t.sink.lines.back(), PlainTraceLine(c.lastLine)) << c.what;
    }
}

}  // namespace
}  // namespace kit
