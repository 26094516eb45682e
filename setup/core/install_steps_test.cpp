#include "setup/core/install_steps.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "setup/core/packed_version.h"

namespace setup {
namespace {

constexpr char kTarget[] = "C:\\WINDOWS\\Corvane.scr";

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

// Files in memory. A file's content is its "FileVersion" text, so that its
// version is PackedFileVersion of it.
class MemoryFiles : public InstallerFiles {
public:
    std::map<std::string, std::string> files;
    bool failWriteHalfway = false;  // writes half the bytes, then fails
    bool failReplace = false;
    bool noFileBeside = false;
    int made = 0;

    bool Exists(const std::string& path) override { return files.contains(path); }
    std::string NewTemporaryFile() override { return Make("C:\\TEMP\\sci"); }
    std::string NewFileBeside(const std::string& target) override {
        return noFileBeside ? "" : Make(target.substr(0, target.rfind('\\') + 1) + "sci");
    }
    bool WriteWhole(const std::string& path, std::span<const std::uint8_t> bytes) override {
        const bool fail = failWriteHalfway && path.find("TEMP") == std::string::npos;
        files[path].assign(bytes.begin(), fail ? bytes.begin() + bytes.size() / 2 : bytes.end());
        return !fail;
    }
    std::uint32_t PackedVersion(const std::string& path) override {
        return PackedFileVersion(files.at(path));
    }
    bool Replace(const std::string& from, const std::string& to) override {
        if (failReplace) return false;
        files[to] = files.at(from);
        files.erase(from);
        return true;
    }
    void Remove(const std::string& path) override { files.erase(path); }

private:
    std::string Make(const std::string& prefix) {
        const std::string path = prefix + std::to_string(++made) + ".tmp";
        files[path] = "";
        return path;
    }
};

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

TEST(InstallCarriedFile, WritesKeepsAsksAndNeverLeavesAPartialFile) {
    const std::string asked = "You have an out-of-date version of the Corvane saver on your "
                              "system. May I try to upgrade, please?";
    const std::string cannotWrite = "Error. Unable to write the Corvane saver to "
                                    "C:\\WINDOWS\\Corvane.scr. Make sure there is room on the disk, "
                                    "and then try again.";
    const std::string cannotReplace = "Error. Unable to delete old version of the Corvane saver. "
                                      "Make sure it is not in use, and then try again.";
    constexpr char k4[] = "1, 0, 0, 4", k5[] = "1, 0, 0, 5";
    enum Fault { kNone, kCutOff, kInUse, kNoFolder };
    using enum InstallOutcome;
    // `installed` and `left` (at the target afterwards) are nullptr for no file.
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
        {"older, cut off while written", k4, k5, true, kCutOff, NotReplaced, k4, true, cannotWrite},
        {"first, cut off while written", nullptr, k5, true, kCutOff, NotWritten, nullptr, false,
         cannotWrite},
        {"older, in use", k4, k5, true, kInUse, NotReplaced, k4, true, cannotReplace},
        {"folder not writable", nullptr, k5, true, kNoFolder, NotWritten, nullptr, false, cannotWrite},
        {"nothing carried", nullptr, "", true, kNone, NotWritten, nullptr, false, cannotWrite},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryFiles files;
        files.failWriteHalfway = c.fault == kCutOff;
        files.failReplace = c.fault == kInUse;
        files.noFileBeside = c.fault == kNoFolder;
        if (c.installed) files.files[kTarget] = c.installed;
        RecordingPrompts prompts;
        prompts.yes = c.yes;

        const auto carried = Bytes(c.carried);
        EXPECT_EQ(InstallCarriedFile(files, prompts, carried, kTarget, "the Corvane saver"),
                  c.outcome);
        EXPECT_EQ(prompts.questions, c.asks ? std::vector{asked} : std::vector<std::string>{});
        EXPECT_EQ(prompts.errors,
                  c.error.empty() ? std::vector<std::string>{} : std::vector{c.error});
        // Only the target is left: no temporary copy, no partial one.
        std::map<std::string, std::string> expected;
        if (c.left) expected[kTarget] = c.left;
        EXPECT_EQ(files.files, expected);
    }
}

TEST(PreviewStatus, SaysSuccessOnlyWhenTheSaverIsInPlaceAndCurrent) {
    const struct { InstallOutcome saver; bool current; const char* status; } cases[] = {
        {InstallOutcome::Written, true, "Screen saver succesfully installed!"},
        {InstallOutcome::Kept, true, "Screen saver succesfully installed!"},
        {InstallOutcome::Declined, true, "Screen saver succesfully installed!"},
        {InstallOutcome::NotReplaced, true, kStatusNotUpgraded},
        {InstallOutcome::NotWritten, false, kStatusNotInstalled},
        {InstallOutcome::Written, false, kStatusNotCurrent},
    };
    for (const auto& c : cases) EXPECT_EQ(PreviewStatus(c.saver, c.current), c.status);
}

}  // namespace
}  // namespace setup
