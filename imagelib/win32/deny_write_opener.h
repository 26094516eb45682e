// Files opened so that others may go on reading them but not write them
// while the library reads them.
#pragma once

#include "imagelib/core/input_stream.h"

namespace imagelib {

class DenyWriteOpener : public FileOpener {
public:
    std::FILE* OpenForReading(const std::string& fileName) const override;
};

}  // namespace imagelib
