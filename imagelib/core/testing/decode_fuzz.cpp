// libFuzzer target: any bytes, as a file, through detection and the
// decoders.
// The input's length chooses whether the JPEG warning is answered with OK
// or Cancel and whether the display has a system palette, so that an input
// runs the same way each time (a JPEG decode asks about its first warning
// only: answering by turns would never cancel); every progress report must
// be a percentage. The file's name (IMAGELIB_FUZZ_FILE) decides which
// formats its extension alone can reach: .pcx and .tga fuzz those readers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "imagelib/core/decode_file.h"
#include "imagelib/core/testing/test_fakes.h"

namespace {

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

    imagelib::FakePrompts prompts;
    prompts.answerOk = size % 2 == 0;
    imagelib::FakeDisplay display;
    display.hasPalette = size / 2 % 2 == 0;
    const imagelib::DecodeEnvironment environment{&prompts, CheckProgress, {}, &display};
    const imagelib::DecodeResult result = imagelib::DecodeFile(path, environment);
    if (result.record) {
        // Touch the whole record, so that a record smaller than its header
        // says shows up.
        const std::int64_t rows = std::abs(std::int64_t{result.record.Height()});
        const std::size_t needed =
            result.record.PixelOffset() +
            static_cast<std::size_t>(
                imagelib::DibRowStride(result.record.Width(), result.record.BitCount()) * rows);
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
