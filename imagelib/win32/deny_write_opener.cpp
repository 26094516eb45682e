#include "imagelib/win32/deny_write_opener.h"

#include <share.h>

namespace imagelib {

std::FILE* DenyWriteOpener::OpenForReading(const std::string& fileName) const {
    return ::_fsopen(fileName.c_str(), "rb", _SH_DENYWR);
}

}  // namespace imagelib
