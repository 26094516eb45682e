// The display's system palette, asked of GDI at each use.
#pragma once

#include "imagelib/core/display_palette.h"

namespace imagelib {

class GdiDisplayPalette : public DisplayPalette {
public:
    // From a device context of the "Display" driver. Only a palette device
    // (256 colours or fewer) has a system palette; on any other the answer
    // is false.
    bool SystemColours(std::size_t count, PaletteTriples& triples) const override;
};

}  // namespace imagelib
