// Putting a new copy of a file in place of an old one, shared by the
// saver's binding of its image library and the installer: the copy is
// written whole into a new file beside the target and only then moved over
// it, so that a failure leaves the old file (or none) and never a cut-off
// one, and the old file is never deleted first. The platform is reached
// through PlacementFiles.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace common {

// Why a file could not be made, written or moved.
enum class FileFault {
    None,
    Missing,   // there was nothing to write (a carried copy that is not there)
    Refused,   // the system refused it: the folder or the file may not be changed
    DiskFull,  // there was no room for all of it
    InUse,     // a program holds the file open
    Failed,    // anything else
};

class PlacementFiles {
public:
    virtual ~PlacementFiles() = default;
    virtual bool Exists(const std::string& path) = 0;
    // True when the file at `path` holds exactly `bytes`.
    virtual bool Holds(const std::string& path, std::span<const std::uint8_t> bytes) = 0;
    struct NewFile {
        std::string path;  // empty when none could be made
        FileFault fault = FileFault::None;
    };
    // A new empty file with a unique name in `folder`.
    virtual NewFile NewFileIn(const std::string& folder) = 0;
    // Writes all of `bytes` over the file at `path`.
    virtual FileFault WriteWhole(const std::string& path, std::span<const std::uint8_t> bytes) = 0;
    // The "FileVersion" text of the file's version record; nothing when it
    // has none.
    virtual std::optional<std::string> VersionText(const std::string& path) = 0;
    // Moves `from` to `to`, replacing a file there in the same step.
    virtual FileFault MoveOver(const std::string& from, const std::string& to) = 0;
    virtual void Remove(const std::string& path) = 0;
};

// The folder of `path`: everything before its last '\' or '/'; empty when
// it has none.
std::string FolderOf(std::string_view path);

// A copy written whole into a new file of a folder, not yet in place. The
// file is removed when the object goes, unless it was moved into place.
class StagedCopy {
public:
    // Nothing is made when `bytes` is empty (FileFault::Missing).
    StagedCopy(PlacementFiles& files, std::span<const std::uint8_t> bytes,
               const std::string& folder);
    ~StagedCopy() { Discard(); }
    StagedCopy(const StagedCopy&) = delete;
    StagedCopy& operator=(const StagedCopy&) = delete;

    // Written whole and not yet moved or discarded.
    explicit operator bool() const { return !path_.empty(); }
    // Why it could not be written, or why the last move failed.
    FileFault Fault() const { return fault_; }
    const std::string& Path() const { return path_; }

    // Moves the copy over `target`. On failure the target is as it was and
    // the copy stays until it is discarded.
    FileFault MoveTo(const std::string& target);
    void Discard();

private:
    PlacementFiles& files_;
    std::string path_;
    FileFault fault_ = FileFault::None;
};

}  // namespace common
