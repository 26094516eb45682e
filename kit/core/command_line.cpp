#include "kit/core/command_line.h"

#include "common/core/number_text.h"

namespace kit {
namespace {

// Only the space character separates; a tab does not.
std::string_view SkipSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    return text;
}

std::string_view SkipSpacesAndColons(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == ':')) text.remove_prefix(1);
    return text;
}

// A window number that does not fit in 32 bits names no window; a negative
// one wraps to 32 bits, as a handle's bits.
std::optional<std::uint32_t> WindowNumber(std::string_view text) {
    const auto scanned = common::ScanInteger(text, common::Overflow::Refuse);
    if (!scanned) return std::nullopt;
    return scanned->value;
}

char LowerAsciiChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The window number of a preview: nothing, no integer or no such window
// is a bad command line.
Command PreviewIn(std::string_view afterLetter, WindowQuery& windows) {
    if (const std::uintptr_t previewer = windows.PreviewerWindow(afterLetter))
        return {RunMode::Preview, previewer};
    const std::string_view rest = SkipSpacesAndColons(afterLetter);
    if (rest.empty()) return {};
    const auto number = WindowNumber(rest);
    if (!number || !windows.IsWindow(*number)) return {};
    return {RunMode::Preview, *number};
}

Command ChangePasswordOver(std::string_view afterLetter, WindowQuery& windows) {
    const auto number = WindowNumber(SkipSpacesAndColons(afterLetter));
    if (number && windows.IsWindow(*number)) return {RunMode::ChangePassword, *number};
    return {RunMode::ChangePassword, windows.ForegroundWindow()};
}

}  // namespace

Command ParseCommandLine(const char* text, WindowQuery& windows) {
    if (!text) return {};
    std::string_view rest(text);

    // The program name, quoted or up to the first space.
    if (!rest.empty() && rest.front() == '"') {
        const auto closing = rest.find('"', 1);
        if (closing == std::string_view::npos) return {};
        rest.remove_prefix(closing + 1);
    } else {
        const auto space = rest.find(' ');
        rest.remove_prefix(space == std::string_view::npos ? rest.size() : space);
    }

    rest = SkipSpaces(rest);
    if (rest.empty()) return {RunMode::Configure, 0};

    if (rest.front() == '-') rest.remove_prefix(1);
    if (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
    if (rest.empty()) return {};
    const char letter = LowerAsciiChar(rest.front());
    const std::string_view afterLetter = rest.substr(1);

    switch (letter) {
    case 's': return {RunMode::Saver, 0};
    case 'p':
    case 'l': return PreviewIn(afterLetter, windows);
    case 'c': return {RunMode::Configure, windows.ForegroundWindow()};
    case 'a': return ChangePasswordOver(afterLetter, windows);
    default: return {};
    }
}

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = LowerAsciiChar(c);
    return lower;
}

bool NamesPreviewer(std::string_view afterLetter, std::string_view name) {
    std::string_view word = SkipSpaces(afterLetter);
    word = word.substr(0, word.find(' '));
    return LowerAscii(word) == LowerAscii(name);
}

}  // namespace kit
