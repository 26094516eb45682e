// libFuzzer target: any bytes, as a file, through detection and the
// decoders, with the file read both ways (into memory and piece by piece).
// The JPEG warning is answered with OK or Cancel by turns.
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

// The input goes to a file in the working folder: CTest runs the target in
// the build tree.
constexpr const char* kInputPath = "imagelib-fuzz-input.jpg";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = kInputPath;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    AlternatingPrompts prompts;
    const imagelib::DecodeEnvironment environment{&prompts, nullptr, {}};
    const imagelib::DecodeResult result =
        imagelib::DecodeFile(path, size % 2 == 0, environment);
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
