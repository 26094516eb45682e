// The kit's diagnostic trace lines and diagnostic message boxes. Both are
// produced only while the client's fDebugOutput preference is set, judged
// at the moment of each line or box.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "kit/core/prefs.h"

namespace kit {

// Where diagnostics go: the debugger's output and message boxes on
// Windows, a recorder in tests.
class DiagnosticSink {
public:
    virtual ~DiagnosticSink() = default;
    virtual void Write(const std::string& line) = 0;
    // owner: a window handle's value, 0 for none.
    virtual void ShowBox(std::uintptr_t owner, const std::string& text,
                         const std::string& caption) = 0;
};

// The kind of saver window a line of the saver window procedure is about.
enum class WindowKind { Full, Preview };

// Lines are built in a 200-character buffer: at most 199 characters.
inline constexpr std::size_t kTraceLineCapacity = 199;

// The message followed by eleven underscores, two blanks, LF and CR.
std::string PlainTraceLine(std::string_view message);
// "full DefSaverProc" or "preview DefSaverProc", ": ", the message, nine
// underscores, two blanks, LF and CR.
std::string WindowTraceLine(WindowKind kind, std::string_view message);

class Diagnostics {
public:
    Diagnostics(const ScrPrefs& prefs, DiagnosticSink* sink) : prefs_(prefs), sink_(sink) {}

    bool Enabled() const { return prefs_.fDebugOutput != 0 && sink_ != nullptr; }
    void SetSink(DiagnosticSink* sink) { sink_ = sink; }

    void Trace(std::string_view message);
    void Trace(WindowKind kind, std::string_view message);
    void Box(std::string_view text, std::string_view caption, std::uintptr_t owner = 0);
    // The common pair: the text as a plain line, then the box.
    void TraceAndBox(std::string_view text, std::string_view caption, std::uintptr_t owner = 0);

private:
    const ScrPrefs& prefs_;
    DiagnosticSink* sink_;
};

}  // namespace kit
