#include "kit/core/command_line.h"

#include <gtest/gtest.h>

#include "kit/core/testing/test_fakes.h"

namespace kit {
namespace {

TEST(CommandLine, SelectsTheModeAndWindow) {
    struct Case {
        const char* text;
        RunMode mode;
        std::uintptr_t window;
    };
    constexpr RunMode kBad = RunMode::Invalid;
    const Case cases[] = {
        // Nothing after the program name: configuration without a parent.
        {"saver.scr", RunMode::Configure, 0},
        {"saver.scr    ", RunMode::Configure, 0},
        {"\"C:\\My Savers\\saver.scr\"   ", RunMode::Configure, 0},
        {"saver.scr\t/s", RunMode::Configure, 0},  // a tab is no separator
        {"saver.scr /S", RunMode::Saver, 0},
        {"saver.scr -s", RunMode::Saver, 0},
        {"saver.scr s", RunMode::Saver, 0},
        {"saver.scr -/s 1234", RunMode::Saver, 0},
        {"\"C:\\My Savers\\saver.scr\"/s", RunMode::Saver, 0},
        // Windows 1234 and 5678 exist; 777 is in front.
        {"saver.scr /p 1234", RunMode::Preview, 1234},
        {"saver.scr -p:1234", RunMode::Preview, 1234},
        {"saver.scr /P1234", RunMode::Preview, 1234},
        {"saver.scr /l 0x4d2", RunMode::Preview, 1234},
        {"saver.scr p 1234", RunMode::Preview, 1234},
        {"saver.scr /p:0x4d2", RunMode::Preview, 1234},
        {"saver.scr /L :: 02322 trailing", RunMode::Preview, 1234},
        {"saver.scr /c", RunMode::Configure, 777},
        {"saver.scr /C 1234", RunMode::Configure, 777},
        {"saver.scr /c:5678", RunMode::Configure, 777},
        {"saver.scr /a", RunMode::ChangePassword, 777},
        {"saver.scr -A:5678", RunMode::ChangePassword, 5678},
        {"saver.scr /a 999", RunMode::ChangePassword, 777},
        {"saver.scr /a abc", RunMode::ChangePassword, 777},
        {"saver.scr /x", kBad, 0},
        {"saver.scr /", kBad, 0},
        {"saver.scr /-s", kBad, 0},
        {"saver.scr /p", kBad, 0},
        {"saver.scr /p ::  ", kBad, 0},
        {"saver.scr /p abc", kBad, 0},
        {"saver.scr /p 0", kBad, 0},
        {"saver.scr /p 999", kBad, 0},
        {"saver.scr /p 0x1000004D2", kBad, 0},  // does not fit 32 bits
        {"\"C:\\My Savers\\saver.scr /s", kBad, 0},
    };
    for (const Case& c : cases) {
        FakeWindows windows;
        const Command command = ParseCommandLine(c.text, windows);
        EXPECT_EQ(command.mode, c.mode) << c.text;
        EXPECT_EQ(command.window, c.window) << c.text;
    }
    FakeWindows windows;
    EXPECT_EQ(ParseCommandLine(nullptr, windows).mode, kBad);
}

TEST(CommandLine, ThePreviewerIsAskedFirstForPreviewLettersOnly) {
    FakeWindows windows;
    windows.previewer = 4242;
    EXPECT_EQ(ParseCommandLine("saver.scr /p glimpser", windows).window, 4242u);
    EXPECT_EQ(ParseCommandLine("saver.scr -l:1234", windows).window, 4242u);
    ParseCommandLine("saver.scr /a 1234", windows);
    ParseCommandLine("saver.scr /s", windows);
    EXPECT_EQ(windows.previewerAsked, (std::vector<std::string>{" glimpser", ":1234"}));
}

TEST(CommandLine, ScansIntegersAsPercentIDoes) {
    struct Case {
        const char* text;
        std::optional<std::uint32_t> value;
    };
    const Case cases[] = {
        {"0x4d2", 1234},  {"02322", 1234},      {"+7", 7},           {"-1", 0xFFFFFFFFu},
        {" \t42", 42},    {"12abc", 12},        {"0x", 0},           {"09", 0},
        {"0xFFFFFFFF", 0xFFFFFFFFu},            {"abc", std::nullopt}, {"-", std::nullopt},
        {"", std::nullopt}, {"4294967296", std::nullopt},
        {"99999999999999999999999", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ScanInteger(c.text), c.value) << '[' << c.text << ']';
}

TEST(CommandLine, NamesThePreviewerByItsFirstWordCaseAside) {
    EXPECT_TRUE(NamesPreviewer("   GLIMPSER 1234", "Glimpser"));
    EXPECT_FALSE(NamesPreviewer(" glimpserx", "Glimpser"));
    EXPECT_FALSE(NamesPreviewer(":glimpser", "Glimpser"));
    EXPECT_FALSE(NamesPreviewer("", "Glimpser"));
}

}  // namespace
}  // namespace kit
