// The library's questions to the user as message boxes with no owner.
#pragma once

#include "imagelib/core/user_prompts.h"

namespace imagelib {

class MessageBoxPrompts : public UserPrompts {
public:
    // OK only, error icon.
    void ShowLoadError(const char* text, const char* caption) override;
    // OK and Cancel, error icon; true for OK.
    bool ConfirmJpegWarning(const char* text, const char* caption) noexcept override;
};

}  // namespace imagelib
