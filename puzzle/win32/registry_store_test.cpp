// The store in the real registry of the test session's Wine prefix. (The
// saver's first board there is looked at by the whole-program tests.)
#include "puzzle/win32/registry_store.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "puzzle/win32/testing/test_windows.h"

namespace puzzle {
namespace {

constexpr char kTestKey[] = "Software\\RediraTests\\Store";

struct RawValue {
    DWORD type = 0;
    std::vector<BYTE> bytes;
};

std::optional<RawValue> QueryValue(const char* key, const char* name) {
    RawValue value;
    DWORD size = 0;
    if (::RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                       nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.bytes.resize(size);
    if (::RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_ANY | RRF_NOEXPAND, nullptr,
                       value.bytes.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.bytes.resize(size);
    return value;
}

TEST(RegistryStore, ValuesAreStoredAsTheSaverAlwaysDidAndReadWithinTheRoomOffered) {
    testing::DeleteRegistryTree(kTestKey);
    RegistryStore store;
    EXPECT_FALSE(store.OpenExisting(kTestKey));
    auto key = store.CreateOrOpen(kTestKey);
    ASSERT_TRUE(key);
    const std::int32_t block[] = {1, 2, 0x01020304};
    ASSERT_TRUE(WriteIntegers(*key, "block", block));
    ASSERT_TRUE(WriteInteger(*key, "hard", 12));
    ASSERT_TRUE(WriteText(*key, "OwnDir", "C:\\WINDOWS"));
    const auto stored = QueryValue(kTestKey, "block");
    EXPECT_EQ(stored->type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(stored->bytes, (std::vector<BYTE>{1, 0, 0, 0, 2, 0, 0, 0, 4, 3, 2, 1}));
    EXPECT_EQ(QueryValue(kTestKey, "hard")->type, static_cast<DWORD>(REG_DWORD));
    const auto text = QueryValue(kTestKey, "OwnDir");
    EXPECT_EQ(text->type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(std::string(text->bytes.begin(), text->bytes.end()).c_str(), "C:\\WINDOWS");

    EXPECT_EQ(ReadIntegers(*key, "block", 3), (std::vector<std::int32_t>{1, 2, 0x01020304}));
    EXPECT_FALSE(ReadIntegers(*key, "block", 2));  // more than the room offered
    EXPECT_FALSE(ReadInteger(*key, "block"));
    EXPECT_FALSE(ReadInteger(*key, "missing"));
    EXPECT_EQ(ReadInteger(*key, "hard"), 12);

    // A value larger than one call's first room: a whole 20 x 20 board.
    std::vector<std::int32_t> board(400);
    for (std::size_t i = 0; i < board.size(); ++i) board[i] = static_cast<std::int32_t>(399 - i);
    ASSERT_TRUE(WriteIntegers(*key, "board", board));
    EXPECT_EQ(ReadIntegers(*key, "board", 400), board);
    EXPECT_FALSE(ReadIntegers(*key, "board", 399));

    key.reset();
    testing::DeleteRegistryTree(kTestKey);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\RediraTests");
}

}  // namespace
}  // namespace puzzle
