// A stand-in for the system's password provider: it answers as
// KITTEST_PASSWORD says ("accept" lets the saver close) and logs the call.
#include <windows.h>

#include <cstdio>

#include "kit/win32/testing/test_log.h"

extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND owner) {
    char line[64];
    std::snprintf(line, sizeof line, "verify %lx", kittest::HandleValue(owner));
    kittest::LogLine(line);
    return kittest::Environment("KITTEST_PASSWORD") == "accept";
}
