// The current user's registry as the kit's core reads it: keys opened for
// reading only. Shared by every module that reads the kit's settings (the
// kit itself, Edgewake).
#pragma once

#include <memory>
#include <string>

#include "kit/core/settings_store.h"

namespace kit::win32 {

class CurrentUserRegistry : public Registry {
public:
    std::unique_ptr<RegistryKey> OpenCurrentUser(const std::string& subkey) const override;
};

}  // namespace kit::win32
