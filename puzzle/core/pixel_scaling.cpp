#include "puzzle/core/pixel_scaling.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace puzzle {
namespace {

constexpr int kWeightBits = 16;
constexpr std::int32_t kWeightOne = 1 << kWeightBits;

// Which source pixels make each target pixel along one axis, and how much.
struct Taps {
    std::vector<int> first;             // per target pixel: its first source pixel
    std::vector<int> count;             // per target pixel: how many follow
    std::vector<int> offset;            // per target pixel: where its weights start
    std::vector<std::int32_t> weights;  // summing to kWeightOne per pixel
};

// The weight of each source pixel in target pixel i: when shrinking, how
// much of the source pixel the target pixel covers (a box); when growing,
// a tent one source pixel wide around the target pixel's centre.
std::vector<double> RawWeights(int i, int sourceLength, double scale, int& first) {
    std::vector<double> raw;
    if (scale > 1.0) {
        const double low = i * scale;
        const double high = std::min((i + 1) * scale, double(sourceLength));
        first = std::min(int(low), sourceLength - 1);
        for (int j = first; j < high; ++j)
            raw.push_back(std::max(0.0, std::min(j + 1.0, high) - std::max(double(j), low)));
    } else {
        const double centre = (i + 0.5) * scale - 0.5;
        first = std::clamp(int(std::floor(centre)), 0, sourceLength - 1);
        const int last = std::clamp(int(std::floor(centre)) + 1, 0, sourceLength - 1);
        for (int j = first; j <= last; ++j)
            raw.push_back(std::max(0.0, 1.0 - std::abs(j - centre)));
    }
    return raw;
}

Taps MakeTaps(int sourceLength, int targetLength) {
    Taps taps;
    taps.first.resize(targetLength);
    taps.count.resize(targetLength);
    taps.offset.resize(targetLength);
    const double scale = double(sourceLength) / targetLength;
    for (int i = 0; i < targetLength; ++i) {
        int first = 0;
        std::vector<double> raw = RawWeights(i, sourceLength, scale, first);
        double total = 0;
        for (double weight : raw) total += weight;
        taps.first[i] = first;
        taps.offset[i] = int(taps.weights.size());
        if (total <= 0) {  // a target pixel beside the edge: the edge pixel
            taps.count[i] = 1;
            taps.weights.push_back(kWeightOne);
            continue;
        }
        taps.count[i] = int(raw.size());
        // Rounded weights, the rounding error given to the largest, so that
        // a plain area keeps exactly its colour.
        std::int32_t sum = 0;
        std::size_t largest = 0;
        for (std::size_t k = 0; k < raw.size(); ++k) {
            const auto weight = std::int32_t(std::lround(raw[k] / total * kWeightOne));
            taps.weights.push_back(weight);
            sum += weight;
            if (raw[k] > raw[largest]) largest = k;
        }
        taps.weights[taps.offset[i] + largest] += kWeightOne - sum;
    }
    return taps;
}

// Weighted sums of a pixel's four channels, one 32-bit sum each (a 32-bit
// processor multiplies those in one step): a sum never exceeds
// 255 * kWeightOne plus the rounding half, so each result fits its byte.
class ChannelSums {
public:
    void Add(Pixel p, std::int32_t weight) {
        const auto w = static_cast<std::uint32_t>(weight);
        c0_ += (p & 0xFF) * w;
        c1_ += ((p >> 8) & 0xFF) * w;
        c2_ += ((p >> 16) & 0xFF) * w;
        c3_ += (p >> 24) * w;
    }
    Pixel Result() const {
        return (c0_ >> kWeightBits) | ((c1_ >> kWeightBits) << 8) | ((c2_ >> kWeightBits) << 16) |
               ((c3_ >> kWeightBits) << 24);
    }

private:
    static constexpr std::uint32_t kHalf = kWeightOne / 2;
    std::uint32_t c0_ = kHalf, c1_ = kHalf, c2_ = kHalf, c3_ = kHalf;
};

// Blends `count` neighbouring pixels of a row with the given weights.
Pixel BlendAcross(const Pixel* pixels, const std::int32_t* weights, int count) {
    if (count == 1) return pixels[0];  // a single tap weighs kWeightOne
    ChannelSums sums;
    for (int k = 0; k < count; ++k) sums.Add(pixels[k], weights[k]);
    return sums.Result();
}

// Blends pixel x of the given rows with the given weights.
Pixel BlendDown(const std::vector<const Pixel*>& rows, int x, const std::int32_t* weights) {
    ChannelSums sums;
    for (std::size_t k = 0; k < rows.size(); ++k) sums.Add(rows[k][x], weights[k]);
    return sums.Result();
}

}  // namespace

std::vector<Pixel> ScalePixels(const SourceRow& row, const Rect& part, int width, int height) {
    if (width <= 0 || height <= 0 || part.width <= 0 || part.height <= 0) return {};
    const Taps across = MakeTaps(part.width, width);
    const Taps down = MakeTaps(part.height, height);

    // Source rows are scaled across into a ring just deep enough for the
    // rows one target row blends, then blended down into the result.
    int ringRows = 1;
    for (int count : down.count) ringRows = std::max(ringRows, count);
    std::vector<Pixel> ring(std::size_t(width) * ringRows);
    int scaledRows = 0;
    std::vector<const Pixel*> rows;
    std::vector<Pixel> result(std::size_t(width) * height);
    for (int y = 0; y < height; ++y) {
        for (const int last = down.first[y] + down.count[y] - 1; scaledRows <= last; ++scaledRows) {
            const Pixel* source = row(part.y + scaledRows) + part.x;
            Pixel* target = ring.data() + std::size_t(scaledRows % ringRows) * width;
            for (int x = 0; x < width; ++x)
                target[x] = BlendAcross(source + across.first[x], &across.weights[across.offset[x]],
                                        across.count[x]);
        }
        rows.clear();
        for (int k = 0; k < down.count[y]; ++k)
            rows.push_back(ring.data() + std::size_t((down.first[y] + k) % ringRows) * width);
        const std::int32_t* weights = &down.weights[down.offset[y]];
        Pixel* target = result.data() + std::size_t(y) * width;
        if (rows.size() == 1) {  // a single tap weighs kWeightOne
            std::copy(rows[0], rows[0] + width, target);
            continue;
        }
        for (int x = 0; x < width; ++x) target[x] = BlendDown(rows, x, weights);
    }
    return result;
}

}  // namespace puzzle
