// Decodes one JPEG file with the image library's core, as a load does (the
// whole file read into memory first), `runs` times; prints the best time.
// bench/jpeg_decode.sh runs it against djpeg on the same file.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "imagelib/core/decode_file.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: jpeg_decode_bench FILE.jpg [RUNS]\n");
        return 2;
    }
    const std::string path = argv[1];
    const int runs = argc > 2 ? std::atoi(argv[2]) : 1;
    const imagelib::DecodeEnvironment environment;
    double best = 0;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const imagelib::DecodeResult result = imagelib::DecodeFile(path, environment);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!result.record) {
            std::fprintf(stderr, "cannot decode %s (status %d)\n", path.c_str(),
                         static_cast<int>(result.status));
            return 1;
        }
        if (run == 0 || seconds < best) best = seconds;
    }
    std::printf("%.6f\n", best);
    return 0;
}
