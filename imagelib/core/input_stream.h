// Files as the decoders read them: whole, into memory.
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

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueStdFile = std::unique_ptr<std::FILE, FileCloser>;

// How the library opens the files it reads. The Win32 layer's opener lets
// others go on reading a file but not write it while it is open, so that
// a file is never read half old and half new.
class FileOpener {
public:
    virtual ~FileOpener() = default;
    // The file opened for reading in binary mode; null when it cannot be.
    virtual std::FILE* OpenForReading(const std::string& fileName) const = 0;
};

// Opens a file for reading in binary mode through `opener`, or plainly
// (std::fopen) without one.
UniqueStdFile OpenForReading(const std::string& fileName, const FileOpener* opener);

// The size of an open file, or -1 when it cannot be told or does not fit
// in 31 bits (the library reads no file of 2 GiB or more).
std::int64_t FileSize(std::FILE* file);

// Reads the whole of `fileName` into `into`. Answers Ok, ReadFailed
// (cannot open or read, or too large) or OutOfMemory.
LoadStatus ReadWholeFile(const std::string& fileName, const FileOpener* opener, ByteBuffer& into);

}  // namespace imagelib
