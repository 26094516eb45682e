#include "common/core/file_placement.h"

#include <gtest/gtest.h>

#include "common/core/testing/memory_files.h"

namespace common {
namespace {

using testing::Bytes;
using testing::MemoryFiles;
using Files = std::map<std::string, std::string>;

constexpr char kFolder[] = "C:\\WINDOWS";
constexpr char kTarget[] = "C:\\WINDOWS\\lib.dll";

TEST(StagedCopy, PutsOnlyAWholeCopyInPlaceAndNeverLosesTheOldFile) {
    enum Fault { kNone, kRefused, kFull, kHeld, kMoveRefused };
    const struct Case {
        const char* what;
        std::string_view bytes;
        Fault fault;
        FileFault staged, moved;
    } cases[] = {
        {"in place", "2.0", kNone, FileFault::None, FileFault::None},
        {"nothing carried", "", kNone, FileFault::Missing, FileFault::Missing},
        {"folder refuses new files", "2.0", kRefused, FileFault::Refused, FileFault::Refused},
        {"disk full halfway", "2.0", kFull, FileFault::DiskFull, FileFault::DiskFull},
        {"old file held open", "2.0", kHeld, FileFault::None, FileFault::InUse},
        {"old file may not be replaced", "2.0", kMoveRefused, FileFault::None, FileFault::Refused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryFiles files;
        files.files[kTarget] = "1.0";
        if (c.fault == kRefused) files.refusing.insert(kFolder);
        if (c.fault == kFull) files.full.insert(kFolder);
        if (c.fault == kHeld) files.held.insert(kTarget);
        if (c.fault == kMoveRefused) files.refusing.insert(kTarget);
        {
            StagedCopy copy(files, Bytes(c.bytes), kFolder);
            EXPECT_EQ(copy.Fault(), c.staged);
            EXPECT_EQ(static_cast<bool>(copy), c.staged == FileFault::None);
            if (copy) EXPECT_EQ(files.files.at(copy.Path()), "2.0");
            EXPECT_EQ(copy.MoveTo(kTarget), c.moved);
        }
        // The target holds the old file or the whole new one; no other file
        // is left.
        EXPECT_EQ(files.files, (Files{{kTarget, c.moved == FileFault::None ? "2.0" : "1.0"}}));
    }
}

}  // namespace
}  // namespace common
