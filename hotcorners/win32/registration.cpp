#include "hotcorners/win32/registration.h"

#include "common/win32/guards.h"

namespace edgewake {

bool WriteTexts(HKEY root, const char* subkey,
                std::initializer_list<std::pair<const char*, std::string>> values) {
    HKEY opened = nullptr;
    if (::RegCreateKeyExA(root, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                          &opened, nullptr) != ERROR_SUCCESS)
        return false;
    const ::win32::UniqueRegKey key(opened);
    for (const auto& [name, text] : values)
        if (::RegSetValueExA(key.Get(), name, 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1)) != ERROR_SUCCESS)
            return false;
    return true;
}

bool RegistryRegistration::WriteClass(const std::string& libraryPath) {
    return WriteTexts(HKEY_CLASSES_ROOT, hotcorners::kClassKey,
                      {{nullptr, hotcorners::kClassName}}) &&
           WriteTexts(HKEY_CLASSES_ROOT, hotcorners::kServerKey,
                      {{nullptr, libraryPath}, {"ThreadingModel", "Apartment"}});
}

bool RegistryRegistration::WritePageKey() {
    return WriteTexts(HKEY_LOCAL_MACHINE, hotcorners::kPageKey, {{nullptr, hotcorners::kClassId}});
}

bool RegistryRegistration::RemovePageKey() {
    const LONG result = ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, hotcorners::kPageKey);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool PageRegistered() {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, hotcorners::kPageKey, 0, KEY_READ, &opened) !=
        ERROR_SUCCESS)
        return false;
    const ::win32::UniqueRegKey key(opened);
    return true;
}

}  // namespace edgewake
