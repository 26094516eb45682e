// Functions of system libraries that only dialogs use, found when first
// called instead of imported: every library a program imports is loaded
// and initialised before its first window, and the common controls, the
// shell and COM together cost a noticeable share of the saver's start.
// A library once loaded stays loaded for the life of the process.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

namespace win32 {

template <typename Function>
Function SystemFunction(const char* library, const char* name) {
    HMODULE module = ::GetModuleHandleA(library);
    if (!module) module = ::LoadLibraryA(library);
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// The common controls: registers the classes asked for; false when the
// library or the function is missing.
inline bool InitCommonControlsOnDemand(DWORD classes) {
    using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto init = SystemFunction<Init>("comctl32.dll", "InitCommonControlsEx");
    INITCOMMONCONTROLSEX controls{sizeof controls, classes};
    return init && init(&controls);
}

inline INT_PTR PropertySheetOnDemand(LPCPROPSHEETHEADERA header) {
    using Sheet = INT_PTR(WINAPI*)(LPCPROPSHEETHEADERA);
    const auto sheet = SystemFunction<Sheet>("comctl32.dll", "PropertySheetA");
    return sheet ? sheet(header) : -1;
}

}  // namespace win32
