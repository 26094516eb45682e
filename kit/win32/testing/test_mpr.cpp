// A stand-in for the system's password-change library: it logs the call.
#include <windows.h>

#include <cstdio>

#include "kit/win32/testing/test_log.h"

extern "C" DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND parent, DWORD reserved,
                                           LPVOID more) {
    char line[160];
    std::snprintf(line, sizeof line, "change-password %s %lx %lu %lx",
                  provider ? provider : "(null)", kittest::HandleValue(parent),
                  static_cast<unsigned long>(reserved), kittest::HandleValue(more));
    kittest::LogLine(line);
    return 0;
}
