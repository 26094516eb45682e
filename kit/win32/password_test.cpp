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
            "/s", SaverRun::Environment{{"KITTEST_PASSWORD", answer},
                                        {"KITTEST_PREFS", "debugoutput"}},
            program);
        EXPECT_TRUE(saver->Window());
        EXPECT_TRUE(saver->Stays());
        return saver;
    }

    kittest::UserSettingsScope settings;
};

TEST_F(PasswordOnClose, ARefusedPasswordKeepsTheSaverRunning) {
    auto saver = Start("refuse");
    saver->Post(WM_KEYDOWN, 'A');
    EXPECT_TRUE(saver->Stays());
    saver->Post(WM_CLOSE);
    EXPECT_TRUE(saver->Stays());
    EXPECT_EQ(saver->Lines("verify ").size(), 2u);
    EXPECT_TRUE(saver->Logged("trace full DefSaverProc: WM_CLOSE: not OK, so doing nothing"));
}

TEST_F(PasswordOnClose, AnAcceptedPasswordClosesTheSaver) {
    auto saver = Start("accept");
    saver->Post(WM_KEYDOWN, 'A');
    EXPECT_EQ(saver->Exit(), 2);
    char owner[32];
    std::snprintf(owner, sizeof owner, "verify %lx",
                  static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(saver->Window())));
    EXPECT_EQ(saver->Lines("verify "), std::vector<std::string>{owner});
}

TEST_F(PasswordOnClose, NoSwitchOrSwitchOffClosesWithoutAsking) {
    for (const std::optional<DWORD> passwordSwitch : {std::optional<DWORD>{0}, std::optional<DWORD>{}}) {
        settings.SetPasswordSwitch(passwordSwitch);
        auto saver = Start("refuse");
        saver->Post(WM_KEYDOWN, 'A');
        EXPECT_EQ(saver->Exit(), 2);
        EXPECT_FALSE(saver->Logged("verify "));
    }
}

TEST_F(PasswordOnClose, WithinTheDelayClosesWithoutAsking) {
    settings.SetNumber("Password Delay", 60);
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
        EXPECT_FALSE(saver->Logged("verify "));
        EXPECT_TRUE(saver->Logged(
            "trace DoVerifyPwDialog: unable to load pwdprovider library. Aborting"));
    }
    ::DeleteFileA(lonely.c_str());
}

TEST_F(PasswordOnClose, APreviewClosesWithoutAPassword) {
    kittest::HostWindow host("KitTestHostClass", 200, 150);
    SaverRun saver("/p " + std::to_string(reinterpret_cast<std::uintptr_t>(host.Get())),
                   {{"KITTEST_PASSWORD", "refuse"}});
    ASSERT_TRUE(saver.Window());
    ASSERT_TRUE(saver.Stays());
    saver.Post(WM_CLOSE);
    EXPECT_EQ(saver.Exit(), 2);
    EXPECT_FALSE(saver.Logged("verify "));
}

}  // namespace
