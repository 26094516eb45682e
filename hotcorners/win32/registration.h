// The registry keys that give the Display Properties control panel
// Edgewake's page: the in-process server under HKEY_CLASSES_ROOT and the
// page handler under HKEY_LOCAL_MACHINE, each write checked.
#pragma once

#include <windows.h>

#include "hotcorners/core/settings_rules.h"

namespace edgewake {

class RegistryRegistration : public hotcorners::RegistrationStore {
public:
    bool WriteClass(const std::string& libraryPath) override;
    bool WritePageKey() override;
    bool RemovePageKey() override;
};

// Whether the page handler's key is there.
bool PageRegistered();

}  // namespace edgewake
