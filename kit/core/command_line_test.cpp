#include "kit/core/command_line.h"

#include <gtest/gtest.h>

#include "kit/core/test_fakes.h"

namespace kit {
namespace {

struct LineCase {
    const char* text;
    RunMode mode;
    std::uintptr_t window;
};

std::ostream& operator<<(std::ostream& out, const LineCase& c) { return out << '[' << c.text << ']'; }

class CommandLineCases : public testing::TestWithParam<LineCase> {};

TEST_P(CommandLineCases, SelectsTheModeAndWindow) {
    FakeWindows windows;  // windows 1234 and 5678 exist, 777 is in front
    const Command command = ParseCommandLine(GetParam().text, windows);
    EXPECT_EQ(command.mode, GetParam().mode);
    EXPECT_EQ(command.window, GetParam().window);
}

constexpr RunMode kBad = RunMode::Invalid;

INSTANTIATE_TEST_SUITE_P(
    NoArgument, CommandLineCases,
    testing::Values(LineCase{"saver.scr", RunMode::Configure, 0},
                    LineCase{"saver.scr    ", RunMode::Configure, 0},
                    LineCase{"\"C:\\My Savers\\saver.scr\"", RunMode::Configure, 0},
                    LineCase{"\"C:\\My Savers\\saver.scr\"   ", RunMode::Configure, 0},
                    // Only the space separates: a tab belongs to the program name.
                    LineCase{"saver.scr\t/s", RunMode::Configure, 0},
                    LineCase{"", RunMode::Configure, 0}));

INSTANTIATE_TEST_SUITE_P(
    FullScreen, CommandLineCases,
    testing::Values(LineCase{"saver.scr /S", RunMode::Saver, 0},
                    LineCase{"saver.scr -s", RunMode::Saver, 0},
                    LineCase{"saver.scr s", RunMode::Saver, 0},
                    LineCase{"saver.scr -/s", RunMode::Saver, 0},
                    LineCase{"saver.scr /s 1234", RunMode::Saver, 0},
                    LineCase{"\"C:\\My Savers\\saver.scr\" /s", RunMode::Saver, 0},
                    LineCase{"\"saver.scr\"/s", RunMode::Saver, 0}));

INSTANTIATE_TEST_SUITE_P(
    Preview, CommandLineCases,
    testing::Values(LineCase{"saver.scr /p 1234", RunMode::Preview, 1234},
                    LineCase{"saver.scr -p:1234", RunMode::Preview, 1234},
                    LineCase{"saver.scr /P1234", RunMode::Preview, 1234},
                    LineCase{"saver.scr /l 0x4d2", RunMode::Preview, 1234},
                    LineCase{"saver.scr /L :: 0X4D2", RunMode::Preview, 1234},
                    LineCase{"saver.scr p 1234", RunMode::Preview, 1234},
                    LineCase{"saver.scr /p:0x4d2", RunMode::Preview, 1234},
                    LineCase{"saver.scr /p 02322", RunMode::Preview, 1234},
                    LineCase{"saver.scr /p 5678 trailing", RunMode::Preview, 5678},
                    LineCase{"saver.scr /p 1234abc", RunMode::Preview, 1234}));

INSTANTIATE_TEST_SUITE_P(
    Configuration, CommandLineCases,
    testing::Values(LineCase{"saver.scr /c", RunMode::Configure, 777},
                    LineCase{"saver.scr /C 1234", RunMode::Configure, 777},
                    LineCase{"saver.scr /c:5678", RunMode::Configure, 777},
                    LineCase{"saver.scr c", RunMode::Configure, 777}));

INSTANTIATE_TEST_SUITE_P(
    ChangePassword, CommandLineCases,
    testing::Values(LineCase{"saver.scr /a", RunMode::ChangePassword, 777},
                    LineCase{"saver.scr /a 1234", RunMode::ChangePassword, 1234},
                    LineCase{"saver.scr -A:5678", RunMode::ChangePassword, 5678},
                    LineCase{"saver.scr /a 999", RunMode::ChangePassword, 777},
                    LineCase{"saver.scr /a abc", RunMode::ChangePassword, 777},
                    LineCase{"saver.scr /a 0", RunMode::ChangePassword, 777}));

INSTANTIATE_TEST_SUITE_P(
    Bad, CommandLineCases,
    testing::Values(LineCase{"saver.scr /x", kBad, 0}, LineCase{"saver.scr /", kBad, 0},
                    LineCase{"saver.scr -", kBad, 0}, LineCase{"saver.scr /-s", kBad, 0},
                    LineCase{"saver.scr //s", kBad, 0}, LineCase{"saver.scr /p", kBad, 0},
                    LineCase{"saver.scr /p   ", kBad, 0}, LineCase{"saver.scr /p::", kBad, 0},
                    LineCase{"saver.scr /p abc", kBad, 0}, LineCase{"saver.scr /p 0", kBad, 0},
                    LineCase{"saver.scr /p 999", kBad, 0},
                    LineCase{"saver.scr /p 0x1000004D2", kBad, 0},
                    LineCase{"\"C:\\My Savers\\saver.scr /s", kBad, 0},
                    LineCase{"\"", kBad, 0}));

TEST(CommandLine, NoCommandLineIsBad) {
    FakeWindows windows;
    EXPECT_EQ(ParseCommandLine(nullptr, windows).mode, RunMode::Invalid);
}

TEST(CommandLine, ThePreviewerIsAskedFirstForPreviewLettersOnly) {
    FakeWindows windows;
    windows.previewer = 4242;  // not one of the numbered windows
    Command command = ParseCommandLine("saver.scr /p glimpser", windows);
    EXPECT_EQ(command.mode, RunMode::Preview);
    EXPECT_EQ(command.window, 4242u);
    command = ParseCommandLine("saver.scr -l:1234", windows);
    EXPECT_EQ(command.window, 4242u);
    ASSERT_EQ(windows.previewerAsked.size(), 2u);
    EXPECT_EQ(windows.previewerAsked[0], " glimpser");
    EXPECT_EQ(windows.previewerAsked[1], ":1234");

    ParseCommandLine("saver.scr /a 1234", windows);
    ParseCommandLine("saver.scr /s", windows);
    ParseCommandLine("saver.scr /c", windows);
    EXPECT_EQ(windows.previewerAsked.size(), 2u);
}

TEST(ScanInteger, ReadsAsPercentIDoes) {
    struct Case {
        const char* text;
        std::optional<std::uint32_t> value;
    };
    const Case cases[] = {
        {"1234", 1234},       {"0x4d2", 1234},      {"0X4D2", 1234},
        {"02322", 1234},      {"+7", 7},            {"-1", 0xFFFFFFFFu},
        {" \t\r\n42", 42},    {"12abc", 12},        {"0", 0},
        {"0x", 0},            {"0xg", 0},           {"09", 0},
        {"4294967295", 0xFFFFFFFFu},                {"0xFFFFFFFF", 0xFFFFFFFFu},
        {"abc", std::nullopt}, {"", std::nullopt},  {"-", std::nullopt},
        {"+", std::nullopt},  {"- 1", std::nullopt}, {"4294967296", std::nullopt},
        {"0x100000000", std::nullopt},              {"99999999999999999999999", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ScanInteger(c.text), c.value) << '[' << c.text << ']';
}

TEST(NamesPreviewer, ComparesTheFirstWordCaseAside) {
    EXPECT_TRUE(NamesPreviewer(" Glimpser", "Glimpser"));
    EXPECT_TRUE(NamesPreviewer("   GLIMPSER 1234", "Glimpser"));
    EXPECT_TRUE(NamesPreviewer("glimpser", "Glimpser"));
    EXPECT_FALSE(NamesPreviewer(" glimpserx", "Glimpser"));
    EXPECT_FALSE(NamesPreviewer(":glimpser", "Glimpser"));
    EXPECT_FALSE(NamesPreviewer(" 1234", "Glimpser"));
    EXPECT_FALSE(NamesPreviewer("", "Glimpser"));
}

}  // namespace
}  // namespace kit
