#include "hotcorners/core/window_list.h"

#include <algorithm>

namespace hotcorners {

std::vector<std::uint32_t> Members(const WindowList& list) {
    const std::size_t count = std::min<std::size_t>(list.count, kWindowListCapacity);
    return {list.windows, list.windows + count};
}

bool Join(WindowList& list, std::uint32_t window) {
    auto members = Members(list);
    if (std::find(members.begin(), members.end(), window) != members.end()) return true;
    if (members.size() == kWindowListCapacity) return false;
    list.windows[members.size()] = window;
    list.count = static_cast<std::uint32_t>(members.size() + 1);
    return true;
}

bool Leave(WindowList& list, std::uint32_t window) {
    auto members = Members(list);
    const auto kept = std::remove(members.begin(), members.end(), window);
    const bool listed = kept != members.end();
    members.erase(kept, members.end());
    std::copy(members.begin(), members.end(), list.windows);
    list.count = static_cast<std::uint32_t>(members.size());
    return listed;
}

}  // namespace hotcorners
