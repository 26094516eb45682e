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
    const struct Case {
        const char* what;
        std::optional<std::string> installed;
        std::string carried;
        bool yes = true, failWriteHalfway = false, failReplace = false, noFileBeside = false;
        InstallOutcome outcome;
        std::optional<std::string> left;  // at the target afterwards
        bool asks = false;
        std::string error = "";
    } cases[] = {
        {.what = "first installation", .installed = std::nullopt, .carried = "1, 0, 0, 5", .outcome = InstallOutcome::Written, .left = "1, 0, 0, 5"},
        {.what = "same version", .installed = "1, 0, 0, 5", .carried = "1, 0, 0, 5", .outcome = InstallOutcome::Kept, .left = "1, 0, 0, 5"},
        {.what = "installed newer", .installed = "2.0", .carried = "1, 0, 0, 5", .outcome = InstallOutcome::Kept, .left = "2.0"},
        {.what = "older, Yes", .installed = "1, 0, 0, 4", .carried = "1, 0, 0, 5", .outcome = InstallOutcome::Written,
         .left = "1, 0, 0, 5", .asks = true},
        {.what = "older, No", .installed = "1, 0, 0, 4", .carried = "1, 0, 0, 5", .yes = false, .outcome = InstallOutcome::Declined,
         .left = "1, 0, 0, 4", .asks = true},
        {.what = "neither versioned", .installed = "old", .carried = "new", .outcome = InstallOutcome::Written, .left = "new", .asks = true},
        {.what = "older, cut off while written", .installed = "1, 0, 0, 4", .carried = "1, 0, 0, 5", .failWriteHalfway = true,
         .outcome = InstallOutcome::NotReplaced, .left = "1, 0, 0, 4", .asks = true, .error = cannotWrite},
        {.what = "first, cut off while written", .installed = std::nullopt, .carried = "1, 0, 0, 5", .failWriteHalfway = true,
         .outcome = InstallOutcome::NotWritten, .left = {}, .error = cannotWrite},
        {.what = "older, in use", .installed = "1, 0, 0, 4", .carried = "1, 0, 0, 5", .failReplace = true,
         .outcome = InstallOutcome::NotReplaced, .left = "1, 0, 0, 4", .asks = true, .error = cannotReplace},
        {.what = "folder not writable", .installed = std::nullopt, .carried = "1, 0, 0, 5", .noFileBeside = true,
         .outcome = InstallOutcome::NotWritten, .left = {}, .error = cannotWrite},
        {.what = "nothing carried", .installed = std::nullopt, .carried = "", .outcome = InstallOutcome::NotWritten, .left = {}, .error = cannotWrite},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryFiles files;
        files.failWriteHalfway = c.failWriteHalfway;
        files.failReplace = c.failReplace;
        files.noFileBeside = c.noFileBeside;
        if (c.installed) files.files[kTarget] = *c.installed;
        RecordingPrompts prompts;
        prompts.yes = c.yes;

        const auto carried = Bytes(c.carried);
        EXPECT_EQ(InstallCarriedFile(files, prompts, carried, kTarget, "the Corvane saver"), c.outcome);
        EXPECT_EQ(prompts.questions, c.asks ? std::vector{asked} : std::vector<std::string>{});
        EXPECT_EQ(prompts.errors, c.error.empty() ? std::vector<std::string>{} : std::vector{c.error});
        // Only the target is left: no temporary copy, no partial one.
        std::map<std::string, std::string> expected;
        if (c.left) expected[kTarget] = *c.left;
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
