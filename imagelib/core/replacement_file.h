// A file written under a temporary name beside its target and moved into
// the target's place only when it is complete. A save that fails halfway
// thus leaves neither a half-written file under the target's name nor a
// spoilt copy of a file that was there before.
#pragma once

#include <cstdio>
#include <string>

#include "imagelib/core/input_stream.h"
#include "imagelib/core/load_status.h"

namespace imagelib {

class ReplacementFile {
public:
    ReplacementFile() = default;
    // Removes the temporary file unless it was committed.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Creates the temporary file beside `target` (the target's name with
    // "~" and a number). ReadFailed when the target exists but cannot be
    // written (read-only, held by another program, a folder) or when
    // nothing can be created beside it.
    LoadStatus Create(const std::string& target);
    std::FILE* Stream() const { return file_.get(); }
    const std::string& TemporaryName() const { return temporary_; }

    // Closes the temporary file and puts it in the target's place,
    // replacing a file of that name. ReadFailed when the data did not all
    // reach the disk or the target cannot be replaced; the temporary file
    // is then removed and a file that was there before stays as it was.
    LoadStatus Commit();

private:
    void Discard();

    std::string target_;
    std::string temporary_;
    UniqueStdFile file_;
};

}  // namespace imagelib
