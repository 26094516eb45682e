// Files of the saver: its resources.
// New files are put in place through common::StagedCopy with
// win32::PlacementFiles (prefix "scj").
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

namespace puzzle {

// The prefix of the saver's new files: "scj" and four hexadecimal digits.
inline constexpr char kNewFilePrefix[] = "scj";

// The bytes of a resource of `module`; empty when it is missing.
std::span<const std::uint8_t> ResourceBytes(HMODULE module, const char* name, const char* type);

}  // namespace puzzle
