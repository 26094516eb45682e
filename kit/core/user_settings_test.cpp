#include "kit/core/user_settings.h"

#include <gtest/gtest.h>

#include "kit/core/testing/test_fakes.h"

namespace kit {
namespace {

using CS = CornerState;

class UserSettingsTest : public testing::Test {
protected:
    FakeRegistry::Values& Stored() { return registry.keys[kSettingsKey]; }
    UserSettings Read() { return ReadUserSettings(registry, strings, prefs); }

    FakeRegistry registry;
    FakeStrings strings;
    ScrPrefs prefs = DefaultPrefs();
};

TEST_F(UserSettingsTest, ReadsWhatIsStoredAndDefaultsTheRest) {
    EXPECT_EQ(Read().passwordDelay, 60u);               // no key at all
    Stored() = {{"Password Delay", Bytes{0x2C, 0x01}},  // two bytes of any type: 300
                {"Mouse Threshold", Bytes(8, 0x11)},    // does not fit four bytes
                {"Mouse Threshold Index", Dword(2)},
                {"Mute Sound", Dword(1)},
                {"Active Config", Dword(1)}};
    const UserSettings settings = Read();
    EXPECT_EQ(settings.passwordDelay, 300u);
    EXPECT_EQ(settings.mouseThreshold, 0);
    EXPECT_EQ(settings.mouseThresholdIndex, 2u);
    EXPECT_EQ(settings.muteSound, 1u);
    EXPECT_EQ(settings.activeConfig, 0u);  // the client does not offer it

    prefs.fActiveConfig = 1;
    prefs.fMuteSound = 0;
    strings.texts.erase(IDS_DK_PASSWORD_DELAY);  // a name that does not load is skipped
    const UserSettings other = Read();
    EXPECT_EQ(other.activeConfig, 1u);
    EXPECT_EQ(other.muteSound, 0u);
    EXPECT_EQ(other.passwordDelay, 60u);
}

TEST_F(UserSettingsTest, ClampsBothIndexValues) {
    struct Case {
        std::uint32_t stored, delayIndex, thresholdIndex;
    };
    for (const Case c : {Case{1, 1, 1}, Case{3, 1, 3}, Case{7, 1, 3}, Case{0xFFFFFFFF, 1, 3}}) {
        Stored()["Password Delay Index"] = Dword(c.stored);
        Stored()["Mouse Threshold Index"] = Dword(c.stored);
        const UserSettings settings = Read();
        EXPECT_EQ(settings.passwordDelayIndex, c.delayIndex) << c.stored;
        EXPECT_EQ(settings.mouseThresholdIndex, c.thresholdIndex) << c.stored;
    }
}

TEST_F(UserSettingsTest, MouseCornersMapYesNoAndAnythingElse) {
    const struct {
        Bytes stored;
        std::array<CS, 4> corners;
    } cases[] = {
        {Text("YN-x"), {CS::Now, CS::Never, CS::Default, CS::Default}},
        {Text("yn-N"), {CS::Default, CS::Default, CS::Default, CS::Never}},
        {Text("NNYY", false), {CS::Never, CS::Never, CS::Now, CS::Now}},
        {Text("YN"), {CS::Now, CS::Never, CS::Default, CS::Default}},
        {Bytes{'Y', 0, 'N', 'N'}, {CS::Now, CS::Default, CS::Default, CS::Default}},
        {Text("YNYNY"), {}},  // five characters and a terminator do not fit
    };
    for (const auto& c : cases) {
        Stored()["Mouse Corners"] = c.stored;
        EXPECT_EQ(Read().corners, c.corners) << std::string(c.stored.begin(), c.stored.end());
    }
}

class NeedPasswordTest : public testing::Test {
protected:
    void SetUp() override { registry.keys[kDesktopKey]["ScreenSaveUsePassword"] = Dword(1); }
    bool Need(std::uint32_t now, std::uint32_t start, std::uint32_t delay) {
        return NeedPassword(now, start, delay, registry, strings, diagnostics);
    }

    FakeRegistry registry;
    FakeStrings strings;
    ScrPrefs prefs = DefaultPrefs();
    RecordingSink sink;
    Diagnostics diagnostics{prefs, &sink};
};

TEST_F(NeedPasswordTest, CountsWholeSecondsOfTheDelayAcrossTheTickWrap) {
    for (const std::uint32_t start : {1000u, 0xFFFFF000u}) {
        EXPECT_FALSE(Need(start + 59900u, start, 60)) << start;
        EXPECT_TRUE(Need(start + 60000u, start, 60)) << start;
    }
    EXPECT_TRUE(Need(1000, 1000, 0));  // delay 0 asks at every close
}

TEST_F(NeedPasswordTest, AnswersNoWhenTheSwitchIsOffOrCannotBeRead) {
    prefs.fDebugOutput = 1;
    auto& desktop = registry.keys[kDesktopKey];
    desktop["ScreenSaveUsePassword"] = Dword(0);
    EXPECT_FALSE(Need(100000, 0, 60));
    EXPECT_EQ(sink.lines.back(), PlainTraceLine("NeedPassword: no, we don't need the password"));
    desktop["ScreenSaveUsePassword"] = Bytes(8, 1);  // does not fit
    EXPECT_FALSE(Need(100000, 0, 60));
    desktop.erase("ScreenSaveUsePassword");
    EXPECT_FALSE(Need(100000, 0, 60));
    EXPECT_EQ(sink.lines.back(),
              PlainTraceLine("NeedPassword: failed to get 'usepw' value from registry. Aborting"));
    registry.keys.clear();
    EXPECT_FALSE(Need(100000, 0, 60));
    strings.texts.erase(IDS_DK_DESKTOP_KEY);
    EXPECT_FALSE(Need(100000, 0, 60));
}

}  // namespace
}  // namespace kit
