// The bitmap handle made from an image record.
#pragma once

#include <windows.h>

#include "imagelib/core/image_record.h"

namespace imagelib {

// A bitmap compatible with the screen, made with CreateDIBitmap from the
// record's header, colour table and pixel rows on a device context of the
// whole screen. It does not depend on the record afterwards. 0 when there
// is no screen context or the platform refuses the record.
HBITMAP MakeBitmap(const ImageRecord& record);

}  // namespace imagelib
