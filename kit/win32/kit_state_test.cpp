// The client interface called in this process, against the real registry.
#include <gtest/gtest.h>

#include <cstring>

#include "kit/win32/dozekit.h"
#include "kit/win32/testing/saver_run.h"

namespace {

TEST(ClientInterface, PreferencesGoAndComeBack) {
    LPSCRPREFS prefs = ScrGetPrefs();
    ASSERT_TRUE(prefs);
    EXPECT_EQ(prefs->cbSize, 556u);
    prefs->fDebugWindow = 1;
    ScrSetPrefs(prefs);

    LPSCRPREFS again = ScrGetPrefs();
    EXPECT_EQ(again->fDebugWindow, 1);
    // A record the kit did not give out is installed and left to its owner.
    SCRPREFS own = *again;
    own.fDebugWindow = 0;
    ScrSetPrefs(&own);
    ScrSetPrefs(again);  // the kit's record, with fDebugWindow still 1
    LPSCRPREFS last = ScrGetPrefs();
    EXPECT_EQ(last->fDebugWindow, 1);
    last->fDebugWindow = 0;
    ScrSetPrefs(last);
}

TEST(ClientInterface, SettingsAreReadRawWithinTheirSizes) {
    kittest::UserSettingsScope settings;
    PrefsChangeBlock block{};
    block.size = 1234;
    ScrGetSettings(&block);
    EXPECT_EQ(block.passwordDelay, 60);

    // (Threshold, mute and active configuration: the saver's and sheet's tests.)
    settings.SetBytes("Password Delay", REG_BINARY, {0x2C, 0x01});
    settings.SetBytes("Mouse Corners", REG_SZ, {'Y', 'N', '-', 'x', 0});
    ScrGetSettings(&block);
    EXPECT_EQ(block.size, 1234u);
    EXPECT_EQ(block.passwordDelay, 300);
    EXPECT_EQ(block.corners[0], CornerState::Now);
    EXPECT_EQ(block.corners[1], CornerState::Never);

    // Five characters and a terminator do not fit the kit's five bytes.
    settings.SetBytes("Mouse Corners", REG_SZ, {'Y', 'N', 'Y', 'N', 'Y', 0});
    ScrGetSettings(&block);
    EXPECT_EQ(block.corners[0], CornerState::Default);
    EXPECT_EQ(block.corners[1], CornerState::Default);
}

}  // namespace
