#include "kit/core/prefs.h"

#include <gtest/gtest.h>

#include <cstring>

#include "kit/core/diagnostics.h"
#include "kit/core/testing/test_fakes.h"

namespace kit {
namespace {

class PreferencesTest : public testing::Test {
protected:
    void SetUp() override { prefs.ApplyDefaultsOnce(); }

    Preferences prefs;
    RecordingSink sink;
    Diagnostics diagnostics{prefs.Current(), &sink};
};

TEST_F(PreferencesTest, InstallsEveryFieldButTheSizeAndKeepsThem) {
    // Every field a value of its own, so a field copied to the wrong place shows.
    ScrPrefs record{};
    std::int32_t* flags[] = {&record.fActiveConfig,
                             &record.fMuteSound,
                             &record.fDebugOutput,
                             &record.fDebugWindow,
                             &record.fNoAboutItem,
                             &record.fNoPreviewUpdate,
                             &record.fNoTimers,
                             &record.fAlwaysRequirePassword,
                             &record.fNeverRequirePassword,
                             &record.fPasswordForActiveConfig};
    for (std::int32_t i = 0; i < 10; ++i) *flags[i] = i == 2 ? 0 : 10 + i;
    std::memset(record.szReserved1, 'A', sizeof record.szReserved1);  // no terminator
    std::strcpy(record.szReserved2, "second");
    record.cbSize = 3;

    EXPECT_EQ(prefs.Install(&record, false, diagnostics), Preferences::SetResult::Installed);
    prefs.ApplyDefaultsOnce();  // once per process: changes nothing now
    ScrPrefs expected = record;
    expected.cbSize = 556;
    std::memset(expected.szReserved1, 'A', 255);
    expected.szReserved1[255] = '\0';
    const ScrPrefs copy = prefs.Copy();
    EXPECT_EQ(std::memcmp(&copy, &expected, sizeof copy), 0);
    EXPECT_TRUE(sink.boxes.empty());
}

TEST_F(PreferencesTest, RefusesWhileRunningAndReportsOnlyInDebugOutput) {
    ScrPrefs record = prefs.Copy();
    record.fNoTimers = 1;
    EXPECT_EQ(prefs.Install(&record, true, diagnostics), Preferences::SetResult::Refused);
    EXPECT_EQ(prefs.Current().fNoTimers, 0);
    EXPECT_TRUE(sink.boxes.empty());
    EXPECT_TRUE(sink.lines.empty());

    record.fDebugOutput = 1;
    record.fNoTimers = 0;
    prefs.Install(&record, false, diagnostics);
    EXPECT_EQ(prefs.Install(&record, true, diagnostics), Preferences::SetResult::Refused);
    EXPECT_EQ(prefs.Install(nullptr, false, diagnostics), Preferences::SetResult::Missing);
    ASSERT_EQ(sink.boxes.size(), 2u);
    EXPECT_EQ(sink.boxes[0].text, "You are not allowed to set prefs while screensaver is running");
    EXPECT_EQ(sink.boxes[0].caption, "Prefs error");
    EXPECT_EQ(sink.boxes[1].text, "ScrSetPrefs called with NULL preferences");
    EXPECT_EQ(sink.lines.front(),
              "You are not allowed to set prefs while screensaver is running___________  \n\r");
}

TEST_F(PreferencesTest, BothPasswordFlagsStayWithAWarningJudgedOnTheNewValues) {
    ScrPrefs record = prefs.Copy();
    record.fAlwaysRequirePassword = 1;
    record.fNeverRequirePassword = 1;
    prefs.Install(&record, false, diagnostics);
    EXPECT_TRUE(sink.boxes.empty());  // debug output off

    record.fDebugOutput = 1;  // switched on by this very call
    EXPECT_EQ(prefs.Install(&record, false, diagnostics), Preferences::SetResult::Installed);
    EXPECT_EQ(prefs.Current().fAlwaysRequirePassword, 1);
    EXPECT_EQ(prefs.Current().fNeverRequirePassword, 1);
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].text,
              "You have set always-require-password AND never-require-password, which is silly!");
}

// (The lines' endings and window kinds: the saver window's trace test.)
TEST(Diagnostics, ALineIsCutTo199Characters) {
    EXPECT_EQ(PlainTraceLine(std::string(400, 'x')), std::string(199, 'x'));
}

}  // namespace
}  // namespace kit
