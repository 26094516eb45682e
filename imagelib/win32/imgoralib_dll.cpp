// ImgoraLib.dll. Its exports come with the library's interface.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
