// Files the saver writes: its resources written out, and temporary files
// that are removed on every path.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

namespace puzzle {

// The bytes of a resource of `module`; empty when it is missing.
std::span<const std::uint8_t> ResourceBytes(HMODULE module, const char* name, const char* type);

// Creates `path` (replacing any file there, no sharing) and writes all of
// `bytes`. A file that cannot be written completely is removed again, so
// that no cut-off copy is left behind.
bool WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes);

// A new empty file with a unique name beginning "scj" in the system's
// temporary folder, deleted when the object goes.
class TemporaryFile {
public:
    TemporaryFile();
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    explicit operator bool() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace puzzle
