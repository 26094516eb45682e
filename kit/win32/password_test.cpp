// The password check when a saver closes, with a stand-in password
// provider (PASSWORD.CPL beside the test saver) that accepts or refuses.
#include <gtest/gtest.h>

#include <cstdio>

#include "kit/win32/testing/saver_run.h"

namespace {

using kittest::SaverRun;

class PasswordOnClose : public testing::Test {
protected:
    void SetUp() override {
        settings.SetNumber("Password Delay", 0);
        settings.SetPasswordSwitch(1);
    }

    static std::unique_ptr<SaverRun> Start(const char* answer,
                                           const std::string& program = kittest::TestSaverPath()) {
        auto saver = std::make_unique<SaverRun>(
            "/s",
            SaverRun::Environment{{"KITTEST_PASSWORD", answer}, {"KITTEST_PREFS", "debugoutput"}},
            program);
        EXPECT_TRUE(saver->Stays());
        return saver;
    }

    kittest::UserSettingsScope settings;
};

TEST_F(PasswordOnClose, ARefusedPasswordKeepsTheSaverAndAnAcceptedOneClosesIt) {
    auto refused = Start("refuse");
    refused->Post(WM_KEYDOWN, 'A');
    refused->Post(WM_CLOSE);
    EXPECT_TRUE(refused->Stays());
    EXPECT_EQ(refused->Lines("verify ").size(), 2u);

    auto accepted = Start("accept");
    char asked[32];  // the saver window owns the prompt
    std::snprintf(asked, sizeof asked, "verify %lx", kittest::HandleValue(accepted->Window()));
    accepted->Post(WM_KEYDOWN, 'A');
    EXPECT_EQ(accepted->Exit(), 2);
    EXPECT_EQ(accepted->Lines("verify "), std::vector<std::string>{asked});
}

// (The switch off or missing: the core's test.)
TEST_F(PasswordOnClose, TheSwitchOffClosesWithoutAsking) {
    settings.SetPasswordSwitch(0);
    auto saver = Start("refuse");
    saver->Post(WM_KEYDOWN, 'A');
    EXPECT_EQ(saver->Exit(), 2);
    EXPECT_FALSE(saver->Logged("verify "));
}

TEST_F(PasswordOnClose, AMissingPasswordProviderLetsTheSaverClose) {
    // The test saver alone, without its PASSWORD.CPL.
    char directory[MAX_PATH] = {};
    ::GetTempPathA(sizeof directory, directory);
    const std::string lonely = std::string(directory) + "kittest_lonely_saver.exe";
    ASSERT_TRUE(::CopyFileA(kittest::TestSaverPath().c_str(), lonely.c_str(), FALSE));
    {
        auto saver = Start("refuse", lonely);
        saver->Post(WM_KEYDOWN, 'A');
        EXPECT_EQ(saver->Exit(), 2);
        EXPECT_TRUE(
            saver->Logged("trace DoVerifyPwDialog: unable to load pwdprovider library. Aborting"));
    }
    ::DeleteFileA(lonely.c_str());
}

TEST_F(PasswordOnClose, APreviewClosesWithoutAPassword) {
    kittest::HostWindow host("KitTestHostClass", 200, 150);
    SaverRun saver("/p " + std::to_string(kittest::HandleValue(host.Get())),
                   {{"KITTEST_PASSWORD", "refuse"}});
    ASSERT_TRUE(saver.Stays());
    saver.Post(WM_CLOSE);
    EXPECT_EQ(saver.Exit(), 2);
    EXPECT_FALSE(saver.Logged("verify "));
}

}  // namespace
