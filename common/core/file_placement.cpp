#include "common/core/file_placement.h"

namespace common {

std::string FolderOf(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string_view::npos ? std::string()
                                               : std::string(path.substr(0, separator));
}

StagedCopy::StagedCopy(PlacementFiles& files, std::span<const std::uint8_t> bytes,
                       const std::string& folder)
    : files_(files) {
    if (bytes.empty()) {
        fault_ = FileFault::Missing;
        return;
    }
    PlacementFiles::NewFile made = files_.NewFileIn(folder);
    if (made.path.empty()) {
        fault_ = made.fault == FileFault::None ? FileFault::Failed : made.fault;
        return;
    }
    fault_ = files_.WriteWhole(made.path, bytes);
    if (fault_ == FileFault::None)
        path_ = std::move(made.path);
    else
        files_.Remove(made.path);
}

FileFault StagedCopy::MoveTo(const std::string& target) {
    if (path_.empty()) return fault_ == FileFault::None ? FileFault::Failed : fault_;
    fault_ = files_.MoveOver(path_, target);
    if (fault_ == FileFault::None) path_.clear();
    return fault_;
}

void StagedCopy::Discard() {
    if (!path_.empty()) files_.Remove(path_);
    path_.clear();
}

}  // namespace common
