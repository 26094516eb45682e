// Loads a 24-bit BMP with the image library's core and saves it as JPEG,
// as ImgoraLibLoad followed by ImgoraLibSaveAsJPG does. bench/jpeg_save.sh
// runs it against cjpeg on the same file.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "imagelib/core/imgora_core.h"

namespace {

class NoPrompts : public imagelib::UserPrompts {
public:
    void ShowLoadError(const char*, const char*) override {}
    bool ConfirmJpegWarning(const char*, const char*) noexcept override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: jpeg_save_bench FILE.bmp QUALITY OUTPUT.jpg\n");
        return 2;
    }
    NoPrompts prompts;
    imagelib::ImgoraCore library(prompts);
    if (!library.Load(argv[1], 0)) {
        std::fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    if (!library.SaveAsJpeg(std::atoi(argv[2]), argv[3])) {
        std::fprintf(stderr, "cannot save %s\n", argv[3]);
        return 1;
    }
    return 0;
}
