#include "imagelib/win32/gdi_display_palette.h"

#include <windows.h>

#include <array>

#include "common/win32/guards.h"

namespace imagelib {

bool GdiDisplayPalette::SystemColours(std::size_t count, PaletteTriples& triples) const {
    std::array<PALETTEENTRY, 256> entries{};
    if (count == 0 || count > entries.size()) return false;
    win32::UniqueMemoryDc display(::CreateDCA("Display", nullptr, nullptr, nullptr));
    if (!display || (::GetDeviceCaps(display.Get(), RASTERCAPS) & RC_PALETTE) == 0) return false;
    const UINT wanted = static_cast<UINT>(count);
    if (::GetSystemPaletteEntries(display.Get(), 0, wanted, entries.data()) != wanted) return false;
    for (std::size_t i = 0; i < count; ++i) {
        triples[3 * i + 0] = entries[i].peRed;
        triples[3 * i + 1] = entries[i].peGreen;
        triples[3 * i + 2] = entries[i].peBlue;
    }
    return true;
}

}  // namespace imagelib
