// The saver's command line in the Windows screen-saver convention:
//   /s                full-screen saver
//   /p N, /l N        preview inside window N
//   /c                configuration over the foreground window
//   /a [N]            change password over window N or the foreground window
//   (nothing)         configuration with no parent window
// '-' and '/' are optional, the letter's case does not matter; anything
// else is a bad command line (exit code 2).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kit {

enum class RunMode { Invalid, Saver, Preview, Configure, ChangePassword };

struct Command {
    RunMode mode = RunMode::Invalid;
    std::uintptr_t window = 0;  // parent or owner window; 0 for none
};

// What the parser needs to know about windows.
class WindowQuery {
public:
    virtual ~WindowQuery() = default;
    virtual bool IsWindow(std::uintptr_t window) = 0;
    virtual std::uintptr_t ForegroundWindow() = 0;
    // The separate previewer's check for a preview letter: the window to
    // preview in, or 0 to go on with the window number. `afterLetter` is
    // the text after the mode letter.
    virtual std::uintptr_t PreviewerWindow(std::string_view afterLetter) = 0;
};

// `text` is the whole command line, program name first; null for none.
Command ParseCommandLine(const char* text, WindowQuery& windows);

std::string LowerAscii(std::string_view text);

// Whether the first word after the mode letter (spaces skipped, up to the
// next space) is the previewer's name, case aside.
bool NamesPreviewer(std::string_view afterLetter, std::string_view name);

}  // namespace kit
