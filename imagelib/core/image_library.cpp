#include "imagelib/core/image_library.h"

#include <optional>

#include "imagelib/core/decode_file.h"
#include "imagelib/core/detect.h"

namespace imagelib {

const ImageRecord* ImageLibrary::Load(const std::string& fileName, std::uint8_t showProgress) {
    progressShown_ = false;
    jpegOptions_ = JpegReadOptions{};
    saveQuality_ = kDefaultSaveQuality;
    if (texts_.name.empty()) texts_ = EnglishTexts();

    kept_ = ImageRecord();

    // Only the flag exists so far: no progress window is shown yet.
    if (showProgress == 1) progressShown_ = true;

    if (!FileExists(fileName)) {
        ShowLoadError(fileName);
        return nullptr;
    }
    const std::optional<FormatCode> format = DetectFormat(fileName);
    if (!format) return nullptr;  // cannot be opened: no message
    if (*format == FormatCode::Unknown) {
        ShowLoadError(fileName);
        return nullptr;
    }

    const DecodeEnvironment environment{&prompts_, progressHook_, jpegOptions_, displayPalette_};
    DecodeResult decoded = DecodeFile(fileName, true, environment);
    if (!decoded.record) {
        ShowLoadError(fileName);
        return nullptr;
    }
    kept_ = std::move(decoded.record);
    lastWidth_ = kept_.Width();
    lastHeight_ = kept_.Height();
    return &kept_;
}

void ImageLibrary::ShowLoadError(const std::string& fileName) {
    const std::string text = LoadErrorText(texts_, fileName);
    prompts_.ShowLoadError(text.c_str(), texts_.errorCaption.c_str());
}

}  // namespace imagelib
