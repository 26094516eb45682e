// The state the library keeps between calls, and a load up to the point
// where the Win32 layer makes the bitmap: per-load settings, the kept
// image, the size of the last image loaded, the texts, the progress hook.
// One instance lives as long as the library; it is not thread-safe.
#pragma once

#include <cstdint>
#include <string>

#include "imagelib/core/decoder_state.h"
#include "imagelib/core/image_record.h"
#include "imagelib/core/language_texts.h"
#include "imagelib/core/user_prompts.h"

namespace imagelib {

inline constexpr std::int32_t kDefaultSaveQuality = 80;

class ImageLibrary {
public:
    explicit ImageLibrary(UserPrompts& prompts) : prompts_(prompts) {}
    ImageLibrary(const ImageLibrary&) = delete;
    ImageLibrary& operator=(const ImageLibrary&) = delete;

    // Resets the per-load settings (choosing English if no language was
    // chosen), releases the kept image, then decodes `fileName` and keeps
    // its record, taking its width and height as the last ones. Answers
    // the kept record, or null: after the load error box when the file
    // does not exist, is not recognised or does not decode; silently when
    // it cannot even be opened to detect its format. showProgress exactly
    // 1 asks for the progress window.
    const ImageRecord* Load(const std::string& fileName, std::uint8_t showProgress);

    // The record of the last successful load; null before one and after a
    // failed load.
    const ImageRecord* KeptImage() const { return kept_ ? &kept_ : nullptr; }
    // Size of the last image loaded successfully; 0 before any. A failed
    // load leaves them as they were.
    std::int32_t LastWidth() const { return lastWidth_; }
    std::int32_t LastHeight() const { return lastHeight_; }

    const LanguageTexts& Texts() const { return texts_; }
    // Set while a load runs that asked for the progress window.
    bool ProgressShown() const { return progressShown_; }
    const JpegReadOptions& JpegOptions() const { return jpegOptions_; }
    std::int32_t SaveQuality() const { return saveQuality_; }

    // The decoders report their progress to `hook` from now on, for the
    // life of the library.
    void SetProgressHook(ProgressHook hook) { progressHook_ = hook; }
    // Version-3 PCX files take the colours of this display from now on;
    // without one they get fixed colours.
    void SetDisplayPalette(const DisplayPalette* palette) { displayPalette_ = palette; }

private:
    void ShowLoadError(const std::string& fileName);

    UserPrompts& prompts_;
    ImageRecord kept_;
    std::int32_t lastWidth_ = 0;
    std::int32_t lastHeight_ = 0;
    LanguageTexts texts_;
    bool progressShown_ = false;
    ProgressHook progressHook_ = nullptr;
    const DisplayPalette* displayPalette_ = nullptr;
    JpegReadOptions jpegOptions_;
    std::int32_t saveQuality_ = 0;
};

}  // namespace imagelib
