#include "imagelib/core/input_stream.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <limits>

#if defined(_WIN32)
#include <share.h>
#endif

namespace imagelib {

bool FileExists(const std::string& fileName) {
    struct stat info {};
    if (::stat(fileName.c_str(), &info) != 0) return false;
    return (info.st_mode & S_IFMT) == S_IFREG;
}

UniqueStdFile OpenForReading(const std::string& fileName) {
#if defined(_WIN32)
    return UniqueStdFile(::_fsopen(fileName.c_str(), "rb", _SH_DENYWR));
#else
    return UniqueStdFile(std::fopen(fileName.c_str(), "rb"));
#endif
}

std::int64_t FileSize(std::FILE* file) {
    const long start = std::ftell(file);
    if (start < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long end = std::ftell(file);
    if (std::fseek(file, start, SEEK_SET) != 0) return -1;
    if (end < 0 || end > std::numeric_limits<std::int32_t>::max()) return -1;
    return end;
}

LoadStatus InputStream::Open(const std::string& fileName, bool intoMemory) {
    Close();
    UniqueStdFile file = OpenForReading(fileName);
    if (!file) return LoadStatus::ReadFailed;
    const std::int64_t size = FileSize(file.get());
    if (size < 0) return LoadStatus::ReadFailed;
    if (intoMemory) {
        ByteBuffer memory = ByteBuffer::Uninitialised(static_cast<std::size_t>(size));
        if (!memory) return LoadStatus::OutOfMemory;
        if (std::fread(memory.Data(), 1, memory.Size(), file.get()) != memory.Size()) {
            return LoadStatus::ReadFailed;
        }
        memory_ = std::move(memory);
    } else {
        file_ = std::move(file);
    }
    size_ = size;
    return LoadStatus::Ok;
}

void InputStream::Close() {
    file_.reset();
    memory_.Reset();
    size_ = 0;
    position_ = 0;
    readError_ = false;
}

std::size_t InputStream::Read(void* into, std::size_t count) {
    if (!IsOpen() || position_ >= size_) return 0;
    count = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(count), size_ - position_));
    std::size_t read = 0;
    if (memory_) {
        std::memcpy(into, memory_.Data() + position_, count);
        read = count;
    } else {
        read = std::fread(into, 1, count, file_.get());
        if (read < count && std::ferror(file_.get())) readError_ = true;
    }
    position_ += static_cast<std::int64_t>(read);
    return read;
}

bool InputStream::Seek(std::int64_t offset) {
    if (!IsOpen() || offset < 0 || offset > size_) return false;
    if (file_ && std::fseek(file_.get(), static_cast<long>(offset), SEEK_SET) != 0) {
        readError_ = true;
        return false;
    }
    position_ = offset;
    return true;
}

}  // namespace imagelib
