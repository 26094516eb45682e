// The current user's registry as the kit's core reads it (for "Mouse
// Corners" and the two user options), and the options written back.
#pragma once

#include <windows.h>

#include <string>

#include "kit/core/settings_store.h"

namespace edgewake {

class UserRegistry : public kit::Registry {
public:
    std::unique_ptr<kit::RegistryKey> OpenCurrentUser(const std::string& subkey) const override;
};

// A 32-bit value under HKEY_CURRENT_USER, the key created when missing.
bool WriteUserNumber(const char* subkey, const char* name, DWORD value);
// A text value under HKEY_CURRENT_USER; empty when missing or not text.
std::string ReadUserText(const char* subkey, const char* name);

}  // namespace edgewake
