#include "puzzle/core/store.h"

#include <algorithm>

namespace puzzle {
namespace {

void PutLittleEndian(std::uint32_t value, std::uint8_t* out) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetLittleEndian(const std::uint8_t* in, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value |= static_cast<std::uint32_t>(in[i]) << (8 * i);
    return value;
}

}  // namespace

std::optional<std::int32_t> ReadInteger(StoreKey& key, std::string_view name) {
    const auto bytes = key.Read(name, 4);
    if (!bytes || bytes->size() > 4) return std::nullopt;
    return static_cast<std::int32_t>(GetLittleEndian(bytes->data(), bytes->size()));
}

bool WriteInteger(StoreKey& key, std::string_view name, std::int32_t value) {
    std::uint8_t bytes[4];
    PutLittleEndian(static_cast<std::uint32_t>(value), bytes);
    return key.Write(name, ValueKind::Integer, bytes);
}

std::optional<std::string> ReadText(StoreKey& key, std::string_view name, std::size_t capacity) {
    const auto bytes = key.Read(name, capacity);
    if (!bytes || bytes->size() > capacity) return std::nullopt;
    const auto end = std::find(bytes->begin(), bytes->end(), std::uint8_t{0});
    return std::string(bytes->begin(), end);
}

bool WriteText(StoreKey& key, std::string_view name, std::string_view text) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    return key.Write(name, ValueKind::Text, {data, text.size()});
}

std::optional<std::vector<std::int32_t>> ReadIntegers(StoreKey& key, std::string_view name,
                                                      std::size_t count) {
    const auto bytes = key.Read(name, count * 4);
    if (!bytes || bytes->size() != count * 4) return std::nullopt;
    std::vector<std::int32_t> values(count);
    for (std::size_t i = 0; i < count; ++i)
        values[i] = static_cast<std::int32_t>(GetLittleEndian(bytes->data() + 4 * i, 4));
    return values;
}

bool WriteIntegers(StoreKey& key, std::string_view name, std::span<const std::int32_t> values) {
    std::vector<std::uint8_t> bytes(values.size() * 4);
    for (std::size_t i = 0; i < values.size(); ++i)
        PutLittleEndian(static_cast<std::uint32_t>(values[i]), bytes.data() + 4 * i);
    return key.Write(name, ValueKind::Bytes, bytes);
}

}  // namespace puzzle
