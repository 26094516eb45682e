#include "puzzle/win32/registry_store.h"

#include <windows.h>

#include <string>

#include "common/win32/guards.h"

namespace puzzle {
namespace {

DWORD RegistryType(ValueKind kind) {
    switch (kind) {
    case ValueKind::Integer: return REG_DWORD;
    case ValueKind::Text: return REG_SZ;
    case ValueKind::Bytes: break;
    }
    return REG_BINARY;
}

class RegistryKey final : public StoreKey {
public:
    explicit RegistryKey(HKEY key) : key_(key) {}

    std::optional<std::vector<std::uint8_t>> Read(std::string_view name,
                                                  std::size_t capacity) override {
        const std::string valueName(name);
        // Most values are small and come in one call; a larger one is
        // asked again with room for what it holds, never more than the
        // caller offers.
        std::uint8_t small[64];
        DWORD size = sizeof small;
        const LONG first =
            ::RegQueryValueExA(key_.Get(), valueName.c_str(), nullptr, nullptr, small, &size);
        if ((first != ERROR_SUCCESS && first != ERROR_MORE_DATA) || size > capacity)
            return std::nullopt;
        if (first == ERROR_SUCCESS) return std::vector<std::uint8_t>(small, small + size);
        std::vector<std::uint8_t> bytes(size);
        if (::RegQueryValueExA(key_.Get(), valueName.c_str(), nullptr, nullptr, bytes.data(),
                               &size) != ERROR_SUCCESS ||
            size > bytes.size())
            return std::nullopt;
        bytes.resize(size);
        return bytes;
    }

    bool Write(std::string_view name, ValueKind kind,
               std::span<const std::uint8_t> bytes) override {
        return ::RegSetValueExA(key_.Get(), std::string(name).c_str(), 0, RegistryType(kind),
                                bytes.data(), static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
    }

private:
    win32::UniqueRegKey key_;
};

}  // namespace

std::unique_ptr<StoreKey> RegistryStore::OpenExisting(std::string_view path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, std::string(path).c_str(), 0, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<RegistryKey>(key);
}

std::unique_ptr<StoreKey> RegistryStore::CreateOrOpen(std::string_view path) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, std::string(path).c_str(), 0, nullptr,
                          REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<RegistryKey>(key);
}

}  // namespace puzzle
