// The registry keys that give the Display Properties control panel
// Edgewake's page: the in-process server under HKEY_CLASSES_ROOT and the
// page handler under HKEY_LOCAL_MACHINE, each write checked.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "hotcorners/core/settings_rules.h"

namespace edgewake {

// Creates (or opens) the key and sets its text values (a null name is the
// key's default); answers whether every step took.
bool WriteTexts(HKEY root, const char* subkey,
                std::initializer_list<std::pair<const char*, std::string>> values);

class RegistryRegistration : public hotcorners::RegistrationStore {
public:
    bool WriteClass(const std::string& libraryPath) override;
    bool WritePageKey() override;
    bool RemovePageKey() override;
};

// Whether the page handler's key is there.
bool PageRegistered();

}  // namespace edgewake
