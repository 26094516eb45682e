// Stand-ins for the platform, for the image library's tests.
#pragma once

#include <string>
#include <vector>

#include "imagelib/core/user_prompts.h"

namespace imagelib {

// Records every box the library would show; answers the JPEG warning
// with OK unless told otherwise.
class FakePrompts : public UserPrompts {
public:
    struct Box {
        std::string text;
        std::string caption;
    };

    void ShowLoadError(const char* text, const char* caption) override {
        errors.push_back({text, caption});
    }
    bool ConfirmJpegWarning(const char* text, const char* caption) noexcept override {
        warnings.push_back({text, caption});
        return answerOk;
    }

    bool answerOk = true;
    std::vector<Box> errors;
    std::vector<Box> warnings;
};

}  // namespace imagelib
