// Scaling a part of a picture to a new size, for the board's cut. When
// shrinking, each target pixel is the average of the source area it
// covers (every source pixel counts, in proportion); when growing, a blend
// of the two nearest source pixels each way. Only pixels inside the part
// are read.
//
// Pixels are 32-bit words of four 8-bit channels, each scaled alike. The
// source comes a row at a time, so that a picture far larger than the
// result need not be held whole twice: besides the result, the scaler
// keeps only the few rows, scaled across, that one target row blends.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "puzzle/core/picture.h"

namespace puzzle {

using Pixel = std::uint32_t;

// Answers the pixels of source row `y` (at least part.x + part.width of
// them). Rows are asked for once each, in increasing order.
using SourceRow = std::function<const Pixel*(int y)>;

// The part scaled to width x height pixels, row by row from the top;
// empty when either size or the part is empty.
std::vector<Pixel> ScalePixels(const SourceRow& row, const Rect& part, int width, int height);

}  // namespace puzzle
