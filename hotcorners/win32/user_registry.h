// The current user's registry values Edgewake writes and reads itself
// (the kit's core reads the rest through kit::win32::CurrentUserRegistry).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace edgewake {

// A 32-bit value under HKEY_CURRENT_USER, the key created when missing;
// read, nothing when missing or of another size.
bool WriteUserNumber(const char* subkey, const char* name, DWORD value);
std::optional<DWORD> ReadUserNumber(const char* subkey, const char* name);
// Removes a value; one that is not there counts as removed.
bool DeleteUserValue(const char* subkey, const char* name);
// A text value under HKEY_CURRENT_USER: empty when missing or not text,
// nothing when the key itself cannot be opened for reading.
std::optional<std::string> ReadUserText(const char* subkey, const char* name);

}  // namespace edgewake
