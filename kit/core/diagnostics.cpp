#include "kit/core/diagnostics.h"

namespace kit {
namespace {

std::string Bounded(std::string line) {
    if (line.size() > kTraceLineCapacity) line.resize(kTraceLineCapacity);
    return line;
}

}  // namespace

std::string PlainTraceLine(std::string_view message) {
    std::string line(message);
    line += "___________  \n\r";
    return Bounded(std::move(line));
}

std::string WindowTraceLine(WindowKind kind, std::string_view message) {
    std::string line = kind == WindowKind::Full ? "full DefSaverProc" : "preview DefSaverProc";
    line += ": ";
    line += message;
    line += "_________  \n\r";
    return Bounded(std::move(line));
}

void Diagnostics::Trace(std::string_view message) {
    if (Enabled()) sink_->Write(PlainTraceLine(message));
}

void Diagnostics::Trace(WindowKind kind, std::string_view message) {
    if (Enabled()) sink_->Write(WindowTraceLine(kind, message));
}

void Diagnostics::Box(std::string_view text, std::string_view caption, std::uintptr_t owner) {
    if (Enabled()) sink_->ShowBox(owner, std::string(text), std::string(caption));
}

void Diagnostics::TraceAndBox(std::string_view text, std::string_view caption,
                              std::uintptr_t owner) {
    Trace(text);
    Box(text, caption, owner);
}

}  // namespace kit
