// The current user's registry values Edgewake writes and reads itself
// (the kit's core reads the rest through kit::win32::CurrentUserRegistry).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace edgewake {

// A 32-bit value under HKEY_CURRENT_USER, the key created when missing.
bool WriteUserNumber(const char* subkey, const char* name, DWORD value);
// Removes a value, if it is there.
void DeleteUserValue(const char* subkey, const char* name);
// A text value under HKEY_CURRENT_USER: empty when missing or not text,
// nothing when the key itself cannot be opened for reading.
std::optional<std::string> ReadUserText(const char* subkey, const char* name);

}  // namespace edgewake
