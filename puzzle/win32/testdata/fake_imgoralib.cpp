// Stand-ins for the image library in the system directory, for the tests
// of its binding. Built with FAKE_WITH_LOAD_ENTRY it exports ImgoraLibLoad,
// which reads BMP files only and tells a window of the class
// "RediraDecodeObserver", if one exists, that it runs. Without it only the
// older export Load_JPG is there, as in a library too old to bind.
#include <windows.h>

namespace {

HBITMAP LoadBitmapFile(const char* fileName) {
    if (HWND observer = ::FindWindowA("RediraDecodeObserver", nullptr))
        ::SendMessageA(observer, WM_APP, 0, 0);
    return static_cast<HBITMAP>(
        ::LoadImageA(nullptr, fileName, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

}  // namespace

#ifdef FAKE_WITH_LOAD_ENTRY
extern "C" __declspec(dllexport) HBITMAP WINAPI ImgoraLibLoad(const char* fileName, BYTE) {
    return LoadBitmapFile(fileName);
}
#endif

extern "C" __declspec(dllexport) HBITMAP WINAPI Load_JPG(const char* fileName, BYTE) {
    return LoadBitmapFile(fileName);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
