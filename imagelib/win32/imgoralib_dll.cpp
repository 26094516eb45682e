// ImgoraLib.dll: the exported interface over the core's ImageLibrary. The
// library's state is process-wide, as callers expect of it: one
// ImageLibrary, made at the first call and released when the DLL unloads.
#include "imagelib/win32/imgoralib.h"

#include "imagelib/core/image_library.h"
#include "imagelib/win32/gdi_display_palette.h"
#include "imagelib/win32/make_bitmap.h"
#include "imagelib/win32/message_box_prompts.h"

namespace {

struct Library {
    Library() { state.SetDisplayPalette(&displayPalette); }
    imagelib::MessageBoxPrompts prompts;
    imagelib::GdiDisplayPalette displayPalette;
    imagelib::ImageLibrary state{prompts};
};

Library& TheLibrary() {
    static Library library;
    return library;
}

// Any failure the decoders do not turn into a status (an exception) ends
// the load silently with 0.
HBITMAP LoadPicture(const char* fileName, BYTE showProgress) {
    try {
        const imagelib::ImageRecord* record =
            TheLibrary().state.Load(fileName ? fileName : "", showProgress);
        return record ? imagelib::MakeBitmap(*record) : nullptr;
    } catch (...) {
        return nullptr;
    }
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) ::DisableThreadLibraryCalls(instance);
    return TRUE;
}

HBITMAP WINAPI ImgoraLibLoad(const char* fileName, BYTE showProgress) {
    return LoadPicture(fileName, showProgress);
}

HBITMAP WINAPI Load_JPG(const char* fileName, BYTE showProgress) {
    return LoadPicture(fileName, showProgress);
}

HBITMAP WINAPI Load_GIF(const char* fileName, BYTE showProgress) {
    return LoadPicture(fileName, showProgress);
}

int WINAPI GetWidth() { return TheLibrary().state.LastWidth(); }

int WINAPI GetHeight() { return TheLibrary().state.LastHeight(); }
