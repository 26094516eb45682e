// ImgoraLib.dll: the exported interface over the core's ImgoraCore. The
// library's state is process-wide, as callers expect of it: one
// ImgoraCore, made at the first call and released when the DLL unloads.
// No exception leaves an export: an unexpected failure answers 0.
#include "imagelib/win32/imgoralib.h"

#include <string>

#include "imagelib/core/imgora_core.h"
#include "imagelib/win32/deny_write_opener.h"
#include "imagelib/win32/gdi_display_palette.h"
#include "imagelib/win32/make_bitmap.h"
#include "imagelib/win32/message_box_prompts.h"
#include "imagelib/win32/progress_window.h"

namespace {

std::int32_t LibraryProgressHook(std::uint16_t phase, std::int32_t percent);

struct Library {
    Library() {
        state.SetDisplayPalette(&displayPalette);
        state.SetFileOpener(&files);
    }
    imagelib::MessageBoxPrompts prompts;
    imagelib::GdiDisplayPalette displayPalette;
    imagelib::DenyWriteOpener files;
    imagelib::TProgress progress;
    imagelib::ImgoraCore state{prompts, &progress, LibraryProgressHook};
};

Library& TheLibrary() {
    static Library library;
    return library;
}

// The hook the first load with the progress window installs.
std::int32_t LibraryProgressHook(std::uint16_t phase, std::int32_t percent) {
    return TheLibrary().state.ReportProgress(phase, percent);
}

std::string Text(const char* text) { return text ? text : ""; }

// Any failure the decoders do not turn into a status (an exception) ends
// the load silently with 0; the core has released the progress window.
HBITMAP LoadPicture(const char* fileName, BYTE showProgress) {
    try {
        const imagelib::ImageRecord* record = TheLibrary().state.Load(Text(fileName), showProgress);
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

int WINAPI ImgoraLibSetLanguage(const char* language) {
    try {
        // The platform's own upper case of the code page; the core then
        // compares the names.
        std::string name = Text(language);
        if (!name.empty()) ::CharUpperBuffA(name.data(), static_cast<DWORD>(name.size()));
        return TheLibrary().state.SetLanguage(name) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

void WINAPI ImgoraLibSetCustomLang(const char* progressCaption, const char* errorCaption,
                                   const char* loadingText, const char* errorLoadingText,
                                   const char* warningText) {
    try {
        TheLibrary().state.SetCustomLanguage(Text(progressCaption), Text(errorCaption),
                                             Text(loadingText), Text(errorLoadingText),
                                             Text(warningText));
    } catch (...) {
    }
}

int WINAPI ImgoraLibSaveAsJPG(int quality, const char* fileName) {
    try {
        return TheLibrary().state.SaveAsJpeg(quality, Text(fileName)) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}
