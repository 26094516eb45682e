// ImgoraLib's exported interface. Every export uses the standard calling
// convention and is exported under its plain name, so that callers bind it
// with GetProcAddress(module, "ImgoraLibLoad") and so on. Strings are
// zero-terminated 8-bit strings in the system code page.
#pragma once

#include <windows.h>

#ifdef IMGORALIB_BUILDING
#define IMGORALIB_API extern "C" __declspec(dllexport)
#else
#define IMGORALIB_API extern "C" __declspec(dllimport)
#endif

// Loads a JPEG, GIF, BMP, PCX or Targa file. showProgress exactly 1 shows
// the progress window. Answers a screen-compatible bitmap that the caller
// owns and deletes, or 0 on failure (after the load error box).
IMGORALIB_API HBITMAP WINAPI ImgoraLibLoad(const char* fileName, BYTE showProgress);
// Older names of the same operation.
IMGORALIB_API HBITMAP WINAPI Load_JPG(const char* fileName, BYTE showProgress);
IMGORALIB_API HBITMAP WINAPI Load_GIF(const char* fileName, BYTE showProgress);
// Size of the last image loaded successfully; 0 before any.
IMGORALIB_API int WINAPI GetWidth();
IMGORALIB_API int WINAPI GetHeight();
// The language of the library's texts; 1 when the name is known.
IMGORALIB_API int WINAPI ImgoraLibSetLanguage(const char* language);
// Texts of the caller's own: progress caption, error caption, loading
// text, error-loading text, warning text.
IMGORALIB_API void WINAPI ImgoraLibSetCustomLang(const char* progressCaption,
                                                 const char* errorCaption, const char* loadingText,
                                                 const char* errorLoadingText,
                                                 const char* warningText);
// Saves the last image loaded as a baseline JPEG file; 1 on success.
IMGORALIB_API int WINAPI ImgoraLibSaveAsJPG(int quality, const char* fileName);

// Run-time binding, as the saver does it.
typedef HBITMAP(WINAPI* ImgoraLibLoadProc)(const char* fileName, BYTE showProgress);
