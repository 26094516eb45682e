// The files behind common::PlacementFiles on Windows: unique new files made
// by GetTempFileNameA, whole reads and writes, version records, MoveFileExA;
// failures sorted by what the system answered.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "common/core/file_placement.h"

namespace win32 {

// What a failed call's error code means for a file being put in place.
common::FileFault FaultOf(DWORD error);

// The "FileVersion" text of the file's version record, in its first
// translation; nothing when the file has none.
std::optional<std::string> FileVersionText(const std::string& path);

class PlacementFiles : public common::PlacementFiles {
public:
    // New files are named `prefix` (three letters), four hexadecimal digits
    // and ".tmp".
    explicit PlacementFiles(const char* prefix) : prefix_(prefix) {}

    bool Exists(const std::string& path) override;
    bool Holds(const std::string& path, std::span<const std::uint8_t> bytes) override;
    NewFile NewFileIn(const std::string& folder) override;
    common::FileFault WriteWhole(const std::string& path,
                                 std::span<const std::uint8_t> bytes) override;
    std::optional<std::string> VersionText(const std::string& path) override;
    common::FileFault MoveOver(const std::string& from, const std::string& to) override;
    void Remove(const std::string& path) override;

private:
    const char* prefix_;
};

}  // namespace win32
