// The store in the real registry of the test session's Wine prefix, and
// the first board the saver stores there.
#include "puzzle/win32/registry_store.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "puzzle/core/picture_set.h"
#include "puzzle/win32/image_library.h"
#include "puzzle/win32/saver_environment.h"
#include "puzzle/win32/saver_files.h"
#include "puzzle/win32/saver_pictures.h"
#include "puzzle/win32/testing/test_windows.h"

namespace puzzle {
namespace {

constexpr char kTestKey[] = "Software\\RediraTests\\Store";
constexpr char kSaverKey[] = "SOFTWARE\\Zelt\\Corvane";

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

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); }
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

    // A value larger than one call's first room: a whole 20 x 20 board.
    std::vector<std::int32_t> board(400);
    for (std::size_t i = 0; i < board.size(); ++i) board[i] = static_cast<std::int32_t>(399 - i);
    ASSERT_TRUE(WriteIntegers(*key, "board", board));
    EXPECT_EQ(ReadIntegers(*key, "board", 400), board);
    EXPECT_FALSE(ReadIntegers(*key, "board", 399));
}

TEST_F(RegistryTest, TheSaverStoresItsFirstBoardFromItsOwnResources) {
    // The saver's own resources and the library it carries, as built.
    win32::UniqueLibrary saver(::LoadLibraryExA(REDIRA_DELIVERABLES "\\Redira.scr", nullptr,
                                                LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(saver);
    const auto carried = ResourceBytes(saver.Get(), "IMGORADLLIMAGE", RT_RCDATA);
    const auto built = testing::FileBytes(REDIRA_DELIVERABLES "\\ImgoraLib.dll");
    EXPECT_TRUE(std::equal(carried.begin(), carried.end(), built.begin(), built.end()));
    ImageLibrary library;
    ASSERT_TRUE(library.Adopt(
        win32::UniqueLibrary(::LoadLibraryA(REDIRA_DELIVERABLES "\\ImgoraLib.dll"))));
    RegistryStore store;
    Win32Environment environment(saver.Get());
    SaverPictures pictures(saver.Get(), library.Load(), nullptr);
    EXPECT_TRUE(pictures.BuiltInExists(10));
    EXPECT_FALSE(pictures.BuiltInExists(11));
    TickClock clock;
    {
        const BoardServices services{store, environment, pictures, clock};
        ProgressStore progress(services);
        EXPECT_EQ(progress.BaseKeyName(), kSaverKey);  // string 2
        const auto board = PictureSet(progress, services).MakeCurrentBoard(progress.Hard());
        ASSERT_FALSE(board->IsPlainBoard());
        // Picture 1 is 534 x 450: on the 1024 x 768 screen at the default
        // difficulty 12 (string 3), 12 x 10 tiles of 75.
        EXPECT_EQ(board->TileSize(), 75);
    }
    // The defaults of a first run are those of the core's tests; here, how
    // the registry holds them.
    for (const auto& [name, value] : {std::pair{"numtilesx", 12}, {"numtilesy", 10}, {"hard", 12}}) {
        const auto stored = QueryValue(kSaverKey, name);
        ASSERT_TRUE(stored) << name;
        EXPECT_EQ(stored->type, static_cast<DWORD>(REG_DWORD)) << name;
        EXPECT_EQ(stored->bytes, (std::vector<BYTE>{static_cast<BYTE>(value), 0, 0, 0})) << name;
    }
    const auto index = QueryValue(kSaverKey, "index");
    ASSERT_TRUE(index);
    EXPECT_EQ(index->type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(index->bytes.size(), 12u * 12u * 4u);
    char windows[MAX_PATH];
    const UINT length = ::GetWindowsDirectoryA(windows, MAX_PATH);
    const auto ownDir = QueryValue(kSaverKey, "OwnDir");
    ASSERT_TRUE(ownDir);
    EXPECT_EQ(ownDir->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(ownDir->bytes.begin(), ownDir->bytes.end()).c_str(),
              std::string(windows, length));
}

}  // namespace
}  // namespace puzzle
