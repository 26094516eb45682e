// A stand-in for an older Edgewake library in the installer's tests. Each
// of the two exports the installer calls appends a line to
// "edgewake_calls.txt" beside the library: the export, the class of the
// window it was given, whether the instance is the program's own, the
// command text and the show command.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HMODULE g_module = nullptr;

void Record(const char* entry, HWND window, HINSTANCE instance, const char* command, int show) {
    char path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(g_module, path, MAX_PATH);
    std::string log(path, length);
    log = log.substr(0, log.rfind('\\') + 1) + "edgewake_calls.txt";
    char windowClass[64] = "none";
    if (window) ::GetClassNameA(window, windowClass, sizeof windowClass);
    if (FILE* file = std::fopen(log.c_str(), "a")) {
        std::fprintf(file, "%s %s %s %s %d\n", entry, windowClass,
                     instance == ::GetModuleHandleA(nullptr) ? "program" : "other",
                     command ? command : "(none)", show);
        std::fclose(file);
    }
}

}  // namespace

extern "C" __declspec(dllexport) void CALLBACK
    TerminateService(HWND window, HINSTANCE instance, LPSTR command, int show) {
    Record("TerminateService", window, instance, command, show);
}

extern "C" __declspec(dllexport) void CALLBACK
    InstallSilently(HWND window, HINSTANCE instance, LPSTR command, int show) {
    Record("InstallSilently", window, instance, command, show);
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = module;
    return TRUE;
}
