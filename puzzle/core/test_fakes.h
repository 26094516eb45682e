// Stand-ins for the platform, for the puzzle core's tests.
#pragma once

#include <memory>
#include <vector>

#include "puzzle/core/picture.h"

namespace puzzle {

// A picture that only has a size. Scaling records the part asked for.
class FakePicture : public Picture {
public:
    FakePicture(int width, int height, std::vector<Rect>* scaledSources = nullptr)
        : width_(width), height_(height), scaledSources_(scaledSources) {}

    int Width() const override { return width_; }
    int Height() const override { return height_; }

    std::unique_ptr<Picture> ScaledPart(const Rect& source, int width,
                                        int height) const override {
        if (failScaling) return nullptr;
        if (scaledSources_) scaledSources_->push_back(source);
        return std::make_unique<FakePicture>(width, height);
    }

    bool failScaling = false;

private:
    int width_;
    int height_;
    std::vector<Rect>* scaledSources_;
};

}  // namespace puzzle
