#include "puzzle/core/library_binding.h"

#include <gtest/gtest.h>

#include <set>

#include "common/core/testing/memory_files.h"

namespace puzzle {
namespace {

using common::testing::Bytes;
using common::testing::MemoryFiles;
using Files = std::map<std::string, std::string>;

constexpr char kSystem[] = "C:\\WINDOWS\\SYSTEM";
constexpr char kInstalled[] = "C:\\WINDOWS\\SYSTEM\\imgoralib.dll";
constexpr char kLocal[] = "C:\\Users\\ann\\AppData\\Local\\Corvane";
constexpr char kLocalCopy[] = "C:\\Users\\ann\\AppData\\Local\\Corvane\\imgoralib.dll";
constexpr char kTemporary[] = "C:\\Users\\ann\\AppData\\Local\\Temp\\Corvane";
constexpr char kTemporaryCopy[] = "C:\\Users\\ann\\AppData\\Local\\Temp\\Corvane\\imgoralib.dll";

// The platform of the binding. Files whose version text is in `binding`
// export ImgoraLibLoad; so does the library by name when `byName`.
class FakeBindingSystem : public BindingSystem {
public:
    explicit FakeBindingSystem(MemoryFiles& files) : files_(files) {}

    bool byName = false;
    std::set<std::string> binding{"1.1.4", "1.1.5", "2.0"};
    std::string carried = "1.1.5";
    std::string local = kLocal, temporary = kTemporary;
    bool yes = true;
    int questions = 0;
    std::vector<std::string> errors;
    std::string bound;  // the path bound from

    bool BindByName() override { return byName; }
    bool BindFrom(const std::string& path) override {
        const auto file = files_.files.find(path);
        if (file == files_.files.end() || !binding.contains(file->second)) return false;
        bound = path;
        return true;
    }
    std::string SystemFolder() override { return kSystem; }
    std::string LocalDataFolder() override { return local; }
    std::string TemporaryFolder() override { return temporary; }
    std::span<const std::uint8_t> CarriedLibrary() override {
        bytes_ = Bytes(carried);
        return bytes_;
    }
    bool AskToUpgrade(const std::string& question) override {
        EXPECT_EQ(question, kUpgradeQuestion);
        ++questions;
        return yes;
    }
    void ShowError(const std::string& text) override { errors.push_back(text); }

private:
    MemoryFiles& files_;
    std::vector<std::uint8_t> bytes_;
};

TEST(BindImageLibrary, PutsTheCarriedCopyWhereItCanAndNeverLosesTheInstalledOne) {
    enum Setting {
        kPlain,
        kByName,
        kAnswerNo,
        kInstalledHeld,         // the older library in use
        kSystemRefusesWrites,   // a standard user
        kSystemRefusesTheMove,  // new files yes, but the library may not be replaced
        kSystemDiskFull,
        kNoLocalFolder,  // refused, and no local application data folder
        kLocalDiskFull,  // refused, and the local folder's disk full
        kEverywhereRefused,
        kLocalCopyHeld,  // refused; an earlier local copy loaded by another run
        kNothingCarried,
    };
    const std::string cannotWrite =
        std::string(kCannotWriteLibrary) + " " + kSystem + ": the system refused it. " + kLocal +
        ": the system refused it. " + kTemporary + ": the system refused it.";
    // clang-format off
    const struct Case {
        const char* what;
        Setting setting;
        const char *installed, *localCopy;  // before, nullptr for none
        bool bound;
        const char* from;  // bound from
        int questions;
        std::string error;
        Files after;
    } cases[] = {
        {"found by name", kByName, nullptr, nullptr, true, "", 0, "", {}},
        {"none installed", kPlain, nullptr, nullptr, true, kInstalled, 0, "",
         {{kInstalled, "1.1.5"}}},
        {"older, Yes", kPlain, "1.0", nullptr, true, kInstalled, 1, "", {{kInstalled, "1.1.5"}}},
        {"older, No", kAnswerNo, "1.0", nullptr, false, "", 1, "", {{kInstalled, "1.0"}}},
        {"older without version", kPlain, "", nullptr, true, kInstalled, 1, "",
         {{kInstalled, "1.1.5"}}},
        {"newer, binds", kPlain, "2.0", nullptr, true, kInstalled, 0, "", {{kInstalled, "2.0"}}},
        {"as new, does not bind", kPlain, "1.1.5.0", nullptr, false, "", 0, kWrongLibraryVersion,
         {{kInstalled, "1.1.5.0"}}},
        {"older, in use", kInstalledHeld, "1.0", nullptr, false, "", 1, kCannotDeleteLibrary,
         {{kInstalled, "1.0"}}},
        {"system refuses writes", kSystemRefusesWrites, nullptr, nullptr, true, kLocalCopy, 0, "",
         {{kLocalCopy, "1.1.5"}}},
        {"system refuses writes, older installed", kSystemRefusesWrites, "1.0", nullptr, true,
         kLocalCopy, 0, "", {{kInstalled, "1.0"}, {kLocalCopy, "1.1.5"}}},
        {"system refuses the move", kSystemRefusesTheMove, "1.0", nullptr, true, kLocalCopy, 1, "",
         {{kInstalled, "1.0"}, {kLocalCopy, "1.1.5"}}},
        {"older, system disk full", kSystemDiskFull, "1.0", nullptr, true, kLocalCopy, 0, "",
         {{kInstalled, "1.0"}, {kLocalCopy, "1.1.5"}}},
        {"earlier local copy, older", kSystemRefusesWrites, nullptr, "1.0", true, kLocalCopy, 0, "",
         {{kLocalCopy, "1.1.5"}}},
        {"earlier local copy, newer", kSystemRefusesWrites, nullptr, "2.0", true, kLocalCopy, 0, "",
         {{kLocalCopy, "2.0"}}},
        {"earlier local copy, older and held", kLocalCopyHeld, nullptr, "1.1.4", true, kLocalCopy, 0,
         "", {{kLocalCopy, "1.1.4"}}},
        {"no local folder", kNoLocalFolder, nullptr, nullptr, true, kTemporaryCopy, 0, "",
         {{kTemporaryCopy, "1.1.5"}}},
        {"local disk full", kLocalDiskFull, nullptr, nullptr, true, kTemporaryCopy, 0, "",
         {{kTemporaryCopy, "1.1.5"}}},
        {"written nowhere", kEverywhereRefused, "1.0", nullptr, false, "", 0, cannotWrite,
         {{kInstalled, "1.0"}}},
        {"nothing carried", kNothingCarried, nullptr, nullptr, false, "", 0, kLibraryNotCarried, {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryFiles files;
        FakeBindingSystem system(files);
        if (c.installed) files.files[kInstalled] = c.installed;
        if (c.localCopy) files.files[kLocalCopy] = c.localCopy;
        switch (c.setting) {
        case kByName: system.byName = true; break;
        case kAnswerNo: system.yes = false; break;
        case kInstalledHeld: files.held.insert(kInstalled); break;
        case kSystemRefusesTheMove: files.refusing.insert(kInstalled); break;
        case kSystemDiskFull: files.full.insert(kSystem); break;
        case kNothingCarried: system.carried = ""; break;
        case kEverywhereRefused: files.refusing.insert({kLocal, kTemporary}); [[fallthrough]];
        case kSystemRefusesWrites: files.refusing.insert(kSystem); break;
        case kNoLocalFolder:
            system.local = "";
            files.refusing.insert(kSystem);
            break;
        case kLocalDiskFull:
            files.full.insert(kLocal);
            files.refusing.insert(kSystem);
            break;
        case kLocalCopyHeld:
            files.held.insert(kLocalCopy);
            files.refusing.insert(kSystem);
            break;
        case kPlain: break;
        }

        EXPECT_EQ(BindImageLibrary(system, files), c.bound);
        EXPECT_EQ(system.bound, c.from);
        EXPECT_EQ(system.questions, c.questions);
        EXPECT_EQ(system.errors,
                  c.error.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.error});
        // No copy is left beside a library, and none is ever cut off.
        EXPECT_EQ(files.files, c.after);
    }
}

TEST(BindImageLibrary, ALaterStartOfAStandardUserWritesNoCopy) {
    MemoryFiles files;
    FakeBindingSystem system(files);
    files.refusing.insert(kSystem);
    files.files[kLocalCopy] = "1.1.5";  // the carried library, put there by an earlier start
    EXPECT_TRUE(BindImageLibrary(system, files));
    EXPECT_EQ(system.bound, kLocalCopy);
    EXPECT_EQ(files.made, 0);
}

}  // namespace
}  // namespace puzzle
