// libjpeg's error manager as the library uses it for decoding and encoding
// alike: trace level 0, a fatal error leaves by longjmp to the caller's
// setjmp with a LoadStatus, and the first warning of an image goes to the
// user (OK goes on, Cancel fails). Included only by the libjpeg islands.
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "imagelib/core/load_status.h"
#include "imagelib/core/user_prompts.h"

namespace imagelib {

struct JpegErrors {
    jpeg_error_mgr manager;  // first: libjpeg hands its address back to us
    std::jmp_buf jump;       // set by the island before it creates the object
    LoadStatus failure;      // why the island was left
    UserPrompts* prompts;    // none: warnings are let pass
};

// Fills in `errors` and answers the manager for the err field of a
// compress or decompress object.
jpeg_error_mgr* AttachJpegErrors(JpegErrors& errors, UserPrompts* prompts);

// The status a failure of the JPEG library with this message code gives.
LoadStatus StatusForJpegMessage(int messageCode);

}  // namespace imagelib
