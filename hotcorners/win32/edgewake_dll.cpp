// edgewake.dll. The service and its exports come with the service's own work.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
