// Stand-ins for the platform, for the image library's tests and fuzz
// targets.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "imagelib/core/decoder_state.h"
#include "imagelib/core/display_palette.h"
#include "imagelib/core/progress_display.h"
#include "imagelib/core/user_prompts.h"

namespace imagelib {

// A progress hook that records each report (phase, percent) in
// ProgressReports(); clear them before the load that is looked at.
using ProgressReportList = std::vector<std::pair<std::uint16_t, std::int32_t>>;
inline ProgressReportList& ProgressReports() {
    static ProgressReportList reports;
    return reports;
}
inline std::int32_t RecordProgress(std::uint16_t phase, std::int32_t percent) {
    ProgressReports().emplace_back(phase, percent);
    return 0;
}

// Records every box the library would show; answers the JPEG warning
// with OK unless told otherwise. With a log, each box also goes there as
// "error: <caption>: <text>", in order with the other fakes' entries.
class FakePrompts : public UserPrompts {
public:
    struct Box {
        std::string text;
        std::string caption;
    };

    void ShowLoadError(const char* text, const char* caption) override {
        errors.push_back({text, caption});
        if (log) log->push_back(std::string("error: ") + caption + ": " + text);
    }
    bool ConfirmJpegWarning(const char* text, const char* caption) noexcept override {
        warnings.push_back({text, caption});
        return answerOk;
    }

    bool answerOk = true;
    std::vector<Box> errors;
    std::vector<Box> warnings;
    std::vector<std::string>* log = nullptr;
};

// Records the progress window's life in a log ("show: <caption>: <line>",
// "release") and the bar's positions; runs `onDispatch` (if set) where the
// platform would dispatch the caller's messages.
class FakeProgressDisplay : public ProgressDisplay {
public:
    explicit FakeProgressDisplay(std::vector<std::string>& eventLog) : log(eventLog) {}

    void Show(const std::string& caption, const std::string& line) override {
        log.push_back("show: " + caption + ": " + line);
        windowExists = true;
        if (failAfterShowing) throw std::runtime_error("window failure");
    }
    void SetPosition(std::int32_t percent) override {
        if (windowExists) positions.push_back(percent);
    }
    void Release() override {
        log.push_back("release");
        windowExists = false;
    }
    void DispatchPendingMessages() override {
        ++dispatches;
        if (onDispatch) onDispatch();
    }

    std::vector<std::string>& log;
    bool windowExists = false;
    std::vector<std::int32_t> positions;
    int dispatches = 0;
    std::function<void()> onDispatch;
    bool failAfterShowing = false;  // an unexpected failure right after Show
};

// A display with a system palette of its own (entry i is i, i, 255 - i),
// or none; notes the size of each palette asked for.
class FakeDisplay : public DisplayPalette {
public:
    bool SystemColours(std::size_t count, PaletteTriples& triples) const override {
        asked.push_back(count);
        if (!hasPalette) return false;
        for (std::size_t i = 0; i < count; ++i) {
            triples[3 * i] = triples[3 * i + 1] = static_cast<std::uint8_t>(i);
            triples[3 * i + 2] = static_cast<std::uint8_t>(255 - i);
        }
        return true;
    }
    bool hasPalette = true;
    mutable std::vector<std::size_t> asked;
};

}  // namespace imagelib
