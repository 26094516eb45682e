// The library's exports. The rundll32 entries check that the library is
// in the Windows directory (else the wrong-folder box, and nothing more)
// and each runs between CoInitialize and CoUninitialize.
#include <windows.h>
#include <objbase.h>

#include <cstring>
#include <string>

#include "common/win32/guards.h"
#include "hotcorners/core/service_rules.h"
#include "hotcorners/win32/edgewake.h"
#include "hotcorners/win32/library_internal.h"

namespace edgewake {
namespace {

class ComScope {
public:
    ComScope() : initialised_(SUCCEEDED(::CoInitialize(nullptr))) {}
    ~ComScope() {
        if (initialised_) ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool initialised_;
};

std::string WindowsDirectory() {
    char folder[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryA(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(folder, length) : std::string();
}

// True when the library may run; otherwise the box has been shown.
bool InPlace(HWND owner) {
    const std::string library = LibraryPath();
    const std::string windows = WindowsDirectory();
    if (hotcorners::InWindowsDirectory(library, windows)) return true;
    ::MessageBoxA(owner,
                  hotcorners::WrongFolderText(windows, hotcorners::FolderOf(library)).c_str(),
                  hotcorners::kWrongFolderCaption, MB_OK | MB_ICONERROR);
    return false;
}

void TitleCaller(HWND caller, const char* command) {
    if (!caller) return;
    if (command && (std::strcmp(command, "/notitle") == 0 || std::strcmp(command, "-notitle") == 0))
        return;
    ::SetWindowTextA(caller, "Edgewake");
}

// How long TerminateService waits for the service's process to end.
constexpr DWORD kServiceEndMs = 10000;

// Asks a running service to end and waits, bounded, until its process has
// ended: the installer replaces the library right afterwards, and the
// process holds the library until it ends, well after its window has gone.
void EndServiceProcess() {
    const HWND service = ServiceWindow();
    if (!service) return;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(service, &processId);
    // A service in this very process cannot end while this waits.
    const win32::UniqueKernelHandle process(processId && processId != ::GetCurrentProcessId()
                                                ? ::OpenProcess(SYNCHRONIZE, FALSE, processId)
                                                : nullptr);
    EndService();
    if (process) ::WaitForSingleObject(process.Get(), kServiceEndMs);
}

void RunDialogEntry(HWND caller, const char* command, DialogMode mode) {
    const ComScope com;
    if (!InPlace(caller)) return;
    TitleCaller(caller, command);
    RunSettingsDialog(caller, mode);
}

}  // namespace
}  // namespace edgewake

extern "C" {

void CALLBACK RunService(HWND caller, HINSTANCE, LPSTR, int) {
    const edgewake::ComScope com;
    if (!edgewake::InPlace(caller)) return;
    if (caller) ::SetWindowTextA(caller, "Edgewake");
    edgewake::RunServiceLoop(caller);
}

void CALLBACK TerminateService(HWND caller, HINSTANCE, LPSTR, int) {
    const edgewake::ComScope com;
    if (!edgewake::InPlace(caller)) return;
    edgewake::EndServiceProcess();
}

void CALLBACK RunDialog(HWND caller, HINSTANCE, LPSTR command, int) {
    edgewake::RunDialogEntry(caller, command, edgewake::DialogMode::Normal);
}

void CALLBACK RunInstallDialog(HWND caller, HINSTANCE, LPSTR command, int) {
    edgewake::RunDialogEntry(caller, command, edgewake::DialogMode::Install);
}

void CALLBACK InstallSilently(HWND caller, HINSTANCE, LPSTR command, int) {
    edgewake::RunDialogEntry(caller, command, edgewake::DialogMode::Silent);
}

void CALLBACK RunAboutDialog(HWND caller, HINSTANCE, LPSTR command, int) {
    const edgewake::ComScope com;
    if (!edgewake::InPlace(caller)) return;
    edgewake::TitleCaller(caller, command);
    edgewake::RunAboutBox(caller);
}

int WINAPI System_Agent_Detect() { return edgewake::ServiceWindow() ? 1 : 0; }

void WINAPI Screen_Saver_Changed() { edgewake::CornersChanged(); }

}  // extern "C"
