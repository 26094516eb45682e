// The pictures of the puzzle on Windows: folders listed with
// FindFirstFileA, the built-in pictures carried as RCDATA resources 1 to
// 10, and decoding through the bound image library.
#pragma once

#include <windows.h>

#include "imagelib/win32/imgoralib.h"
#include "puzzle/core/services.h"

namespace puzzle {

class SaverPictures final : public PictureSource {
public:
    // `resources` holds the built-in pictures; `load` is the bound
    // ImgoraLibLoad (null: nothing decodes); `window`, when there is one,
    // is told around each decoding that a dialog may be up.
    SaverPictures(HMODULE resources, ImgoraLibLoadProc load, HWND window)
        : resources_(resources), load_(load), window_(window) {}

    bool ListFolder(const std::string& folder,
                    const std::function<bool(const FolderEntry&)>& visit) override;
    bool BuiltInExists(int number) override;
    std::unique_ptr<Picture> DecodeFile(const std::string& path) override;
    // Writes the picture to a new "scj" file in the temporary folder,
    // decodes that and removes it again, whatever happens on the way.
    std::unique_ptr<Picture> DecodeBuiltIn(int number) override;
    std::unique_ptr<Picture> PlainPicture(int width, int height) override;

    // ImgoraLibLoad of `path` without the progress window, with
    // SCRINTERNAL_DIALOGACTIVE 1 before and 0 after, so that a message box
    // of the library does not end the saver. The caller owns the bitmap.
    HBITMAP DecodePicture(const std::string& path);

private:
    HMODULE resources_;
    ImgoraLibLoadProc load_;
    HWND window_;
};

}  // namespace puzzle
