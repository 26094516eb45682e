// Files in memory for the tests of everything that puts files in place.
// A file's content is its "FileVersion" text (an empty file has no version
// record), so that a test names each copy by its version.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/core/file_placement.h"

namespace common::testing {

inline std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

class MemoryFiles : public PlacementFiles {
public:
    std::map<std::string, std::string> files;
    std::set<std::string>
        refusing;                // folders that take no new file; files that may not be replaced
    std::set<std::string> full;  // folders whose disk fills up halfway through a write
    std::set<std::string> held;  // files a program holds open
    int made = 0;                // new files made so far

    bool Exists(const std::string& path) override { return files.contains(path); }
    bool Holds(const std::string& path, std::span<const std::uint8_t> bytes) override {
        return files.contains(path) && files.at(path) == std::string(bytes.begin(), bytes.end());
    }
    NewFile NewFileIn(const std::string& folder) override {
        if (folder.empty() || refusing.contains(folder)) return {"", FileFault::Refused};
        const std::string path = folder + "\\new" + std::to_string(++made) + ".tmp";
        files[path] = "";
        return {path};
    }
    FileFault WriteWhole(const std::string& path, std::span<const std::uint8_t> bytes) override {
        std::string text(bytes.begin(), bytes.end());
        const bool fills = full.contains(FolderOf(path));
        files[path] = fills ? text.substr(0, text.size() / 2) : text;
        return fills ? FileFault::DiskFull : FileFault::None;
    }
    std::optional<std::string> VersionText(const std::string& path) override {
        const auto file = files.find(path);
        if (file == files.end() || file->second.empty()) return std::nullopt;
        return file->second;
    }
    FileFault MoveOver(const std::string& from, const std::string& to) override {
        if (held.contains(to)) return FileFault::InUse;
        if (refusing.contains(to) || refusing.contains(FolderOf(to))) return FileFault::Refused;
        files[to] = files.at(from);
        files.erase(from);
        return FileFault::None;
    }
    void Remove(const std::string& path) override { files.erase(path); }
};

}  // namespace common::testing
