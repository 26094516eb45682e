#include "kit/core/command_line.h"

#include <gtest/gtest.h>

#include "kit/core/testing/test_fakes.h"

namespace kit {
namespace {

TEST(CommandLine, SelectsTheModeAndWindow) {
    constexpr RunMode kBad = RunMode::Invalid, kSaver = RunMode::Saver, kPreview = RunMode::Preview,
                      kConfigure = RunMode::Configure, kPassword = RunMode::ChangePassword;
    // clang-format off
    const struct Case { const char* text; RunMode mode; std::uintptr_t window; } cases[] = {
        // Nothing after the program name: configuration without a parent.
        {"saver.scr", kConfigure, 0}, {"saver.scr    ", kConfigure, 0},
        {"\"C:\\My Savers\\saver.scr\"   ", kConfigure, 0},
        {"saver.scr\t/s", kConfigure, 0},  // a tab is no separator
        {"saver.scr /S", kSaver, 0}, {"saver.scr -s", kSaver, 0}, {"saver.scr s", kSaver, 0},
        {"saver.scr -/s 1234", kSaver, 0}, {"\"C:\\My Savers\\saver.scr\"/s", kSaver, 0},
        // Windows 1234 and 5678 exist; 777 is in front.
        {"saver.scr /p 1234", kPreview, 1234}, {"saver.scr -p:1234", kPreview, 1234},
        {"saver.scr /P1234", kPreview, 1234}, {"saver.scr /l 0x4d2", kPreview, 1234},
        {"saver.scr p 1234", kPreview, 1234}, {"saver.scr /p:0x4d2", kPreview, 1234},
        {"saver.scr /L :: 02322 trailing", kPreview, 1234},
        {"saver.scr /c", kConfigure, 777}, {"saver.scr /C 1234", kConfigure, 777},
        {"saver.scr /c:5678", kConfigure, 777}, {"saver.scr /a", kPassword, 777},
        {"saver.scr -A:5678", kPassword, 5678}, {"saver.scr /a 999", kPassword, 777},
        {"saver.scr /a abc", kPassword, 777},
        {"saver.scr /x", kBad, 0}, {"saver.scr /", kBad, 0}, {"saver.scr /-s", kBad, 0},
        {"saver.scr /p", kBad, 0}, {"saver.scr /p ::  ", kBad, 0}, {"saver.scr /p abc", kBad, 0},
        {"saver.scr /p 0", kBad, 0}, {"saver.scr /p 999", kBad, 0},
        {"saver.scr /p 0x1000004D2", kBad, 0},  // does not fit 32 bits
        {"\"C:\\My Savers\\saver.scr /s", kBad, 0},
    };
    // clang-format on
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

TEST(CommandLine, NamesThePreviewerByItsFirstWordCaseAside) {
    EXPECT_TRUE(NamesPreviewer("   GLIMPSER 1234", "Glimpser"));
    EXPECT_FALSE(NamesPreviewer(" glimpserx", "Glimpser"));
    EXPECT_FALSE(NamesPreviewer(":glimpser", "Glimpser"));
    EXPECT_FALSE(NamesPreviewer("", "Glimpser"));
}

}  // namespace
}  // namespace kit
