// The input of one decode: either the whole file read into memory at once,
// or the open file read piece by piece.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "imagelib/core/byte_buffer.h"
#include "imagelib/core/load_status.h"

namespace imagelib {

// True when `fileName` names an existing regular file (not a folder).
bool FileExists(const std::string& fileName);

// Opens a file for reading in binary mode. On Windows others may go on
// reading the file but not write it while it is open.
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueStdFile = std::unique_ptr<std::FILE, FileCloser>;
UniqueStdFile OpenForReading(const std::string& fileName);

// The size of an open file, or -1 when it cannot be told or does not fit
// in 31 bits (the library reads no file of 2 GiB or more).
std::int64_t FileSize(std::FILE* file);

class InputStream {
public:
    // Opens `fileName`; with `intoMemory` the whole file is read now and
    // the file closed again. Answers Ok, ReadFailed (cannot open or read,
    // or too large) or OutOfMemory.
    LoadStatus Open(const std::string& fileName, bool intoMemory);
    void Close();

    bool IsOpen() const { return file_ != nullptr || static_cast<bool>(memory_); }
    std::int64_t Size() const { return size_; }
    std::int64_t Position() const { return position_; }
    // Reads up to `count` bytes at the current position and answers how
    // many it read; fewer at the end of the file or after a read error.
    std::size_t Read(void* into, std::size_t count);
    // Moves to `offset` from the start; false when it lies outside the file.
    bool Seek(std::int64_t offset);
    // A read of the open file failed (as opposed to reaching its end).
    bool ReadError() const { return readError_; }
    // The whole file when it was read into memory, else null.
    const std::uint8_t* Memory() const { return memory_ ? memory_.Data() : nullptr; }

private:
    UniqueStdFile file_;
    ByteBuffer memory_;
    std::int64_t size_ = 0;
    std::int64_t position_ = 0;
    bool readError_ = false;
};

}  // namespace imagelib
