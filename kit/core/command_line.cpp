#include "kit/core/command_line.h"

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

bool IsScanSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

char LowerAsciiChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The window number of a preview: nothing, no integer or no such window
// is a bad command line.
Command PreviewIn(std::string_view afterLetter, WindowQuery& windows) {
    if (const std::uintptr_t previewer = windows.PreviewerWindow(afterLetter))
        return {RunMode::Preview, previewer};
    const std::string_view rest = SkipSpacesAndColons(afterLetter);
    if (rest.empty()) return {};
    const auto number = ScanInteger(rest);
    if (!number || !windows.IsWindow(*number)) return {};
    return {RunMode::Preview, *number};
}

Command ChangePasswordOver(std::string_view afterLetter, WindowQuery& windows) {
    const auto number = ScanInteger(SkipSpacesAndColons(afterLetter));
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
    case 's':
        return {RunMode::Saver, 0};
    case 'p':
    case 'l':
        return PreviewIn(afterLetter, windows);
    case 'c':
        return {RunMode::Configure, windows.ForegroundWindow()};
    case 'a':
        return ChangePasswordOver(afterLetter, windows);
    default:
        return {};
    }
}

std::optional<std::uint32_t> ScanInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsScanSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (i < text.size() && text[i] == '0') {
        if (i + 2 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
            DigitValue(text[i + 2]) < 16) {
            base = 16;
            i += 2;
        } else {
            base = 8;
        }
    }
    std::uint64_t value = 0;
    std::size_t digits = 0;
    for (; i < text.size(); ++i, ++digits) {
        const int digit = DigitValue(text[i]);
        if (digit >= static_cast<int>(base)) break;
        value = value * base + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    if (digits == 0) return std::nullopt;
    const auto magnitude = static_cast<std::uint32_t>(value);
    return negative ? static_cast<std::uint32_t>(0u - magnitude) : magnitude;
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
