// The state the library keeps between calls, and a load up to the point
// where the Win32 layer makes the bitmap: per-load settings, the kept
// image, the size of the last image loaded, the texts, the progress
// window and hook; and saving the kept image as JPEG.
// One instance lives as long as the library; it is not thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "imagelib/core/decoder_state.h"
#include "imagelib/core/image_record.h"
#include "imagelib/core/language_texts.h"
#include "imagelib/core/progress_display.h"
#include "imagelib/core/user_prompts.h"

namespace imagelib {

inline constexpr std::int32_t kDefaultSaveQuality = 80;

class ImgoraCore {
public:
    // `display` shows the progress window of the loads that ask for it.
    // `hook` is what the first such load installs as the decoders'
    // progress hook, for the life of the library: a plain function that
    // leads to this library's ReportProgress.
    explicit ImgoraCore(UserPrompts& prompts, ProgressDisplay* display = nullptr,
                        ProgressHook hook = nullptr)
        : prompts_(prompts), display_(display), ownHook_(hook) {}
    ImgoraCore(const ImgoraCore&) = delete;
    ImgoraCore& operator=(const ImgoraCore&) = delete;

    // Resets the per-load settings (choosing English if no language was
    // chosen), releases the kept image, then decodes `fileName` and keeps
    // its record, taking its width and height as the last ones. Answers
    // the kept record, or null: after the load error box when the file
    // does not exist, is not recognised or does not decode; silently when
    // it cannot even be opened to detect its format. showProgress exactly
    // 1 shows the progress window (ShowProgressWindow), which is released
    // on every way out, after the load error box.
    const ImageRecord* Load(const std::string& fileName, std::uint8_t showProgress);

    // Writes the kept image to `fileName` as a baseline JPEG of this
    // quality (see EncodeJpeg); false when no image is kept or it cannot
    // be saved. The quality is kept until the next load resets it.
    bool SaveAsJpeg(std::int32_t quality, const std::string& fileName);

    // The library's texts; see ChooseLanguage and SetCustomTexts.
    bool SetLanguage(std::string_view name) { return ChooseLanguage(texts_, name); }
    void SetCustomLanguage(std::string_view progressCaption, std::string_view errorCaption,
                           std::string_view loadingText, std::string_view errorLoadingText,
                           std::string_view warningText) {
        SetCustomTexts(texts_, progressCaption, errorCaption, loadingText, errorLoadingText,
                       warningText);
    }

    // What the installed hook does at every report: moves the window's bar
    // while a load shows it, then dispatches the calling thread's pending
    // messages (so a load or save without the window still lets them
    // through once the hook is installed). Answers 0.
    std::int32_t ReportProgress(std::uint16_t phase, std::int32_t percent);

    // The record of the last successful load; null before one and after a
    // failed load.
    const ImageRecord* KeptImage() const { return kept_ ? &kept_ : nullptr; }
    // Size of the last image loaded successfully; 0 before any. A failed
    // load leaves them as they were.
    std::int32_t LastWidth() const { return lastWidth_; }
    std::int32_t LastHeight() const { return lastHeight_; }

    const LanguageTexts& Texts() const { return texts_; }
    // Set by a load that asked for the progress window; cleared at the
    // start of every load and save.
    bool ProgressShown() const { return progressShown_; }
    const JpegReadOptions& JpegOptions() const { return jpegOptions_; }
    std::int32_t SaveQuality() const { return saveQuality_; }
    ProgressHook InstalledHook() const { return progressHook_; }

    // The decoders report their progress to `hook` from now on, for the
    // life of the library (or until another hook is installed).
    void SetProgressHook(ProgressHook hook) { progressHook_ = hook; }
    // Version-3 PCX files take the colours of this display from now on;
    // without one they get fixed colours.
    void SetDisplayPalette(const DisplayPalette* palette) { displayPalette_ = palette; }
    // Files are opened through `opener` from now on; without one plainly.
    void SetFileOpener(const FileOpener* opener) { files_ = opener; }

private:
    const ImageRecord* LoadAndKeep(const std::string& fileName);
    void ShowProgressWindow(const std::string& fileName);
    void ShowLoadError(const std::string& fileName);

    UserPrompts& prompts_;
    ProgressDisplay* const display_;
    const ProgressHook ownHook_;
    ImageRecord kept_;
    std::int32_t lastWidth_ = 0;
    std::int32_t lastHeight_ = 0;
    LanguageTexts texts_;
    bool progressShown_ = false;
    ProgressHook progressHook_ = nullptr;
    const DisplayPalette* displayPalette_ = nullptr;
    const FileOpener* files_ = nullptr;
    JpegReadOptions jpegOptions_;
    std::int32_t saveQuality_ = 0;
    // A load or save is running: the messages dispatched during it must
    // not start another one, which would pull the kept image from under it.
    bool busy_ = false;
};

}  // namespace imagelib
