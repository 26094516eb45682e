// The platform's key-value store and string table as the kit's core sees
// them: a registry of keys under the current user holding named values of
// raw bytes, the same registry for writing, and texts looked up by numeric
// id.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kit {

class RegistryKey {
public:
    virtual ~RegistryKey() = default;
    // The value's bytes whatever its stored type, or nothing when the value
    // is missing or holds more than `capacity` bytes.
    virtual std::optional<std::vector<std::uint8_t>> Query(const std::string& name,
                                                           std::size_t capacity) const = 0;
};

class Registry {
public:
    virtual ~Registry() = default;
    // A key under the current user, opened for reading; null when missing.
    virtual std::unique_ptr<RegistryKey> OpenCurrentUser(const std::string& subkey) const = 0;
};

class WritableRegistryKey {
public:
    virtual ~WritableRegistryKey() = default;
    virtual void SetNumber(const std::string& name, std::uint32_t value) = 0;
    // A text value of exactly these bytes, its terminator included.
    virtual void SetText(const std::string& name, const std::vector<std::uint8_t>& bytes) = 0;
};

class RegistryWriter {
public:
    virtual ~RegistryWriter() = default;
    // A key under the current user, created when missing and opened for
    // writing; null when that fails.
    virtual std::unique_ptr<WritableRegistryKey> CreateCurrentUser(const std::string& subkey) = 0;
};

class StringTable {
public:
    virtual ~StringTable() = default;
    // The text with this id, or nothing when it does not load.
    virtual std::optional<std::string> Load(int id) const = 0;
};

}  // namespace kit
