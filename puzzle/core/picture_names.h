// Which files of a folder are own pictures.
#pragma once

#include <string_view>

namespace puzzle {

// True for names ending in ".jpeg", ".jpg" or ".bmp", in any letter case.
// A name that is nothing but the ending (".jpg") counts too.
bool IsPictureFileName(std::string_view name);

}  // namespace puzzle
