// libFuzzer target: any bytes, as a file, through detection and the
// decoders.
// The JPEG warning is answered with OK or Cancel by turns; the display has
// a system palette or none by turns; every progress report must be a
// percentage. The file's name (IMAGELIB_FUZZ_FILE) decides which formats
// its extension alone can reach: .pcx and .tga fuzz those readers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "imagelib/core/decode_file.h"

namespace {

class AlternatingPrompts : public imagelib::UserPrompts {
public:
    void ShowLoadError(const char*, const char*) override {}
    bool ConfirmJpegWarning(const char*, const char*) noexcept override {
        answer_ = !answer_;
        return answer_;
    }

private:
    bool answer_ = false;
};

class AlternatingDisplay : public imagelib::DisplayPalette {
public:
    bool SystemColours(std::size_t count, imagelib::PaletteTriples& triples) const override {
        hasPalette_ = !hasPalette_;
        if (!hasPalette_) return false;
        for (std::size_t i = 0; i < 3 * count; ++i) triples[i] = static_cast<std::uint8_t>(i);
        return true;
    }

private:
    mutable bool hasPalette_ = false;
};

std::int32_t CheckProgress(std::uint16_t phase, std::int32_t percent) {
    if (phase > 1 || percent < 0 || percent > 100) __builtin_trap();
    return 0;
}

// The input goes to a file in the working folder: CTest runs the target in
// the build tree.
#ifndef IMAGELIB_FUZZ_FILE
#define IMAGELIB_FUZZ_FILE "imagelib-fuzz-input.jpg"
#endif
constexpr const char* kInputPath = IMAGELIB_FUZZ_FILE;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = kInputPath;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    AlternatingPrompts prompts;
    static AlternatingDisplay display;
    const imagelib::DecodeEnvironment environment{&prompts, CheckProgress, {}, &display};
    const imagelib::DecodeResult result = imagelib::DecodeFile(path, environment);
    if (result.record) {
        // Touch the whole record, so that a record smaller than its header
        // says shows up.
        const std::int64_t rows = std::abs(std::int64_t{result.record.Height()});
        const std::size_t needed = result.record.PixelOffset() +
                                   static_cast<std::size_t>(imagelib::DibRowStride(
                                       result.record.Width(), result.record.BitCount()) * rows);
        if (result.record.Header().compression == imagelib::kCompressionNone &&
            needed > result.record.Size()) {
            __builtin_trap();
        }
        std::uint8_t sum = 0;
        for (std::size_t i = 0; i < result.record.Size(); ++i) sum ^= result.record.Bytes()[i];
        asm volatile("" : : "r"(sum));
    }
    return 0;
}
