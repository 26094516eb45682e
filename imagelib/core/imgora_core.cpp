#include "imagelib/core/imgora_core.h"

#include <optional>

#include "imagelib/core/decode_file.h"
#include "imagelib/core/detect.h"
#include "imagelib/core/input_stream.h"
#include "imagelib/core/jpeg_encoder.h"

namespace imagelib {
namespace {

// Marks the library busy for one operation.
class BusyScope {
public:
    explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
    ~BusyScope() { busy_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& busy_;
};

// Releases the progress window of a load on every way out of it,
// including an exception.
class WindowRelease {
public:
    WindowRelease(ProgressDisplay* display, const bool& shown) : display_(display), shown_(shown) {}
    ~WindowRelease() {
        if (display_ && shown_) display_->Release();
    }
    WindowRelease(const WindowRelease&) = delete;
    WindowRelease& operator=(const WindowRelease&) = delete;

private:
    ProgressDisplay* display_;
    const bool& shown_;
};

}  // namespace

const ImageRecord* ImgoraCore::Load(const std::string& fileName, std::uint8_t showProgress) {
    if (busy_) return nullptr;  // called back from a message dispatched by a running load
    BusyScope busy(busy_);

    progressShown_ = false;
    jpegOptions_ = JpegReadOptions{};
    saveQuality_ = kDefaultSaveQuality;
    if (texts_.name.empty()) texts_ = EnglishTexts();

    kept_ = ImageRecord();

    const WindowRelease release(display_, progressShown_);
    if (showProgress == 1) ShowProgressWindow(fileName);
    return LoadAndKeep(fileName);
}

const ImageRecord* ImgoraCore::LoadAndKeep(const std::string& fileName) {
    if (!FileExists(fileName)) {
        ShowLoadError(fileName);
        return nullptr;
    }
    const std::optional<FormatCode> format = DetectFormat(fileName, files_);
    if (!format) return nullptr;  // cannot be opened: no message
    if (*format == FormatCode::Unknown) {
        ShowLoadError(fileName);
        return nullptr;
    }

    const DecodeEnvironment environment{&prompts_, progressHook_, jpegOptions_, displayPalette_,
                                        files_};
    DecodeResult decoded = DecodeFile(fileName, environment);
    if (!decoded.record) {
        ShowLoadError(fileName);
        return nullptr;
    }
    kept_ = std::move(decoded.record);
    lastWidth_ = kept_.Width();
    lastHeight_ = kept_.Height();
    return &kept_;
}

bool ImgoraCore::SaveAsJpeg(std::int32_t quality, const std::string& fileName) {
    if (busy_) return false;
    BusyScope busy(busy_);
    progressShown_ = false;
    saveQuality_ = quality;
    if (!kept_) return false;
    const DecodeEnvironment environment{&prompts_, progressHook_, jpegOptions_};
    return EncodeJpeg(kept_, fileName, saveQuality_, environment) == LoadStatus::Ok;
}

std::int32_t ImgoraCore::ReportProgress(std::uint16_t, std::int32_t percent) {
    if (!display_) return 0;
    if (progressShown_) display_->SetPosition(percent);
    display_->DispatchPendingMessages();
    return 0;
}

void ImgoraCore::ShowProgressWindow(const std::string& fileName) {
    progressShown_ = true;
    if (display_) display_->Show(texts_.progressCaption, LoadingLine(texts_, fileName));
    if (ownHook_) progressHook_ = ownHook_;
}

void ImgoraCore::ShowLoadError(const std::string& fileName) {
    // Copies: the caller's messages dispatched while the box is up may
    // change the texts.
    const std::string text = LoadErrorText(texts_, fileName);
    const std::string caption = texts_.errorCaption;
    prompts_.ShowLoadError(text.c_str(), caption.c_str());
}

}  // namespace imagelib
