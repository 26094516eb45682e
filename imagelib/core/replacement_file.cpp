#include "imagelib/core/replacement_file.h"

#include <sys/stat.h>

#include <cstdio>

namespace imagelib {
namespace {

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// A name beside `path` that nothing has yet: the name with "~" and a number.
std::string FreeNameBeside(const std::string& path, const char* mark) {
    for (int number = 1; number < 1000; ++number) {
        std::string candidate = path + mark + std::to_string(number);
        if (!Exists(candidate)) return candidate;
    }
    return {};
}

}  // namespace

ReplacementFile::~ReplacementFile() { Discard(); }

LoadStatus ReplacementFile::Create(const std::string& target) {
    Discard();
    if (target.empty()) return LoadStatus::ReadFailed;
    if (Exists(target)) {
        // A file the platform would not let us overwrite is not replaced
        // behind its back either. "r+b" opens without truncating.
        if (!FileExists(target) || !UniqueStdFile(std::fopen(target.c_str(), "r+b"))) {
            return LoadStatus::ReadFailed;
        }
    }
    std::string temporary = FreeNameBeside(target, "~");
    if (temporary.empty()) return LoadStatus::ReadFailed;
    file_.reset(std::fopen(temporary.c_str(), "wb"));
    if (!file_) return LoadStatus::ReadFailed;
    target_ = target;
    temporary_ = std::move(temporary);
    return LoadStatus::Ok;
}

LoadStatus ReplacementFile::Commit() {
    if (!file_) return LoadStatus::ReadFailed;
    const bool written = std::fflush(file_.get()) == 0 && !std::ferror(file_.get());
    const bool closed = std::fclose(file_.release()) == 0;
    if (!written || !closed) {
        Discard();
        return LoadStatus::ReadFailed;
    }
    // POSIX replaces the target at once. The Windows runtime refuses to
    // rename onto an existing file: the old one is moved aside first and
    // put back if the new one cannot take its place.
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        const std::string aside = Exists(target_) ? FreeNameBeside(target_, "~old") : std::string();
        if (aside.empty() || std::rename(target_.c_str(), aside.c_str()) != 0) {
            Discard();
            return LoadStatus::ReadFailed;
        }
        if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
            std::rename(aside.c_str(), target_.c_str());
            Discard();
            return LoadStatus::ReadFailed;
        }
        std::remove(aside.c_str());
    }
    temporary_.clear();
    return LoadStatus::Ok;
}

void ReplacementFile::Discard() {
    file_.reset();
    if (!temporary_.empty()) std::remove(temporary_.c_str());
    temporary_.clear();
}

}  // namespace imagelib
