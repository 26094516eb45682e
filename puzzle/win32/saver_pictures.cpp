#include "puzzle/win32/saver_pictures.h"

#include "common/win32/guards.h"
#include "common/win32/placement_files.h"
#include "common/win32/system_info.h"
#include "kit/win32/dozekit.h"
#include "puzzle/win32/gdi_picture.h"
#include "puzzle/win32/saver_files.h"

namespace puzzle {

bool SaverPictures::ListFolder(const std::string& folder,
                               const std::function<bool(const FolderEntry&)>& visit) {
    const std::string pattern = folder + "\\*.*";
    WIN32_FIND_DATAA found{};
    win32::UniqueFind listing(::FindFirstFileA(pattern.c_str(), &found));
    if (!listing) return false;
    do {
        const FolderEntry entry{found.cFileName,
                                (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
        if (!visit(entry)) break;
    } while (::FindNextFileA(listing.Get(), &found));
    return true;
}

bool SaverPictures::BuiltInExists(int number) {
    if (number < 1 || number > 0xFFFF) return false;
    return ::FindResourceA(resources_, MAKEINTRESOURCEA(number), RT_RCDATA) != nullptr;
}

HBITMAP SaverPictures::DecodePicture(const std::string& path) {
    if (!load_) return nullptr;
    const ScrDialogActive dialog(window_);
    return load_(path.c_str(), 0);
}

std::unique_ptr<Picture> SaverPictures::DecodeFile(const std::string& path) {
    HBITMAP bitmap = DecodePicture(path);
    if (!bitmap) return nullptr;
    return std::make_unique<GdiPicture>(bitmap);
}

std::unique_ptr<Picture> SaverPictures::DecodeBuiltIn(int number) {
    if (!BuiltInExists(number)) return nullptr;
    // The library decodes files only; the copy is removed when it goes.
    win32::PlacementFiles files(kNewFilePrefix);
    const common::StagedCopy temporary(
        files, ResourceBytes(resources_, MAKEINTRESOURCEA(number), RT_RCDATA),
        win32::TemporaryFolder());
    if (!temporary) return nullptr;
    return DecodeFile(temporary.Path());
}

std::unique_ptr<Picture> SaverPictures::PlainPicture(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    win32::WindowDc screen;
    if (!screen) return nullptr;
    win32::UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.Get(), width, height));
    win32::UniqueMemoryDc dc(::CreateCompatibleDC(screen.Get()));
    if (!bitmap || !dc) return nullptr;
    {
        win32::Selection selection(dc.Get(), bitmap.Get());
        ::PatBlt(dc.Get(), 0, 0, width, height, BLACKNESS);
    }
    return std::make_unique<GdiPicture>(bitmap.Release());
}

}  // namespace puzzle
