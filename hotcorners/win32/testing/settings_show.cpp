// Shows the settings page as a user meets it, for real clicks and
// screenshots: "sheet" shows the page from DllGetClassObject in a property
// sheet. With EDGEWAKE_SHOW_LOG set, the screen rectangles of the sheet and
// of the controls a test clicks are written there as soon as it shows
// ("window L T R B", "monitor ...", "page ..." (the check box 1002),
// "ok ...", "apply ..."), and "ended" when it has gone.
//
// For tests of the real library, which runs in rundll32, it also answers
// questions on its standard output and exits:
//   places              the open "Hot Corners" dialog's window, monitor,
//                       check boxes 1001 ("feedback"), 1002 and 1004 and
//                       OK, as above
//   box                 the open "Edgewake" message box's OK and Cancel
//   service             1 when a service window exists, else 0
//   shortcut FILE       the link's target and arguments, one a line
//   saver-active [0|1]  whether the screen saver is active (after setting it)
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

#include "hotcorners/win32/startup_shortcut.h"
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

std::string RectLine(const char* name, HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    char line[96];
    std::snprintf(line, sizeof line, "%s %ld %ld %ld %ld", name, r.left, r.top, r.right, r.bottom);
    return line;
}

void LogRect(const char* name, HWND window) { Log(RectLine(name, window)); }

int Answer(const std::string& what, int argc, char** argv) {
    if (what == "places") {
        HWND dialog = ::FindWindowA("#32770", "Hot Corners");
        if (!dialog) return 1;
        std::printf("%s\n", RectLine("window", dialog).c_str());
        std::printf("%s\n", RectLine("monitor", ::GetDlgItem(dialog, IDC_EW_MONITOR)).c_str());
        std::printf("%s\n", RectLine("feedback", ::GetDlgItem(dialog, IDC_EW_FEEDBACK)).c_str());
        std::printf("%s\n", RectLine("page", ::GetDlgItem(dialog, IDC_EW_PAGE)).c_str());
        std::printf("%s\n", RectLine("startup", ::GetDlgItem(dialog, IDC_EW_STARTUP)).c_str());
        std::printf("%s\n", RectLine("ok", ::GetDlgItem(dialog, IDOK)).c_str());
        return 0;
    }
    if (what == "box") {
        HWND box = ::FindWindowA("#32770", "Edgewake");
        if (!box || !::IsWindowVisible(box)) return 1;
        std::printf("%s\n", RectLine("ok", ::GetDlgItem(box, IDOK)).c_str());
        std::printf("%s\n", RectLine("cancel", ::GetDlgItem(box, IDCANCEL)).c_str());
        return 0;
    }
    if (what == "service") {
        std::printf("%d\n", ::FindWindowA("EdgewakeService", "EdgewakeService") ? 1 : 0);
        return 0;
    }
    if (what == "shortcut" && argc > 2) {
        edgewake::ShortcutTarget target;
        if (!edgewake::ReadShortcut(argv[2], target)) return 1;
        std::printf("%s\n%s\n", target.path.c_str(), target.arguments.c_str());
        return 0;
    }
    if (what == "saver-active") {
        if (argc > 2)
            ::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, std::atoi(argv[2]), nullptr,
                                    SPIF_UPDATEINIFILE);
        BOOL active = FALSE;
        ::SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
        std::printf("%d\n", active ? 1 : 0);
        return 0;
    }
    return 2;
}

// Waits for the sheet to show and writes where its parts are.
void Report() {
    for (int i = 0; i < 600; ++i) {
        HWND sheet = ::FindWindowA("#32770", "Display Properties");
        if (sheet && ::IsWindowVisible(sheet)) {
            ::Sleep(300);
            HWND page = PropSheet_GetCurrentPageHwnd(sheet);
            LogRect("window", sheet);
            LogRect("monitor", ::GetDlgItem(page, IDC_EW_MONITOR));
            LogRect("page", ::GetDlgItem(page, IDC_EW_PAGE));
            LogRect("ok", ::GetDlgItem(sheet, IDOK));
            constexpr int kApplyButton = 0x3021;
            LogRect("apply", ::GetDlgItem(sheet, kApplyButton));
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
    const std::string what = argc > 1 ? argv[1] : "";
    ::CoInitialize(nullptr);
    if (what != "sheet") {
        const int code = Answer(what, argc, argv);
        std::fflush(stdout);
        ::CoUninitialize();
        return code;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    std::thread reporter(Report);
    ShowSheet();
    reporter.join();
    Log("ended");
    ::CoUninitialize();
    return 0;
}
