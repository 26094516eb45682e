// The store in the real registry of the test session's Wine prefix, and
// the first board a run stores there.
#include "puzzle/win32/registry_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "puzzle/core/board.h"
#include "puzzle/win32/image_library.h"
#include "puzzle/win32/saver_environment.h"
#include "puzzle/win32/saver_files.h"
#include "puzzle/win32/saver_pictures.h"
#include "puzzle/win32/test_windows.h"

namespace puzzle {
namespace {

constexpr char kTestKey[] = "Software\\RediraTests\\Store";
constexpr char kSaverKey[] = "SOFTWARE\\Zelt\\Corvane";

struct RawValue {
    DWORD type = 0;
    std::vector<BYTE> bytes;
};

std::optional<RawValue> QueryValue(const char* keyName, const char* name) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, keyName, 0, KEY_READ, &raw) != ERROR_SUCCESS)
        return std::nullopt;
    win32::UniqueRegKey key(raw);
    RawValue value;
    DWORD size = 0;
    if (::RegQueryValueExA(key.Get(), name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.bytes.resize(size);
    if (::RegQueryValueExA(key.Get(), name, nullptr, &value.type, value.bytes.data(), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

std::optional<DWORD> QueryNumber(const char* keyName, const char* name) {
    const auto value = QueryValue(keyName, name);
    if (!value || value->type != REG_DWORD || value->bytes.size() != 4) return std::nullopt;
    DWORD number;
    std::memcpy(&number, value->bytes.data(), 4);
    return number;
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::DeleteRegistryTree(kTestKey);
        testing::DeleteRegistryTree(kSaverKey);
    }
    void TearDown() override {
        testing::DeleteRegistryTree(kTestKey);
        testing::DeleteRegistryTree(kSaverKey);
        // The parents too, when nothing else is in them.
        ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\RediraTests");
        ::RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Zelt");
    }
};

TEST_F(RegistryTest, ValuesAreReadWithinTheRoomOffered) {
    RegistryStore store;
    EXPECT_FALSE(store.OpenExisting(kTestKey));
    auto key = store.CreateOrOpen(kTestKey);
    ASSERT_TRUE(key);
    const std::int32_t block[] = {1, 2, 0x01020304};
    ASSERT_TRUE(WriteIntegers(*key, "block", block));
    EXPECT_EQ(QueryValue(kTestKey, "block")->bytes,
              (std::vector<BYTE>{1, 0, 0, 0, 2, 0, 0, 0, 4, 3, 2, 1}));
    EXPECT_EQ(ReadIntegers(*key, "block", 3), (std::vector<std::int32_t>{1, 2, 0x01020304}));
    EXPECT_FALSE(ReadIntegers(*key, "block", 2));  // more than the room offered
    EXPECT_FALSE(ReadInteger(*key, "block"));
    EXPECT_FALSE(ReadInteger(*key, "missing"));
}

TEST_F(RegistryTest, TheFirstBoardIsStored) {
    ImageLibrary library;
    ASSERT_TRUE(library.Adopt(win32::UniqueLibrary(
        ::LoadLibraryA(REDIRA_TEST_FIXTURES "\\fake_imgoralib_current.dll"))));
    HMODULE resources = ::GetModuleHandleA(nullptr);
    RegistryStore store;
    Win32Environment environment(resources);
    SaverPictures pictures(resources, library.Load(), nullptr);
    TickClock clock;
    const BoardServices services{store, environment, pictures, clock};

    std::vector<std::int32_t> first;
    {
        PuzzleBoard board(services);
        ASSERT_TRUE(board.LoadCurrentPicture());
        first.assign(board.Arrangement().begin(), board.Arrangement().end());
        EXPECT_EQ(QueryNumber(kSaverKey, "numtilesx"), static_cast<DWORD>(board.Columns()));
        EXPECT_EQ(QueryNumber(kSaverKey, "numtilesy"), static_cast<DWORD>(board.Rows()));
    }
    const auto index = QueryValue(kSaverKey, "index");
    ASSERT_TRUE(index);
    EXPECT_EQ(index->type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(index->bytes.size(), 12u * 12u * 4u);
    EXPECT_EQ(QueryNumber(kSaverKey, "hard"), 12u);
    EXPECT_EQ(QueryNumber(kSaverKey, "TopHard"), 20u);
    EXPECT_EQ(QueryNumber(kSaverKey, "CurrentPic"), 1u);
    EXPECT_EQ(QueryNumber(kSaverKey, "UseOwnPics"), 0u);
    EXPECT_EQ(QueryNumber(kSaverKey, "TimesAtEnd"), 0u);
    char windows[MAX_PATH];
    const UINT length = ::GetWindowsDirectoryA(windows, MAX_PATH);
    const auto ownDir = QueryValue(kSaverKey, "OwnDir");
    ASSERT_TRUE(ownDir);
    EXPECT_EQ(ownDir->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(ownDir->bytes.begin(), ownDir->bytes.end()).c_str(),
              std::string(windows, length));

    // The next run takes the board back.
    PuzzleBoard again(services);
    ASSERT_TRUE(again.LoadCurrentPicture());
    EXPECT_TRUE(std::equal(first.begin(), first.end(), again.Arrangement().begin()));
}

TEST_F(RegistryTest, TheSaverMakesItsFirstBoardFromItsOwnResources) {
    // The saver's own resources and the library it carries, as built.
    win32::UniqueLibrary saver(::LoadLibraryExA(REDIRA_DELIVERABLES "\\Redira.scr", nullptr,
                                                LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(saver);
    Win32Environment environment(saver.Get());
    EXPECT_EQ(environment.LoadText(2, 259), kSaverKey);
    EXPECT_EQ(environment.LoadText(3, 9), "12");
    SaverPictures carried(saver.Get(), nullptr, nullptr);
    for (int number = 1; number <= 10; ++number) EXPECT_TRUE(carried.BuiltInExists(number));
    EXPECT_FALSE(carried.BuiltInExists(11));
    // It carries the library as built.
    const auto library_bytes = ResourceBytes(saver.Get(), "IMGORADLLIMAGE", RT_RCDATA);
    std::ifstream file(REDIRA_DELIVERABLES "\\ImgoraLib.dll", std::ios::binary);
    const std::vector<std::uint8_t> built(std::istreambuf_iterator<char>(file), {});
    EXPECT_TRUE(std::equal(library_bytes.begin(), library_bytes.end(), built.begin(), built.end()));
    ImageLibrary library;
    ASSERT_TRUE(library.Adopt(
        win32::UniqueLibrary(::LoadLibraryA(REDIRA_DELIVERABLES "\\ImgoraLib.dll"))));
    RegistryStore store;
    SaverPictures pictures(saver.Get(), library.Load(), nullptr);
    TickClock clock;
    PuzzleBoard board({store, environment, pictures, clock});
    EXPECT_EQ(board.BaseKeyName(), kSaverKey);
    ASSERT_TRUE(board.LoadCurrentPicture());
    EXPECT_FALSE(board.IsPlainBoard());
    // Picture 1 is 534 x 450: on the 1024 x 768 screen, 12 x 10 tiles of 75.
    EXPECT_EQ(board.TileSize(), 75);
    EXPECT_EQ(QueryNumber(kSaverKey, "numtilesx"), 12u);
    EXPECT_EQ(QueryNumber(kSaverKey, "numtilesy"), 10u);
    const auto index = QueryValue(kSaverKey, "index");
    ASSERT_TRUE(index);
    EXPECT_EQ(index->bytes.size(), 12u * 12u * 4u);
}

}  // namespace
}  // namespace puzzle
