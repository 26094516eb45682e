#include "kit/core/version.h"

#include <algorithm>
#include <cstring>

namespace kit {

int CopyVersionText(char* buffer, int capacity) {
    const int length = static_cast<int>(sizeof kVersionText - 1);
    if (buffer && capacity >= 1) {
        const int copied = std::min(length, capacity - 1);
        std::memcpy(buffer, kVersionText, static_cast<std::size_t>(copied));
        buffer[copied] = '\0';
    }
    return length;
}

}  // namespace kit
