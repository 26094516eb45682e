// The two questions the library puts to the user. The Win32 layer answers
// them with message boxes; tests answer them with a fake.
#pragma once

namespace imagelib {

// Caption of the JPEG warning box: a fixed text, the same in every language.
inline constexpr const char* kJpegWarningCaption = "Warning";

class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    // A failed load: a box with only an OK button, the error icon and no
    // owner window.
    virtual void ShowLoadError(const char* text, const char* caption) = 0;

    // The first warning the JPEG library gives about an image (damaged
    // data, a file cut short): a box with OK and Cancel and the error icon.
    // True (OK) lets the decode go on; false (Cancel) fails the load.
    // Called from inside the JPEG library, so it must not throw.
    virtual bool ConfirmJpegWarning(const char* text, const char* caption) noexcept = 0;
};

}  // namespace imagelib
