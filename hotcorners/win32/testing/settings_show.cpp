// Shows the settings side as a user meets it, for real clicks and
// screenshots: "dialog" (the default) or "install" runs the settings
// dialog, "sheet" shows the page from DllGetClassObject in a property
// sheet. With EDGEWAKE_SHOW_LOG set, the screen rectangles of the window
// and of the controls a test clicks are written there as soon as it shows
// ("window L T R B", "monitor ...", "page ..." (the check box 1002),
// "ok ...", "apply ..." (a sheet's)), and "ended" when it has gone.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "hotcorners/win32/edgewake.h"
#include "resources/edgewake_res.h"

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID, REFIID, void**);

namespace {

constexpr CLSID kPageClass = {0x6F1C2B7E, 0x3D54, 0x4A8B,
                              {0x9E, 0x21, 0x5C, 0x7D, 0x0A, 0x4F, 0x93, 0xB6}};

void Log(const std::string& line) {
    const char* path = std::getenv("EDGEWAKE_SHOW_LOG");
    if (!path) return;
    if (FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

void LogRect(const char* name, HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    char line[96];
    std::snprintf(line, sizeof line, "%s %ld %ld %ld %ld", name, r.left, r.top, r.right, r.bottom);
    Log(line);
}

// Waits for the window to show and writes where its parts are.
void Report(const char* title) {
    for (int i = 0; i < 600; ++i) {
        HWND window = ::FindWindowA("#32770", title);
        if (window && ::IsWindowVisible(window)) {
            ::Sleep(300);
            HWND page = window;
            if (HWND current = PropSheet_GetCurrentPageHwnd(window)) page = current;
            LogRect("window", window);
            LogRect("monitor", ::GetDlgItem(page, IDC_EW_MONITOR));
            LogRect("page", ::GetDlgItem(page, IDC_EW_PAGE));
            LogRect("ok", ::GetDlgItem(window, IDOK));
            constexpr int kApplyButton = 0x3021;
            if (page != window) LogRect("apply", ::GetDlgItem(window, kApplyButton));
            return;
        }
        ::Sleep(100);
    }
}

BOOL CALLBACK CollectPage(HPROPSHEETPAGE page, LPARAM pages) {
    reinterpret_cast<std::vector<HPROPSHEETPAGE>*>(pages)->push_back(page);
    return TRUE;
}

void ShowSheet() {
    IClassFactory* factory = nullptr;
    IShellPropSheetExt* extension = nullptr;
    if (FAILED(DllGetClassObject(kPageClass, IID_IClassFactory, reinterpret_cast<void**>(&factory))))
        return;
    const HRESULT created = factory->CreateInstance(nullptr, IID_IShellPropSheetExt,
                                                    reinterpret_cast<void**>(&extension));
    factory->Release();
    if (FAILED(created)) return;
    std::vector<HPROPSHEETPAGE> pages;
    extension->AddPages(CollectPage, reinterpret_cast<LPARAM>(&pages));
    extension->Release();
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.pszCaption = "Display Properties";
    header.nPages = static_cast<UINT>(pages.size());
    header.phpage = pages.data();
    ::PropertySheetA(&header);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "dialog";
    ::CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    std::thread reporter(Report, what == "sheet" ? "Display Properties" : "Hot Corners");
    if (what == "sheet")
        ShowSheet();
    else
        edgewake::RunSettingsDialog(nullptr, what == "install" ? edgewake::DialogMode::Install
                                                               : edgewake::DialogMode::Normal);
    reporter.join();
    Log("ended");
    ::CoUninitialize();
    return 0;
}
