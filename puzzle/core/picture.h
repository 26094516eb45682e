// A picture held by the platform: the decoded picture of a file, or the
// board picture cut from it. The core only asks for sizes and for a scaled
// copy of a part; drawing stays in the platform layer.
#pragma once

#include <memory>

namespace puzzle {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const Rect&, const Rect&) = default;
};

class Picture {
public:
    virtual ~Picture() = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;

    // A new picture of width x height pixels showing `source` of this one
    // stretched to fit. Answers null when the platform cannot make it.
    virtual std::unique_ptr<Picture> ScaledPart(const Rect& source, int width,
                                                int height) const = 0;
};

}  // namespace puzzle
