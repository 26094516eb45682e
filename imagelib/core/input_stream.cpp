#include "imagelib/core/input_stream.h"

#include <sys/stat.h>

#include <limits>

namespace imagelib {

bool FileExists(const std::string& fileName) {
    struct stat info {};
    if (::stat(fileName.c_str(), &info) != 0) return false;
    return (info.st_mode & S_IFMT) == S_IFREG;
}

UniqueStdFile OpenForReading(const std::string& fileName, const FileOpener* opener) {
    return UniqueStdFile(opener ? opener->OpenForReading(fileName)
                                : std::fopen(fileName.c_str(), "rb"));
}

std::int64_t FileSize(std::FILE* file) {
    const long start = std::ftell(file);
    if (start < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long end = std::ftell(file);
    if (std::fseek(file, start, SEEK_SET) != 0) return -1;
    if (end < 0 || end > std::numeric_limits<std::int32_t>::max()) return -1;
    return end;
}

LoadStatus ReadWholeFile(const std::string& fileName, const FileOpener* opener, ByteBuffer& into) {
    UniqueStdFile file = OpenForReading(fileName, opener);
    if (!file) return LoadStatus::ReadFailed;
    const std::int64_t size = FileSize(file.get());
    if (size < 0) return LoadStatus::ReadFailed;
    ByteBuffer memory = ByteBuffer::Uninitialised(static_cast<std::size_t>(size));
    if (!memory) return LoadStatus::OutOfMemory;
    if (std::fread(memory.Data(), 1, memory.Size(), file.get()) != memory.Size()) {
        return LoadStatus::ReadFailed;
    }
    into = std::move(memory);
    return LoadStatus::Ok;
}

}  // namespace imagelib
