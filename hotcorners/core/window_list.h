// A fixed list of windows that every process loading the library shares:
// plain fields only, so that it can live in memory shared between
// processes. Window handles are 32-bit numbers that mean the same window
// in every process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace hotcorners {

inline constexpr std::size_t kWindowListCapacity = 16;

struct WindowList {
    std::uint32_t count;
    std::uint32_t windows[kWindowListCapacity];
};

// The windows listed; a count beyond the capacity (memory that another
// process left half written) reads as a full list, never past it.
std::vector<std::uint32_t> Members(const WindowList& list);

// Adds the window once. False when the list is full; the caller first
// drops the windows that no longer exist.
bool Join(WindowList& list, std::uint32_t window);

// Removes every entry of the window; false when it was not listed.
bool Leave(WindowList& list, std::uint32_t window);

// Removes every window for which `gone` answers true.
template <typename Gone>
void DropGone(WindowList& list, Gone gone) {
    for (const std::uint32_t window : Members(list))
        if (gone(window)) Leave(list, window);
}

}  // namespace hotcorners
