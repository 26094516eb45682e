// The display's own colours, for pictures that carry none (version-3 PCX
// files). The Win32 layer asks the display for its system palette; tests
// use a fake.
#pragma once

#include <cstddef>

#include "imagelib/core/image_record.h"

namespace imagelib {

class DisplayPalette {
public:
    virtual ~DisplayPalette() = default;

    // Fills the first `count` triples (at most 256) with the first `count`
    // entries of the display's system palette. False, with the triples
    // untouched, when the display has no system palette (it is not a
    // palette device) or cannot give that many entries.
    virtual bool SystemColours(std::size_t count, PaletteTriples& triples) const = 0;
};

}  // namespace imagelib
