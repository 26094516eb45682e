// The client interface called in this process: version, preferences and
// the user's settings as the real registry gives them back.
#include <gtest/gtest.h>

#include <cstring>

#include "kit/win32/dozekit.h"
#include "kit/win32/testing/saver_run.h"

namespace {

TEST(ClientInterface, VersionIsCopiedAsFarAsItFits) {
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(ScrGetVersion(buffer, sizeof buffer), 4);
    EXPECT_STREQ(buffer, "1.5s");
    EXPECT_EQ(ScrGetVersion(buffer, 3), 4);
    EXPECT_STREQ(buffer, "1.");
    EXPECT_EQ(ScrGetVersion(nullptr, 0), 4);
}

TEST(ClientInterface, PreferencesGoAndComeBack) {
    LPSCRPREFS prefs = ScrGetPrefs();
    ASSERT_TRUE(prefs);
    EXPECT_EQ(prefs->cbSize, 556u);
    EXPECT_EQ(prefs->fMuteSound, 1);
    EXPECT_EQ(prefs->fDebugOutput, 0);
    prefs->fDebugWindow = 1;
    std::strcpy(prefs->szReserved2, "kept");
    ScrSetPrefs(prefs);

    LPSCRPREFS again = ScrGetPrefs();
    ASSERT_TRUE(again);
    EXPECT_EQ(again->fDebugWindow, 1);
    EXPECT_STREQ(again->szReserved2, "kept");

    // A record the kit did not give out is installed and left to its owner.
    SCRPREFS own = *again;
    own.fDebugWindow = 0;
    own.szReserved2[0] = '\0';
    ScrSetPrefs(&own);
    ScrSetPrefs(again);  // hands the kit's record back
    LPSCRPREFS last = ScrGetPrefs();
    EXPECT_EQ(last->fDebugWindow, 1);
    last->fDebugWindow = 0;
    last->szReserved2[0] = '\0';
    ScrSetPrefs(last);
    ScrSetPrefs(nullptr);  // nothing to install; nothing happens
}

class StoredSettings : public testing::Test {
protected:
    static PrefsChangeBlock Read() {
        PrefsChangeBlock block{};
        block.size = 1234;
        ScrGetSettings(&block);
        return block;
    }
    static std::vector<BYTE> Text(const char* text) {
        return std::vector<BYTE>(text, text + std::strlen(text) + 1);
    }

    kittest::UserSettingsScope settings;
};

TEST_F(StoredSettings, NothingStoredGivesTheDefaults) {
    const PrefsChangeBlock block = Read();
    EXPECT_EQ(block.size, 1234u);
    EXPECT_EQ(block.passwordDelay, 60);
    EXPECT_EQ(block.mouseThreshold, 0);
    EXPECT_EQ(block.muteSound, 0);
    EXPECT_EQ(block.activeConfig, 0);
    for (CornerState corner : block.corners) EXPECT_EQ(corner, CornerState::Default);
}

TEST_F(StoredSettings, StoredValuesAreReadRaw) {
    settings.SetNumber("Password Delay", 90);
    settings.SetNumber("Mouse Threshold", 400);
    settings.SetNumber("Mute Sound", 1);     // the kit's default preferences offer mute
    settings.SetNumber("Active Config", 1);  // but not active configuration
    settings.SetBytes("Mouse Corners", REG_SZ, Text("YN-x"));
    PrefsChangeBlock block = Read();
    EXPECT_EQ(block.passwordDelay, 90);
    EXPECT_EQ(block.mouseThreshold, 400);
    EXPECT_EQ(block.muteSound, 1);
    EXPECT_EQ(block.activeConfig, 0);
    EXPECT_EQ(block.corners[0], CornerState::Now);
    EXPECT_EQ(block.corners[1], CornerState::Never);
    EXPECT_EQ(block.corners[2], CornerState::Default);
    EXPECT_EQ(block.corners[3], CornerState::Default);

    // Two binary bytes are a number; five corner characters do not fit.
    settings.SetBytes("Password Delay", REG_BINARY, {0x2C, 0x01});
    settings.SetBytes("Mouse Corners", REG_SZ, Text("YNYNY"));
    block = Read();
    EXPECT_EQ(block.passwordDelay, 300);
    for (CornerState corner : block.corners) EXPECT_EQ(corner, CornerState::Default);
}

}  // namespace
