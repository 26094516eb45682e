#include "imagelib/win32/message_box_prompts.h"

#include <windows.h>

namespace imagelib {

void MessageBoxPrompts::ShowLoadError(const char* text, const char* caption) {
    ::MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONERROR);
}

bool MessageBoxPrompts::ConfirmJpegWarning(const char* text, const char* caption) noexcept {
    return ::MessageBoxA(nullptr, text, caption, MB_OKCANCEL | MB_ICONERROR) == IDOK;
}

}  // namespace imagelib
