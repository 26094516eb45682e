// The bitmap handle made from an image record.
#pragma once

#include <windows.h>

#include "imagelib/core/image_record.h"

namespace imagelib {

// A bitmap compatible with the screen, made from the record's header,
// colour table and pixel rows on a device context of the whole screen: an
// uncompressed record is handed over in bands of rows, anything else to
// CreateDIBitmap whole. It does not depend on the record afterwards. 0
// when there is no screen context or the platform refuses the record.
HBITMAP MakeBitmap(const ImageRecord& record);

}  // namespace imagelib
