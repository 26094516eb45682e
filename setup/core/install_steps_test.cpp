#include "setup/core/install_steps.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "common/core/testing/memory_files.h"

namespace setup {
namespace {

using common::testing::Bytes;
using common::testing::MemoryFiles;
using Files = std::map<std::string, std::string>;

constexpr char kWindows[] = "C:\\WINDOWS";
constexpr char kTarget[] = "C:\\WINDOWS\\Corvane.scr";
constexpr char kTemporary[] = "C:\\TEMP";

class RecordingPrompts : public InstallerPrompts {
public:
    bool yes = true;
    std::vector<std::string> questions, errors;
    bool AskToUpgrade(const std::string& question) override {
        questions.push_back(question);
        return yes;
    }
    void ShowError(const std::string& text) override { errors.push_back(text); }
};

TEST(InstallCarriedFile, WritesKeepsAsksAndSaysWhatFailed) {
    const std::string asked =
        "You have an out-of-date version of the Corvane saver on your "
        "system. May I try to upgrade, please?";
    const std::string diskFull =
        "Error. Unable to write the Corvane saver to "
        "C:\\WINDOWS\\Corvane.scr. Make sure there is room on the disk, "
        "and then try again.";
    const std::string refused =
        "Error. Unable to write the Corvane saver to "
        "C:\\WINDOWS\\Corvane.scr: the system refused it.";
    const std::string inUse =
        "Error. Unable to delete old version of the Corvane saver. "
        "Make sure it is not in use, and then try again.";
    const std::string replaceRefused =
        "Error. Unable to replace the old version of the Corvane "
        "saver at C:\\WINDOWS\\Corvane.scr: the system refused it.";
    const std::string notCarried =
        "Error. This installer does not carry the Corvane saver: the installer file is damaged.";
    constexpr char k4[] = "1, 0, 0, 4", k5[] = "1, 0, 0, 5";
    enum Fault { kNone, kDiskFull, kInUse, kMoveRefused, kFolderRefused, kNoTemporary, kNowhere };
    using enum InstallOutcome;
    // `installed` and `left` (at the target afterwards) are nullptr for no file.
    // clang-format off
    const struct Case {
        const char *what, *installed, *carried;
        bool yes;
        Fault fault;
        InstallOutcome outcome;
        const char* left;
        bool asks;
        std::string error;
    } cases[] = {
        {"first installation", nullptr, k5, true, kNone, Written, k5, false, ""},
        {"same version", k5, k5, true, kNone, Kept, k5, false, ""},
        {"older, Yes", k4, k5, true, kNone, Written, k5, true, ""},
        {"older, No", k4, k5, false, kNone, Declined, k4, true, ""},
        {"older, disk full", k4, k5, true, kDiskFull, NotReplaced, k4, false, diskFull},
        {"first, disk full", nullptr, k5, true, kDiskFull, NotWritten, nullptr, false, diskFull},
        {"older, in use", k4, k5, true, kInUse, NotReplaced, k4, true, inUse},
        {"older, may not be replaced", k4, k5, true, kMoveRefused, NotReplaced, k4, true,
         replaceRefused},
        {"first, folder refused", nullptr, k5, true, kFolderRefused, NotWritten, nullptr, false,
         refused},
        {"nothing carried", nullptr, "", true, kNone, NotWritten, nullptr, false, notCarried},
        // The carried version comes from the copy beside the target: a
        // temporary folder that cannot be written keeps nothing silently.
        {"older, no temporary folder", k4, k5, true, kNoTemporary, Written, k5, true, ""},
        // Only where no copy can be written beside the target does the
        // temporary folder tell whether anything needed writing.
        {"same, folder refused", k5, k5, true, kFolderRefused, Kept, k5, false, ""},
        {"older, folder refused", k4, k5, true, kFolderRefused, NotReplaced, k4, false, refused},
        {"same, nowhere to write", k5, k5, true, kNowhere, NotReplaced, k5, false, refused},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryFiles files;
        if (c.fault == kDiskFull) files.full.insert(kWindows);
        if (c.fault == kInUse) files.held.insert(kTarget);
        if (c.fault == kMoveRefused) files.refusing.insert(kTarget);
        if (c.fault == kFolderRefused || c.fault == kNowhere) files.refusing.insert(kWindows);
        if (c.fault == kNoTemporary || c.fault == kNowhere) files.refusing.insert(kTemporary);
        if (c.installed) files.files[kTarget] = c.installed;
        RecordingPrompts prompts;
        prompts.yes = c.yes;

        EXPECT_EQ(InstallCarriedFile(files, prompts, Bytes(c.carried), kTarget, "the Corvane saver",
                                     kTemporary),
                  c.outcome);
        EXPECT_EQ(prompts.questions, c.asks ? std::vector{asked} : std::vector<std::string>{});
        EXPECT_EQ(prompts.errors,
                  c.error.empty() ? std::vector<std::string>{} : std::vector{c.error});
        // Only the target is left: no temporary copy, no partial one.
        Files expected;
        if (c.left) expected[kTarget] = c.left;
        EXPECT_EQ(files.files, expected);
    }
}

// Edgewake's libraries in memory: a library loads when its content (its
// version) is in `exports`, which names the entries it has.
class FakeSystem : public InstallerSystem {
public:
    explicit FakeSystem(MemoryFiles& files) : files_(files) {}

    std::string windows = kWindows;
    std::string saver = "1, 0, 0, 5", edgewake = "1, 0, 0, 5";
    std::map<std::string, std::set<std::string>> exports{
        {"1, 0, 0, 4", {"TerminateService", "InstallSilently"}},
        {"1, 0, 0, 5", {"TerminateService", "InstallSilently"}}};
    bool makesCurrent = true;
    std::vector<std::string> calls;  // "ENTRY VERSION" of each call made
    std::string current;

    std::string WindowsDirectory() override { return windows; }
    std::string TemporaryFolder() override { return kTemporary; }
    std::span<const std::uint8_t> Carried(const char* resource) override {
        bytes_ = Bytes(std::string(resource) == kSaverResource ? saver : edgewake);
        return bytes_;
    }
    EdgewakeCall CallEdgewake(const std::string& library, const char* entry) override {
        EXPECT_EQ(library, "C:\\WINDOWS\\edgewake.dll");
        const auto file = files_.files.find(library);
        if (file == files_.files.end() || !exports.contains(file->second))
            return EdgewakeCall::NotLoaded;
        if (!exports.at(file->second).contains(entry)) return EdgewakeCall::NoEntry;
        calls.push_back(entry + (" " + file->second));
        return EdgewakeCall::Called;
    }
    bool MakeCurrentSaver(const std::string& path) override {
        current = path;
        return makesCurrent;
    }

private:
    MemoryFiles& files_;
    std::vector<std::uint8_t> bytes_;
};

TEST(RunInstallation, ReportsSuccessOnlyForWhatHappened) {
    constexpr char kEdgewake[] = "C:\\WINDOWS\\edgewake.dll";
    const std::vector<std::string> setUp{"InstallSilently 1, 0, 0, 5"};
    enum Setting {
        kPlain,
        kOlderEdgewake,
        kNoWindows,
        kEdgewakeRefused,
        kUnloadable,
        kNoSetupEntry,
        kNotCurrent
    };
    // clang-format off
    const struct Case {
        const char* what;
        Setting setting;
        std::vector<std::string> calls, errors;
        std::string status;
        bool showSaver;
    } cases[] = {
        {"first installation", kPlain, setUp, {}, kStatusInstalled, true},
        {"a running older Edgewake", kOlderEdgewake,
         {"TerminateService 1, 0, 0, 4", "InstallSilently 1, 0, 0, 5"}, {}, kStatusInstalled, true},
        {"no Windows directory", kNoWindows, {}, {kNoWindowsDirectory}, kStatusNotInstalled, false},
        {"Edgewake not written", kEdgewakeRefused, {},
         {"Error. Unable to write Edgewake to C:\\WINDOWS\\edgewake.dll: the system refused it."},
         kStatusNoHotCorners, true},
        {"Edgewake does not load", kUnloadable, {},
         {"Error. Unable to load C:\\WINDOWS\\edgewake.dll, so the hot corners are not set up."},
         kStatusNoHotCorners, true},
        {"Edgewake without InstallSilently", kNoSetupEntry, {},
         {"Error. C:\\WINDOWS\\edgewake.dll cannot set up the hot corners: it has no "
          "InstallSilently entry."},
         kStatusNoHotCorners, true},
        {"not made current", kNotCurrent, setUp, {}, kStatusNotCurrent, true},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryFiles files;
        FakeSystem system(files);
        RecordingPrompts prompts;
        switch (c.setting) {
        case kOlderEdgewake: files.files[kEdgewake] = "1, 0, 0, 4"; break;
        case kNoWindows: system.windows = ""; break;
        case kEdgewakeRefused: files.refusing.insert(kEdgewake); break;
        case kUnloadable: system.edgewake = "broken"; break;
        case kNoSetupEntry: system.exports["1, 0, 0, 5"] = {"TerminateService"}; break;
        case kNotCurrent: system.makesCurrent = false; break;
        case kPlain: break;
        }

        const InstallResult result =
            RunInstallation(files, prompts, system, "Corvane.scr", "the saver");
        EXPECT_EQ(system.calls, c.calls);
        EXPECT_EQ(prompts.errors, c.errors);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.showSaver, c.showSaver);
        if (c.setting == kNoWindows) {
            // Nothing is looked for along the search path.
            EXPECT_EQ(files.files, Files{});
            EXPECT_EQ(system.current, "");
        } else {
            EXPECT_EQ(result.saver, kTarget);
            EXPECT_EQ(system.current, kTarget);
            EXPECT_EQ(files.files.at(kTarget), "1, 0, 0, 5");
        }
    }
}

}  // namespace
}  // namespace setup
