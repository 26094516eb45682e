#include "imagelib/core/jpeg_errors.h"

#include <jerror.h>

namespace imagelib {
namespace {

JpegErrors* ErrorsOf(j_common_ptr info) { return reinterpret_cast<JpegErrors*>(info->err); }

[[noreturn]] void OnJpegError(j_common_ptr info) {
    JpegErrors* errors = ErrorsOf(info);
    errors->failure = StatusForJpegMessage(info->err->msg_code);
    std::longjmp(errors->jump, 1);
}

// Reached only for the first warning of an image (the trace level is 0).
void OnJpegWarning(j_common_ptr info) {
    JpegErrors* errors = ErrorsOf(info);
    char text[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, text);
    const bool goOn =
        !errors->prompts || errors->prompts->ConfirmJpegWarning(text, kJpegWarningCaption);
    if (goOn) return;
    errors->failure =
        info->err->msg_code == JWRN_JPEG_EOF ? LoadStatus::Truncated : LoadStatus::JpegCancelled;
    std::longjmp(errors->jump, 1);
}

}  // namespace

jpeg_error_mgr* AttachJpegErrors(JpegErrors& errors, UserPrompts* prompts) {
    jpeg_error_mgr* manager = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = OnJpegError;
    errors.manager.output_message = OnJpegWarning;
    errors.manager.trace_level = 0;
    errors.prompts = prompts;
    errors.failure = LoadStatus::JpegFailure;
    return manager;
}

LoadStatus StatusForJpegMessage(int messageCode) {
    switch (messageCode) {
    case JERR_NO_SOI: return LoadStatus::NotRecognised;
    case JERR_INPUT_EMPTY:
    case JERR_INPUT_EOF: return LoadStatus::Truncated;
    case JERR_FILE_READ:
    case JERR_FILE_WRITE: return LoadStatus::ReadFailed;
    case JERR_OUT_OF_MEMORY:
    case JERR_NO_BACKING_STORE: return LoadStatus::OutOfMemory;
    default: return LoadStatus::JpegFailure;
    }
}

}  // namespace imagelib
