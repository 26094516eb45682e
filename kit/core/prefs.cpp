#include "kit/core/prefs.h"

#include <cstring>

#include "kit/core/diagnostics.h"

namespace kit {
namespace {

// Copies a text of at most 255 characters and a terminator, stopping at
// the end of the source array even when it holds no terminator.
void CopyText(char (&to)[256], const char (&from)[256]) {
    const std::size_t length = ::strnlen(from, sizeof from - 1);
    std::memcpy(to, from, length);
    std::memset(to + length, 0, sizeof to - length);
}

}  // namespace

ScrPrefs DefaultPrefs() {
    ScrPrefs prefs{};
    prefs.cbSize = sizeof(ScrPrefs);
    prefs.fMuteSound = 1;
    prefs.fPasswordForActiveConfig = 1;
    return prefs;
}

void Preferences::ApplyDefaultsOnce() {
    if (defaultsApplied_) return;
    current_ = DefaultPrefs();
    defaultsApplied_ = true;
}

ScrPrefs Preferences::Copy() const {
    ScrPrefs copy = current_;
    copy.cbSize = sizeof(ScrPrefs);
    CopyText(copy.szReserved1, current_.szReserved1);
    CopyText(copy.szReserved2, current_.szReserved2);
    return copy;
}

Preferences::SetResult Preferences::Install(const ScrPrefs* record, bool running,
                                            Diagnostics& diagnostics) {
    if (running) {
        diagnostics.TraceAndBox("You are not allowed to set prefs while screensaver is running",
                                "Prefs error");
        return SetResult::Refused;
    }
    if (!record) {
        diagnostics.TraceAndBox("ScrSetPrefs called with NULL preferences", "Prefs error");
        return SetResult::Missing;
    }
    current_.fActiveConfig = record->fActiveConfig;
    current_.fMuteSound = record->fMuteSound;
    current_.fDebugOutput = record->fDebugOutput;
    current_.fDebugWindow = record->fDebugWindow;
    current_.fNoAboutItem = record->fNoAboutItem;
    current_.fNoPreviewUpdate = record->fNoPreviewUpdate;
    current_.fNoTimers = record->fNoTimers;
    CopyText(current_.szReserved1, record->szReserved1);
    CopyText(current_.szReserved2, record->szReserved2);
    current_.fAlwaysRequirePassword = record->fAlwaysRequirePassword;
    current_.fNeverRequirePassword = record->fNeverRequirePassword;
    current_.fPasswordForActiveConfig = record->fPasswordForActiveConfig;
    defaultsApplied_ = true;
    if (current_.fAlwaysRequirePassword && current_.fNeverRequirePassword) {
        diagnostics.TraceAndBox(
            "You have set always-require-password AND never-require-password, which is silly!",
            "Prefs error");
    }
    return SetResult::Installed;
}

}  // namespace kit
