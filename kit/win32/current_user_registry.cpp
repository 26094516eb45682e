#include "kit/win32/current_user_registry.h"

#include <windows.h>

#include <vector>

#include "common/win32/guards.h"

namespace kit::win32 {
namespace {

class UserKey : public RegistryKey {
public:
    explicit UserKey(HKEY key) : key_(key) {}
    // A value longer than `capacity` reads as missing.
    std::optional<std::vector<std::uint8_t>> Query(const std::string& name,
                                                   std::size_t capacity) const override {
        std::vector<std::uint8_t> bytes(capacity == 0 ? 1 : capacity);
        DWORD size = static_cast<DWORD>(bytes.size());
        if (::RegQueryValueExA(key_.Get(), name.c_str(), nullptr, nullptr, bytes.data(), &size) !=
                ERROR_SUCCESS ||
            size > capacity)
            return std::nullopt;
        bytes.resize(size);
        return bytes;
    }

private:
    ::win32::UniqueRegKey key_;
};

}  // namespace

std::unique_ptr<RegistryKey> CurrentUserRegistry::OpenCurrentUser(const std::string& subkey) const {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<UserKey>(key);
}

}  // namespace kit::win32
