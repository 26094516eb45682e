// Binding the image library, with the real system directory and user's
// folder of the test session's Wine prefix. Every test leaves no
// imgoralib.dll behind in either.
#include "puzzle/win32/image_library.h"

#include <gtest/gtest.h>

#include "common/core/number_text.h"
#include "common/win32/placement_files.h"
#include "common/win32/system_library.h"
#include "puzzle/core/library_binding.h"
#include "puzzle/win32/testing/test_windows.h"

namespace puzzle {
namespace {

using testing::FileBytes;
using testing::MessageBoxAnswerer;

const std::string kFixtures = REDIRA_TEST_FIXTURES;

std::string Fixture(const char* name) { return kFixtures + "\\fake_imgoralib_" + name + ".dll"; }

std::uint32_t FileVersionNumber(const std::string& path) {
    const auto text = win32::FileVersionText(path);
    return text ? common::PackedVersion(*text, kLibraryVersionSeparators) : 0;
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string LocalDataFolder() {
    using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
    const auto getFolderPath =
        win32::SystemFunction<GetFolderPath>("shell32.dll", "SHGetFolderPathA");
    char folder[MAX_PATH] = "";
    getFolderPath(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return folder;
}

// The stand-ins' versions show in the binding tests below.
TEST(FileVersionNumber, ReadsTheFileVersionString) {
    EXPECT_EQ(FileVersionNumber(kFixtures + "\\missing.dll"), 0u);
    // The library the saver carries.
    EXPECT_EQ(FileVersionNumber(REDIRA_DELIVERABLES "\\ImgoraLib.dll"), 0x01010500u);
}

class BindingTest : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[MAX_PATH];
        ::GetSystemDirectoryA(folder, MAX_PATH);
        system_ = folder;
        installed_ = system_ + "\\imgoralib.dll";
        ::DeleteFileA(installed_.c_str());
        ASSERT_FALSE(FileExists(installed_));
        ownFolder_ = LocalDataFolder() + "\\Corvane";
        localCopy_ = ownFolder_ + "\\imgoralib.dll";
        ASSERT_FALSE(FileExists(localCopy_));
        temporaryFiles_ = testing::CountTemporaryFiles();
    }
    void TearDown() override {
        library_.Release();
        ::DeleteFileA(installed_.c_str());
        EXPECT_FALSE(FileExists(installed_));
        // No copy is left beside a library.
        EXPECT_EQ(testing::CountTemporaryFiles(system_), 0);
        EXPECT_EQ(testing::CountTemporaryFiles(), temporaryFiles_);
        if (FileExists(ownFolder_)) {
            EXPECT_EQ(testing::CountTemporaryFiles(ownFolder_), 0);
            ::DeleteFileA(localCopy_.c_str());
            EXPECT_TRUE(::RemoveDirectoryA(ownFolder_.c_str()));
        }
    }
    void Install(const char* fixture) {
        ASSERT_TRUE(::CopyFileA(Fixture(fixture).c_str(), installed_.c_str(), FALSE));
    }
    // Binds with every box of the binding answered: the question with
    // `answer`, the error boxes with OK.
    bool Bind(int answer) {
        MessageBoxAnswerer question("Veduza Vozud", answer);
        MessageBoxAnswerer error("Veduza Vozud Error", IDOK);
        const bool bound = BindImageLibrary(carrier_, library_);
        question_ = question.Finish();
        error_ = error.Finish();
        return bound;
    }

    HMODULE carrier_ = ::GetModuleHandleA(nullptr);
    std::string system_, installed_, ownFolder_, localCopy_;
    int temporaryFiles_ = 0;
    ImageLibrary library_;
    MessageBoxAnswerer::Seen question_, error_;
};

TEST_F(BindingTest, AMissingLibraryIsWrittenOutAndLoaded) {
    EXPECT_TRUE(Bind(IDCANCEL));
    EXPECT_TRUE(library_);
    EXPECT_EQ(question_.count + error_.count, 0);
    EXPECT_EQ(FileBytes(installed_), FileBytes(Fixture("current")));
    EXPECT_EQ(::GetModuleHandleA(installed_.c_str()), ::GetModuleHandleA("imgoralib.dll"));
    // Released, it can be removed again.
    library_.Release();
    EXPECT_TRUE(::DeleteFileA(installed_.c_str()));
}

TEST_F(BindingTest, AnOlderLibraryIsReplacedOnlyWhenThePlayerAgrees) {
    // Each box costs Wine about two seconds.
    Install("old");
    EXPECT_FALSE(Bind(IDCANCEL));
    EXPECT_FALSE(library_);
    EXPECT_EQ(question_.count, 1);
    EXPECT_EQ(question_.text, kUpgradeQuestion);
    EXPECT_EQ(question_.buttons, (std::set<int>{IDYES, IDNO, IDCANCEL}));
    EXPECT_EQ(question_.owner, nullptr);
    EXPECT_EQ(error_.count, 0);
    EXPECT_EQ(FileBytes(installed_), FileBytes(Fixture("old")));
    // No version record counts as version 0.
    for (const char* fixture : {"old", "unversioned"}) {
        Install(fixture);
        EXPECT_TRUE(Bind(IDYES)) << fixture;
        EXPECT_EQ(question_.count, 1);
        EXPECT_TRUE(library_);
        EXPECT_EQ(FileVersionNumber(installed_), 0x01010500u);
        library_.Release();
    }
}

TEST_F(BindingTest, AnOldLibraryInUseCannotBeReplaced) {
    Install("old");
    win32::UniqueFile held(::CreateFileA(installed_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_FALSE(Bind(IDYES));
    EXPECT_EQ(question_.count, 1);
    EXPECT_EQ(error_.count, 1);
    EXPECT_EQ(error_.text, kCannotDeleteLibrary);
    EXPECT_EQ(error_.buttons, std::set<int>{IDOK});
    held.Reset();
    EXPECT_EQ(FileBytes(installed_), FileBytes(Fixture("old")));
    EXPECT_FALSE(FileExists(localCopy_));
}

TEST_F(BindingTest, ANewerLibraryThatDoesNotBindIsAnError) {
    Install("newer");
    EXPECT_FALSE(Bind(IDYES));
    EXPECT_EQ(question_.count, 0);
    EXPECT_EQ(error_.count, 1);
    EXPECT_EQ(error_.text, kWrongLibraryVersion);
    EXPECT_EQ(FileBytes(installed_), FileBytes(Fixture("newer")));
}

}  // namespace
}  // namespace puzzle
