// The key-value store that keeps the puzzle's settings and progress: a tree
// of named keys holding named values. The platform supplies the store (the
// registry under HKEY_CURRENT_USER on Windows); the tests use MemoryStore
// from testing/test_fakes.h.
//
// A key is closed by destroying its StoreKey. Reads are capacity-bounded:
// a value larger than the room offered counts as missing, as it does for
// the registry's own query with a buffer that is too small.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace puzzle {

enum class ValueKind {
    Integer,  // 32-bit, little-endian
    Text,     // 8-bit characters
    Bytes,    // a block of bytes
};

class StoreKey {
public:
    virtual ~StoreKey() = default;

    // The value's bytes, or nothing when it is missing or holds more than
    // `capacity` bytes.
    virtual std::optional<std::vector<std::uint8_t>> Read(std::string_view name,
                                                          std::size_t capacity) = 0;
    virtual bool Write(std::string_view name, ValueKind kind,
                       std::span<const std::uint8_t> bytes) = 0;
};

class Store {
public:
    virtual ~Store() = default;

    // Null when the key does not exist or cannot be opened.
    virtual std::unique_ptr<StoreKey> OpenExisting(std::string_view path) = 0;
    // Null when the key can neither be created nor opened.
    virtual std::unique_ptr<StoreKey> CreateOrOpen(std::string_view path) = 0;
};

// Typed access on top of the raw bytes.
//
// An integer is read into 4 bytes whatever its stored type: a shorter value
// is taken little-endian with the missing high bytes 0, a longer one counts
// as missing.
std::optional<std::int32_t> ReadInteger(StoreKey& key, std::string_view name);
bool WriteInteger(StoreKey& key, std::string_view name, std::int32_t value);

// A text of at most `capacity` bytes as stored; it ends at the first zero
// byte, if any.
std::optional<std::string> ReadText(StoreKey& key, std::string_view name, std::size_t capacity);
// Writes the characters without a terminating zero.
bool WriteText(StoreKey& key, std::string_view name, std::string_view text);

// 32-bit little-endian integers. Nothing when the value is missing, larger
// than `count` integers, or not exactly `count` integers long.
std::optional<std::vector<std::int32_t>> ReadIntegers(StoreKey& key, std::string_view name,
                                                      std::size_t count);
bool WriteIntegers(StoreKey& key, std::string_view name, std::span<const std::int32_t> values);

}  // namespace puzzle
