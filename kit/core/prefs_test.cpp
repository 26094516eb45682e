#include "kit/core/prefs.h"

#include <gtest/gtest.h>

#include <cstring>

#include "kit/core/diagnostics.h"
#include "kit/core/test_fakes.h"

namespace kit {
namespace {

// Every field set to a value of its own, so a field copied into the wrong
// place shows.
ScrPrefs Distinct() {
    ScrPrefs p{};
    p.cbSize = 3;
    p.fActiveConfig = 11;
    p.fMuteSound = 0;
    p.fDebugOutput = 13;
    p.fDebugWindow = 14;
    p.fNoAboutItem = 15;
    p.fNoPreviewUpdate = 16;
    p.fNoTimers = 17;
    std::strcpy(p.szReserved1, "first");
    std::strcpy(p.szReserved2, "second");
    p.fAlwaysRequirePassword = 0;
    p.fNeverRequirePassword = 19;
    p.fPasswordForActiveConfig = 0;
    return p;
}

class PreferencesTest : public testing::Test {
protected:
    void SetUp() override { prefs.ApplyDefaultsOnce(); }

    Preferences prefs;
    RecordingSink sink;
    Diagnostics diagnostics{prefs.Current(), &sink};
};

TEST_F(PreferencesTest, DefaultsOfferMuteAndAskPasswordForActiveConfiguration) {
    const ScrPrefs p = prefs.Copy();
    EXPECT_EQ(p.cbSize, 556u);
    EXPECT_EQ(p.fMuteSound, 1);
    EXPECT_EQ(p.fPasswordForActiveConfig, 1);
    for (std::int32_t flag : {p.fActiveConfig, p.fDebugOutput, p.fDebugWindow, p.fNoAboutItem,
                              p.fNoPreviewUpdate, p.fNoTimers, p.fAlwaysRequirePassword,
                              p.fNeverRequirePassword})
        EXPECT_EQ(flag, 0);
    EXPECT_STREQ(p.szReserved1, "");
    EXPECT_STREQ(p.szReserved2, "");
}

TEST_F(PreferencesTest, InstallsEveryFieldButTheSize) {
    const ScrPrefs record = Distinct();
    EXPECT_EQ(prefs.Install(&record, false, diagnostics), Preferences::SetResult::Installed);
    ScrPrefs expected = record;
    expected.cbSize = 556;
    const ScrPrefs copy = prefs.Copy();
    EXPECT_EQ(std::memcmp(&copy, &expected, sizeof copy), 0);

    // Defaults are applied once per process: later they change nothing.
    prefs.ApplyDefaultsOnce();
    EXPECT_EQ(prefs.Current().fNoTimers, 17);
}

TEST_F(PreferencesTest, RefusesWhileRunningAndSaysSoOnlyInDebugOutput) {
    ScrPrefs record = Distinct();
    record.fDebugOutput = 0;
    EXPECT_EQ(prefs.Install(&record, true, diagnostics), Preferences::SetResult::Refused);
    EXPECT_EQ(prefs.Current().fNoTimers, 0);
    EXPECT_TRUE(sink.boxes.empty());
    EXPECT_TRUE(sink.lines.empty());

    record.fDebugOutput = 1;
    ASSERT_EQ(prefs.Install(&record, false, diagnostics), Preferences::SetResult::Installed);
    record.fNoTimers = 0;
    EXPECT_EQ(prefs.Install(&record, true, diagnostics), Preferences::SetResult::Refused);
    EXPECT_EQ(prefs.Current().fNoTimers, 17);
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].text, "You are not allowed to set prefs while screensaver is running");
    EXPECT_EQ(sink.boxes[0].caption, "Prefs error");
    ASSERT_EQ(sink.lines.size(), 1u);
    EXPECT_EQ(sink.lines[0],
              "You are not allowed to set prefs while screensaver is running___________  \n\r");
}

TEST_F(PreferencesTest, NoRecordIsReported) {
    ScrPrefs debug = prefs.Copy();
    debug.fDebugOutput = 1;
    prefs.Install(&debug, false, diagnostics);
    EXPECT_EQ(prefs.Install(nullptr, false, diagnostics), Preferences::SetResult::Missing);
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].text, "ScrSetPrefs called with NULL preferences");
    EXPECT_EQ(sink.boxes[0].caption, "Prefs error");
}

TEST_F(PreferencesTest, BothPasswordFlagsStayInstalledWithAWarningJudgedOnTheNewValues) {
    ScrPrefs record = prefs.Copy();
    record.fAlwaysRequirePassword = 1;
    record.fNeverRequirePassword = 1;
    EXPECT_EQ(prefs.Install(&record, false, diagnostics), Preferences::SetResult::Installed);
    EXPECT_TRUE(sink.boxes.empty());  // debug output is off in the record

    record.fDebugOutput = 1;  // was off before this call
    prefs.Install(&record, false, diagnostics);
    EXPECT_EQ(prefs.Current().fAlwaysRequirePassword, 1);
    EXPECT_EQ(prefs.Current().fNeverRequirePassword, 1);
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].text,
              "You have set always-require-password AND never-require-password, which is silly!");
}

TEST_F(PreferencesTest, TextsWithoutTerminatorAreCutTo255Characters) {
    ScrPrefs record = prefs.Copy();
    std::memset(record.szReserved1, 'A', sizeof record.szReserved1);
    std::memset(record.szReserved2, 'B', sizeof record.szReserved2);
    prefs.Install(&record, false, diagnostics);
    const ScrPrefs copy = prefs.Copy();
    EXPECT_EQ(std::string(copy.szReserved1), std::string(255, 'A'));
    EXPECT_EQ(std::string(copy.szReserved2), std::string(255, 'B'));
}

TEST(Diagnostics, LinesCarryTheirEndingAndWindowKind) {
    EXPECT_EQ(PlainTraceLine("Thread: x"), "Thread: x___________  \n\r");
    EXPECT_EQ(WindowTraceLine(WindowKind::Full, "WM_CREATE..."),
              "full DefSaverProc: WM_CREATE..._________  \n\r");
    EXPECT_EQ(WindowTraceLine(WindowKind::Preview, "WM_DESTROY: tidying up"),
              "preview DefSaverProc: WM_DESTROY: tidying up_________  \n\r");
}

TEST(Diagnostics, LongLinesAreCutToTheBuffer) {
    const std::string line = PlainTraceLine(std::string(400, 'x'));
    EXPECT_EQ(line, std::string(199, 'x'));
    EXPECT_EQ(WindowTraceLine(WindowKind::Preview, std::string(185, 'y')).size(), 199u);
}

TEST(Diagnostics, NothingIsWrittenOrShownWithoutDebugOutput) {
    ScrPrefs prefs = DefaultPrefs();
    RecordingSink sink;
    Diagnostics diagnostics(prefs, &sink);
    diagnostics.Trace("a");
    diagnostics.Trace(WindowKind::Full, "b");
    diagnostics.TraceAndBox("c", "d", 5);
    EXPECT_TRUE(sink.lines.empty());
    EXPECT_TRUE(sink.boxes.empty());

    prefs.fDebugOutput = 1;
    diagnostics.TraceAndBox("c", "d", 5);
    ASSERT_EQ(sink.lines.size(), 1u);
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].owner, 5u);
    EXPECT_EQ(sink.boxes[0].caption, "d");
}

}  // namespace
}  // namespace kit
