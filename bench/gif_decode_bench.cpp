// Decodes the first image of one GIF file with the image library's core (as
// a load does: the whole file read into memory, the record made) and with
// giflib (the file read through stdio into one buffer of indices), in
// turns, `runs` times each, and prints the best times of each and the
// ratios of their throughputs. Before timing, it checks that both give the
// same indices. bench/gif_decode.sh makes the files and runs it.
#include <gif_lib.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "imagelib/core/decode_file.h"

namespace {

struct Indices {
    int width = 0;
    int height = 0;
    std::vector<GifByteType> pixels;  // top row first
};

// The first image through giflib, rows placed as its interlacing says.
bool DecodeWithGiflib(const char* path, Indices& out) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path, &error);
    if (!gif) return false;
    bool done = false;
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    while (!done && DGifGetRecordType(gif, &type) == GIF_OK && type != TERMINATE_RECORD_TYPE) {
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) != GIF_OK) break;
            while (block && DGifGetExtensionNext(gif, &block) == GIF_OK) {
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE || DGifGetImageDesc(gif) != GIF_OK) break;
        out.width = gif->Image.Width;
        out.height = gif->Image.Height;
        out.pixels.resize(static_cast<std::size_t>(out.width) * out.height);
        static const int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
        const int passes = gif->Image.Interlace ? 4 : 1;
        done = true;
        for (int pass = 0; pass < passes; ++pass) {
            const int start = gif->Image.Interlace ? kStart[pass] : 0;
            const int step = gif->Image.Interlace ? kStep[pass] : 1;
            for (int y = start; y < out.height && done; y += step) {
                done = DGifGetLine(gif, out.pixels.data() + static_cast<std::size_t>(y) * out.width,
                                   out.width) == GIF_OK;
            }
        }
    }
    DGifCloseFile(gif, &error);
    return done;
}

bool DecodeWithCore(const std::string& path, Indices* out) {
    const imagelib::DecodeResult result = imagelib::DecodeFile(path, imagelib::DecodeEnvironment{});
    if (!result.record || result.record.BitCount() != 8) return false;
    if (out) {
        const imagelib::ImageRecord& record = result.record;
        out->width = record.Width();
        out->height = record.Height();
        const std::size_t stride = static_cast<std::size_t>(imagelib::RowStride(out->width, 8));
        out->pixels.clear();
        for (int y = out->height - 1; y >= 0; --y) {
            const std::uint8_t* row = record.Pixels() + y * stride;
            out->pixels.insert(out->pixels.end(), row, row + out->width);
        }
    }
    return true;
}

// The wall-clock and the processor time of one decode, in seconds. On a
// shared machine the processor time is the steadier of the two: it leaves
// out the time spent waiting for a core.
struct Times {
    double wall = 0;
    double processor = 0;

    void KeepBest(const Times& other, bool first) {
        if (first || other.wall < wall) wall = other.wall;
        if (first || other.processor < processor) processor = other.processor;
    }
};

template <typename Decode>
Times Measure(Decode decode) {
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t startClock = std::clock();
    if (!decode()) {
        std::fprintf(stderr, "decode failed\n");
        std::exit(1);
    }
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            static_cast<double>(std::clock() - startClock) / CLOCKS_PER_SEC};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: gif_decode_bench FILE.gif [RUNS]\n");
        return 2;
    }
    const std::string path = argv[1];
    const int runs = argc > 2 ? std::atoi(argv[2]) : 10;

    Indices core, giflib;
    if (!DecodeWithCore(path, &core) || !DecodeWithGiflib(path.c_str(), giflib)) {
        std::fprintf(stderr, "%s: not an 8-bit GIF both decoders read\n", path.c_str());
        return 1;
    }
    if (core.width != giflib.width || core.height != giflib.height ||
        core.pixels != giflib.pixels) {
        std::fprintf(stderr, "%s: the decoders disagree\n", path.c_str());
        return 1;
    }

    Times bestCore, bestGiflib;
    for (int run = 0; run < runs; ++run) {
        Indices scratch;
        bestGiflib.KeepBest(Measure([&] { return DecodeWithGiflib(path.c_str(), scratch); }),
                            run == 0);
        bestCore.KeepBest(Measure([&] { return DecodeWithCore(path, nullptr); }), run == 0);
    }
    const double megapixels = static_cast<double>(core.width) * core.height / 1e6;
    std::printf(
        "%s: %d x %d, %d runs each, best times (wall clock; processor); same indices from both\n",
        path.c_str(), core.width, core.height, runs);
    std::printf("  giflib                          %7.1f ms %7.1f Mpixel/s; %7.1f ms\n",
                bestGiflib.wall * 1000, megapixels / bestGiflib.wall, bestGiflib.processor * 1000);
    std::printf("  core decode to its image record %7.1f ms %7.1f Mpixel/s; %7.1f ms\n",
                bestCore.wall * 1000, megapixels / bestCore.wall, bestCore.processor * 1000);
    std::printf("  throughput ratio, core / giflib: %.2f; by processor time %.2f\n",
                bestGiflib.wall / bestCore.wall, bestGiflib.processor / bestCore.processor);
    return 0;
}
