#include "hotcorners/core/settings_rules.h"

#include <gtest/gtest.h>

#include <map>

namespace hotcorners {
namespace {

TEST(SettingsRules, OpeningShowsWhatIsThereAndANewInstallGetsItsDefaults) {
    FoundSettings found{.corners = {'-', '-', 'N', '-'},
                        .shortcutExists = false,
                        .pageRegistered = true,
                        .showFeedback = false,
                        .showIcon = true};
    const SettingsChoices shown = OpeningChoices(found, SettingsMode::Normal);
    EXPECT_EQ(shown.corners, found.corners);
    EXPECT_FALSE(shown.startup);
    EXPECT_TRUE(shown.page);
    EXPECT_FALSE(shown.feedback);
    EXPECT_TRUE(shown.icon);

    // A corner the user has set survives a reinstall; the page and the
    // shortcut are ticked. The shown install ticks both options; the silent
    // one, run by every reinstallation and upgrade, keeps what the user set.
    for (const SettingsMode mode : {SettingsMode::Install, SettingsMode::Silent}) {
        const SettingsChoices install = OpeningChoices(found, mode);
        EXPECT_EQ(install.corners, found.corners);
        EXPECT_TRUE(install.page && install.startup);
    }
    const SettingsChoices shownInstall = OpeningChoices(found, SettingsMode::Install);
    EXPECT_TRUE(shownInstall.feedback && shownInstall.icon);
    for (const bool feedback : {false, true})
        for (const bool icon : {false, true}) {
            FoundSettings set = found;
            set.showFeedback = feedback;
            set.showIcon = icon;
            const SettingsChoices silent = OpeningChoices(set, SettingsMode::Silent);
            EXPECT_EQ(silent.feedback, feedback);
            EXPECT_EQ(silent.icon, icon);
        }

    // No corner set at all: top-left Now, top-right Never - only when installing.
    found.corners = kNoActions;
    for (const SettingsMode mode : {SettingsMode::Install, SettingsMode::Silent})
        EXPECT_EQ(OpeningChoices(found, mode).corners, (CornerActions{'Y', 'N', '-', '-'}));
    EXPECT_EQ(OpeningChoices(found, SettingsMode::Normal).corners, kNoActions);

    EXPECT_TRUE(StartsServiceAtOpening(SettingsMode::Install, false));
    EXPECT_FALSE(StartsServiceAtOpening(SettingsMode::Install, true));
    EXPECT_FALSE(StartsServiceAtOpening(SettingsMode::Silent, false));
    EXPECT_FALSE(StartsServiceAtOpening(SettingsMode::Normal, false));
}

// Every combination of the three ways back, and what OK then does to the
// service: the question and the service's end go together.
TEST(SettingsRules, OkWithoutAWayBackAsksAndEndsTheService) {
    for (int bits = 0; bits < 8; ++bits) {
        SettingsChoices choices;
        choices.page = bits & 1;
        choices.icon = bits & 2;
        choices.startup = bits & 4;
        const bool wayBack = choices.page || (choices.icon && choices.startup);
        EXPECT_EQ(KeepsWayBack(choices), wayBack) << bits;
        EXPECT_EQ(ServiceAfterApply(choices, true, false),
                  wayBack ? ServiceStep::None : ServiceStep::End)
            << bits;
        EXPECT_EQ(ServiceAfterApply(choices, true, true),
                  wayBack ? ServiceStep::None : ServiceStep::End)
            << bits;
        // Only a silent install starts a service that does not run.
        EXPECT_EQ(ServiceAfterApply(choices, false, true), ServiceStep::Start) << bits;
        EXPECT_EQ(ServiceAfterApply(choices, false, false), ServiceStep::None) << bits;
    }
}

TEST(SettingsRules, CornersBetweenControlAndRegistry) {
    EXPECT_EQ(CornersText({'Y', 'N', '-', '-'}), "YN--");
    // Whatever else stands in the copy is written as Default.
    EXPECT_EQ(CornersText({'y', '\0', 'N', 'x'}), "--N-");
    using kit::CornerState;
    const kit::CornerActions control = {CornerState::Never, CornerState::Default, CornerState::Now,
                                        static_cast<CornerState>(3)};
    EXPECT_EQ(FromControl(control), (CornerActions{'N', '-', 'Y', '-'}));
    EXPECT_EQ(ToControl({'N', '-', 'Y', 'n'}),
              (kit::CornerActions{CornerState::Never, CornerState::Default, CornerState::Now,
                                  CornerState::Default}));
}

// A registry that refuses what it is told to.
class FakeStore : public RegistrationStore {
public:
    bool classAllowed = true;
    bool pageAllowed = true;
    std::map<std::string, std::string> keys;  // key -> default value

    bool WriteClass(const std::string& libraryPath) override {
        if (!classAllowed) return false;
        keys["class"] = libraryPath;
        return true;
    }
    bool WritePageKey() override {
        if (!pageAllowed) return false;
        keys["page"] = kClassId;
        return true;
    }
    bool RemovePageKey() override {
        if (!pageAllowed) return false;
        keys.erase("page");
        return true;
    }
};

TEST(SettingsRules, RegistrationTellsWhatWasRefusedAndNeverLeavesAPageWithoutItsClass) {
    using P = RegistrationProblem;
    const std::string path = "C:\\WINDOWS\\edgewake.dll";
    {
        FakeStore store;
        EXPECT_TRUE(ApplyRegistration(store, path, true).empty());
        EXPECT_EQ(store.keys["class"], path);
        EXPECT_EQ(store.keys["page"], kClassId);
        EXPECT_TRUE(ApplyRegistration(store, path, false).empty());
        EXPECT_EQ(store.keys.count("page"), 0u);
        EXPECT_EQ(store.keys.count("class"), 1u);
    }
    {
        FakeStore store;
        store.classAllowed = false;
        EXPECT_EQ(ApplyRegistration(store, path, true),
                  (std::vector<P>{P::ClassRefused, P::PageNotAdded}));
        EXPECT_EQ(store.keys.count("page"), 0u);
        // Not wanting the page, the old key still goes.
        store.keys["page"] = kClassId;
        EXPECT_EQ(ApplyRegistration(store, path, false), (std::vector<P>{P::ClassRefused}));
        EXPECT_EQ(store.keys.count("page"), 0u);
    }
    {
        FakeStore store;
        store.pageAllowed = false;
        EXPECT_EQ(ApplyRegistration(store, path, true), (std::vector<P>{P::PageRefused}));
        EXPECT_EQ(ApplyRegistration(store, path, false), (std::vector<P>{P::PageNotRemoved}));
    }
    {
        // Without its own path the library cannot register a server.
        FakeStore store;
        EXPECT_EQ(ApplyRegistration(store, "", true),
                  (std::vector<P>{P::ClassRefused, P::PageNotAdded}));
        EXPECT_TRUE(store.keys.empty());
    }
}

TEST(SettingsRules, OneBoxLineForEachProblemInTurn) {
    using P = RegistrationProblem;
    EXPECT_EQ(ProblemText({}, false), "");
    const std::string text = ProblemText({P::ClassRefused, P::PageNotAdded}, true);
    const auto server = text.find(std::string("HKEY_CLASSES_ROOT\\") + kClassKey);
    EXPECT_LT(text.find("\"Mouse Corners\""), server);
    EXPECT_LT(server, text.find("was not added"));
    EXPECT_NE(text.find("was not added"), std::string::npos);
    EXPECT_NE(ProblemText({P::PageRefused}, false).find(kPageKey), std::string::npos);
}

}  // namespace
}  // namespace hotcorners
