// The preview dialog, built in memory as a packed dialog template: an OK
// button, a black rectangle that the saver's preview goes into, and a line
// of text below it. 16-bit fields little-endian, texts in UTF-16, items
// aligned to 4 bytes.
#pragma once

#include <array>
#include <cstdint>

namespace setup {

inline constexpr int kPreviewOkId = 1;         // the button ("OK")
inline constexpr int kPreviewStatusId = 2;     // the line of text (also what Esc sends)
inline constexpr int kPreviewRectangleId = 3;  // the black rectangle

inline constexpr std::size_t kPreviewTemplateSize = 152;

std::array<std::uint8_t, kPreviewTemplateSize> PreviewDialogTemplate();

}  // namespace setup
