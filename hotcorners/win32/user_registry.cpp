#include "hotcorners/win32/user_registry.h"

#include "common/win32/guards.h"

namespace edgewake {
namespace {

win32::UniqueRegKey OpenUserKey(const char* subkey, REGSAM access) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, subkey, 0, access, &raw) != ERROR_SUCCESS) return {};
    return win32::UniqueRegKey(raw);
}

}  // namespace

bool WriteUserNumber(const char* subkey, const char* name, DWORD value) {
    HKEY raw = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, subkey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw,
                          nullptr) != ERROR_SUCCESS)
        return false;
    const win32::UniqueRegKey key(raw);
    return ::RegSetValueExA(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof value) == ERROR_SUCCESS;
}

void DeleteUserValue(const char* subkey, const char* name) {
    if (const win32::UniqueRegKey key = OpenUserKey(subkey, KEY_SET_VALUE))
        ::RegDeleteValueA(key.Get(), name);
}

std::optional<std::string> ReadUserText(const char* subkey, const char* name) {
    const win32::UniqueRegKey key = OpenUserKey(subkey, KEY_READ);
    if (!key) return std::nullopt;
    char text[MAX_PATH + 1] = {};
    DWORD type = 0;
    DWORD size = MAX_PATH;  // one place left for a terminator the value lacks
    if (::RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::string();
    return std::string(text);
}

}  // namespace edgewake
