// A helper of Edgewake's whole-program tests (service_test.py): what the
// test driver on Linux cannot see or do from outside Wine. The library is
// always the copy in the Windows directory. One command per run; answers
// are printed (the driver sends output to a file, never a pipe):
//
//   detect                 prints System_Agent_Detect's answer
//   changed                calls Screen_Saver_Changed; prints "ms N", the
//                          time it took
//   terminate              calls TerminateService; prints "ended 1" when the
//                          service's process had ended by its return, "ended
//                          0" when it still ran (nothing without a service)
//   services               prints how many windows "EdgewakeService" exist
//   active                 prints the screen-saver-active flag (0 or 1)
//   set-active 0|1         sets it (under Wine a program without windows
//                          reads and writes the flag in the registry; one
//                          with windows, as the service, reads the X
//                          server's screen saver, which the driver sets)
//   corners TEXT           writes the kit's "Mouse Corners"
//   saver PATH|-           writes (or, for -, deletes) the desktop's
//                          "SCRNSAVE.EXE" and system.ini's [boot] entry
//   listen LOG MS [fill] [hung]
//                          a window of its own in the notify list, which
//                          logs each message 0x8000 ("told WPARAM LPARAM")
//                          for MS milliseconds; "fill" first fills the list
//                          with windows that no longer exist, "hung" adds
//                          a window whose thread never answers. Prints
//                          "listening" to LOG once it is listed.
//   endsession             sends the service window WM_ENDSESSION (TRUE)
//   kill                   ends the service's process at once, as End task
//                          does (TerminateProcess), and waits for its end
//   tray-delete            removes the service's task-bar icon, as a task
//                          bar that ends takes every icon with it
//   taskbar-created        sends the service the shell's "TaskbarCreated"
//   ask OP VALUE           sends the service window message 0x8000 with
//                          the operation OP (0x68...0x6B); prints the answer
//   option NAME            prints the 32-bit value NAME under HKCU\Control
//                          Panel\Desktop (-1 when missing)
//   lists                  prints the corner copy ("corners YN--"),
//                          "notify N" and "feedback N" (members),
//                          and "gone N", members that no longer exist
//   window LOG MS          a visible window in the foreground that logs
//                          each WM_SYSCOMMAND SC_SCREENSAVE ("screensave")
//   box TITLE MS           waits for a dialog titled TITLE; prints its
//                          message text ("text ...") and its controls, then
//                          presses its default button
//   feedback               prints "feedback VISIBLE L T R B" of the window
//                          "PersistentCornerClass"
//   places                 prints where the open settings dialog "Hot
//                          Corners" has its monitor, check boxes "page" and
//                          "startup" and "ok", one "NAME L T R B" a line
//   sheet LOG              shows the library's Display Properties page in a
//                          property sheet, as the control panel gets it;
//                          writes to LOG where its "monitor", "page", "ok"
//                          and "apply" are once it shows, as above, and
//                          "ended" when it has gone
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "common/win32/guards.h"
#include "hotcorners/core/window_list.h"
#include "hotcorners/win32/shared_memory.h"
#include "resources/edgewake_res.h"

namespace {

std::string LibraryInWindows() {
    char folder[MAX_PATH] = {};
    ::GetWindowsDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\edgewake.dll";
}

template <typename Entry>
Entry Export(const char* name) {
    static HMODULE library = ::LoadLibraryA(LibraryInWindows().c_str());
    if (!library) {
        std::printf("no library\n");
        std::exit(2);
    }
    auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
    if (!entry) {
        std::printf("no export %s\n", name);
        std::exit(2);
    }
    return entry;
}

using Detect = int(WINAPI*)();
using Changed = void(WINAPI*)();
using Rundll = void(CALLBACK*)(HWND, HINSTANCE, LPSTR, int);

void Log(const char* path, const char* line) {
    if (FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, "%s\n", line);
        std::fclose(file);
    }
}

BOOL CALLBACK CountServices(HWND window, LPARAM count) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "EdgewakeService") == 0) ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// The shared block, opened as the library opens it.
struct SharedAccess {
    SharedAccess()
        : mapping(::OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, edgewake::kSharedMemoryName)),
          view(mapping ? ::MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0,
                                         sizeof(edgewake::SharedData))
                       : nullptr),
          mutex(::OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, edgewake::kListMutexName)) {}
    template <typename Work>
    bool Locked(Work work) {
        if (!view || !mutex || ::WaitForSingleObject(mutex.Get(), 5000) != WAIT_OBJECT_0)
            return false;
        work(*static_cast<edgewake::SharedData*>(view.Get()));
        ::ReleaseMutex(mutex.Get());
        return true;
    }
    win32::UniqueKernelHandle mapping;
    win32::UniqueView view;
    win32::UniqueKernelHandle mutex;
};

const char* g_log = nullptr;

LRESULT CALLBACK ListenerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == 0x8000 && g_log) {
        char line[64];
        std::snprintf(line, sizeof line, "told %#x %ld", static_cast<unsigned>(wParam),
                      static_cast<long>(lParam));
        Log(g_log, line);
        return 0;
    }
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_SCREENSAVE) {
        if (g_log) Log(g_log, "screensave");
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow(const char* title, DWORD style, int x, int y, int w, int h) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = ListenerProcedure;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(LTGRAY_BRUSH));
        windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        windowClass.lpszClassName = "EdgewakeProbeClass";
        ::RegisterClassA(&windowClass);
        registered = true;
    }
    return ::CreateWindowExA(0, "EdgewakeProbeClass", title, style, x, y, w, h, nullptr, nullptr,
                             ::GetModuleHandleA(nullptr), nullptr);
}

void Pump(DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < milliseconds) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
}

int Listen(const char* log, DWORD milliseconds, bool fill, bool hung) {
    g_log = log;
    const HWND window = MakeWindow("listener", WS_OVERLAPPED, 0, 0, 10, 10);
    std::vector<std::uint32_t> extra;
    if (fill)
        for (std::size_t i = 0; i < hotcorners::kWindowListCapacity; ++i) {
            const HWND gone = MakeWindow("gone", WS_OVERLAPPED, 0, 0, 10, 10);
            extra.push_back(edgewake::WindowNumber(gone));
            ::DestroyWindow(gone);
        }
    if (hung) {
        // A window whose thread stops answering once it exists.
        HWND stuck = nullptr;
        HANDLE made = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        std::thread([&stuck, made] {
            stuck = MakeWindow("hung", WS_OVERLAPPED, 0, 0, 10, 10);
            ::SetEvent(made);
            ::Sleep(INFINITE);
        }).detach();
        ::WaitForSingleObject(made, 5000);
        extra.push_back(edgewake::WindowNumber(stuck));
    }
    SharedAccess shared;
    bool listed = false;
    const bool locked = shared.Locked([&](edgewake::SharedData& data) {
        // Whatever does not fit is left out, as a full list would.
        for (const std::uint32_t w : extra) hotcorners::Join(data.notify, w);
        listed = hotcorners::Join(data.notify, edgewake::WindowNumber(window));
    });
    if (!locked || !listed) {
        // The gone windows fill the list: make room for ourselves in the
        // last place, as a listener that came early would hold it.
        shared.Locked([&](edgewake::SharedData& data) {
            data.notify.windows[hotcorners::kWindowListCapacity - 1] =
                edgewake::WindowNumber(window);
        });
    }
    Log(log, "listening");
    Pump(milliseconds);
    std::fflush(stdout);
    ::ExitProcess(0);  // the hung thread never ends
}

int Lists() {
    SharedAccess shared;
    int gone = 0;
    const bool locked = shared.Locked([&](edgewake::SharedData& data) {
        std::printf("corners %.4s\n", data.corners);
        for (const auto* list : {&data.notify, &data.feedback}) {
            const auto members = hotcorners::Members(*list);
            std::printf("%s %u\n", list == &data.notify ? "notify" : "feedback",
                        static_cast<unsigned>(members.size()));
            for (const std::uint32_t w : members)
                if (!::IsWindow(edgewake::WindowFromNumber(w))) ++gone;
        }
    });
    std::printf("gone %d\n", gone);
    return locked ? 0 : 1;
}

int Window(const char* log, DWORD milliseconds) {
    g_log = log;
    const HWND window =
        MakeWindow("Edgewake test window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 250, 400, 260);
    ::SetForegroundWindow(window);
    Pump(200);
    Log(log, ::GetForegroundWindow() == window ? "foreground" : "not foreground");
    Pump(milliseconds);
    return 0;
}

struct Found {
    const char* title;
    HWND window;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    auto* f = reinterpret_cast<Found*>(found);
    char text[256] = {}, name[64] = {};
    ::GetWindowTextA(window, text, sizeof text);
    ::GetClassNameA(window, name, sizeof name);
    if (::IsWindowVisible(window) && std::strcmp(text, f->title) == 0 &&
        std::strcmp(name, "#32770") == 0) {
        f->window = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
    char name[64] = {}, text[512] = {};
    ::GetClassNameA(control, name, sizeof name);
    ::GetWindowTextA(control, text, sizeof text);
    std::printf("control %d %s %s\n", ::GetDlgCtrlID(control), name, text);
    return TRUE;
}

int Box(const char* title, DWORD milliseconds) {
    Found found{title, nullptr};
    const DWORD start = ::GetTickCount();
    while (!found.window && ::GetTickCount() - start < milliseconds) {
        ::EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&found));
        if (!found.window) ::Sleep(100);
    }
    if (!found.window) {
        std::printf("none\n");
        return 1;
    }
    char text[1024] = {};
    ::GetDlgItemTextA(found.window, 0xFFFF, text, sizeof text);
    std::printf("text %s\n", text);
    ::EnumChildWindows(found.window, PrintControl, 0);
    const char* hold = std::getenv("EDGEWAKE_HOLD_BOX_MS");
    if (hold) ::Sleep(static_cast<DWORD>(std::atol(hold)));
    std::fflush(stdout);
    ::PostMessageA(found.window, WM_COMMAND, IDOK, 0);
    return 0;
}

int Feedback() {
    const HWND window = ::FindWindowA("PersistentCornerClass", nullptr);
    if (!window) {
        std::printf("none\n");
        return 1;
    }
    RECT rect{};
    ::GetWindowRect(window, &rect);
    std::printf("feedback %d %ld %ld %ld %ld\n", ::IsWindowVisible(window) ? 1 : 0, rect.left,
                rect.top, rect.right, rect.bottom);
    return 0;
}

void PrintRect(FILE* out, const char* name, HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    std::fprintf(out, "%s %ld %ld %ld %ld\n", name, rect.left, rect.top, rect.right, rect.bottom);
}

int Places() {
    const HWND dialog = ::FindWindowA("#32770", "Hot Corners");
    if (!dialog) return 1;
    PrintRect(stdout, "monitor", ::GetDlgItem(dialog, IDC_EW_MONITOR));
    PrintRect(stdout, "page", ::GetDlgItem(dialog, IDC_EW_PAGE));
    PrintRect(stdout, "startup", ::GetDlgItem(dialog, IDC_EW_STARTUP));
    PrintRect(stdout, "ok", ::GetDlgItem(dialog, IDOK));
    return 0;
}

BOOL CALLBACK CollectPage(HPROPSHEETPAGE page, LPARAM pages) {
    reinterpret_cast<std::vector<HPROPSHEETPAGE>*>(pages)->push_back(page);
    return TRUE;
}

// Waits for the sheet to show and writes where its parts are.
void ReportSheet(const char* log) {
    for (int i = 0; i < 600; ++i, ::Sleep(100)) {
        const HWND sheet = ::FindWindowA("#32770", "Display Properties");
        if (!sheet || !::IsWindowVisible(sheet)) continue;
        ::Sleep(300);
        const HWND page = PropSheet_GetCurrentPageHwnd(sheet);
        if (FILE* file = std::fopen(log, "a")) {
            constexpr int kApplyButton = 0x3021;
            PrintRect(file, "monitor", ::GetDlgItem(page, IDC_EW_MONITOR));
            PrintRect(file, "page", ::GetDlgItem(page, IDC_EW_PAGE));
            PrintRect(file, "ok", ::GetDlgItem(sheet, IDOK));
            PrintRect(file, "apply", ::GetDlgItem(sheet, kApplyButton));
            std::fclose(file);
        }
        return;
    }
}

int Sheet(const char* log) {
    constexpr CLSID kPageClass = {
        0x6F1C2B7E, 0x3D54, 0x4A8B, {0x9E, 0x21, 0x5C, 0x7D, 0x0A, 0x4F, 0x93, 0xB6}};
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    ::CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    IClassFactory* factory = nullptr;
    IShellPropSheetExt* extension = nullptr;
    if (FAILED(Export<GetClassObject>("DllGetClassObject")(kPageClass, IID_IClassFactory,
                                                           reinterpret_cast<void**>(&factory))))
        return 1;
    const HRESULT created = factory->CreateInstance(nullptr, IID_IShellPropSheetExt,
                                                    reinterpret_cast<void**>(&extension));
    factory->Release();
    if (FAILED(created)) return 1;
    std::vector<HPROPSHEETPAGE> pages;
    extension->AddPages(CollectPage, reinterpret_cast<LPARAM>(&pages));
    extension->Release();
    std::thread reporter(ReportSheet, log);
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.pszCaption = "Display Properties";
    header.nPages = static_cast<UINT>(pages.size());
    header.phpage = pages.data();
    ::PropertySheetA(&header);
    reporter.join();
    Log(log, "ended");
    return 0;
}

// A text value under HKEY_CURRENT_USER written, or for none removed.
bool WriteText(const char* key, const char* name, const char* value) {
    if (!value) {
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, key, name);
        return true;
    }
    return ::RegSetKeyValueA(HKEY_CURRENT_USER, key, name, REG_SZ, value,
                             static_cast<DWORD>(std::strlen(value) + 1)) == ERROR_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    const auto number = [&](int index, long fallback) {
        return argc > index ? std::atol(argv[index]) : fallback;
    };
    const auto has = [&](const char* flag) {
        for (int i = 2; i < argc; ++i)
            if (std::strcmp(argv[i], flag) == 0) return true;
        return false;
    };
    const HWND service = ::FindWindowA("EdgewakeService", nullptr);
    if (command == "detect") {
        std::printf("%d\n", Export<Detect>("System_Agent_Detect")());
    } else if (command == "changed") {
        const auto changed = Export<Changed>("Screen_Saver_Changed");
        const auto start = std::chrono::steady_clock::now();
        changed();
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        std::printf("ms %ld\n", static_cast<long>(ms.count()));
    } else if (command == "terminate") {
        DWORD processId = 0;
        if (service) ::GetWindowThreadProcessId(service, &processId);
        const win32::UniqueKernelHandle process(
            processId ? ::OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr);
        Export<Rundll>("TerminateService")(nullptr, ::GetModuleHandleA(nullptr),
                                           const_cast<char*>(""), SW_SHOWNORMAL);
        if (process)
            std::printf("ended %d\n",
                        ::WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0 ? 1 : 0);
    } else if (command == "services") {
        int count = 0;
        ::EnumWindows(CountServices, reinterpret_cast<LPARAM>(&count));
        std::printf("%d\n", count);
    } else if (command == "active") {
        BOOL active = FALSE;
        ::SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
        std::printf("%d\n", active ? 1 : 0);
    } else if (command == "set-active" && argc > 2) {
        ::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, number(2, 0) ? TRUE : FALSE, nullptr,
                                SPIF_UPDATEINIFILE);
    } else if (command == "corners" && argc > 2) {
        return WriteText("Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers",
                         "Mouse Corners", argv[2])
                   ? 0
                   : 1;
    } else if (command == "saver" && argc > 2) {
        const char* saver = std::strcmp(argv[2], "-") == 0 ? nullptr : argv[2];
        ::WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", saver, "system.ini");
        return WriteText("Control Panel\\Desktop", "SCRNSAVE.EXE", saver) ? 0 : 1;
    } else if (command == "listen" && argc > 3) {
        return Listen(argv[2], static_cast<DWORD>(number(3, 10000)), has("fill"), has("hung"));
    } else if (command == "lists") {
        return Lists();
    } else if (command == "window" && argc > 3) {
        return Window(argv[2], static_cast<DWORD>(number(3, 10000)));
    } else if (command == "box" && argc > 2) {
        return Box(argv[2], static_cast<DWORD>(number(3, 20000)));
    } else if (command == "feedback") {
        return Feedback();
    } else if (command == "places") {
        return Places();
    } else if (command == "sheet" && argc > 2) {
        return Sheet(argv[2]);
    } else if (command == "endsession") {
        if (!service) return 1;
        ::SendMessageA(service, WM_ENDSESSION, TRUE, 0);
    } else if (command == "kill") {
        DWORD id = 0;
        if (!service || !::GetWindowThreadProcessId(service, &id)) return 1;
        const win32::UniqueKernelHandle process(
            ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
        return process && ::TerminateProcess(process.Get(), 1) &&
                       ::WaitForSingleObject(process.Get(), 10000) == WAIT_OBJECT_0
                   ? 0
                   : 1;
    } else if (command == "tray-delete" || command == "taskbar-created") {
        if (!service) return 1;
        if (command == "tray-delete") {
            NOTIFYICONDATAA icon{};
            icon.cbSize = sizeof icon;
            icon.hWnd = service;
            icon.uID = 100;
            return ::Shell_NotifyIconA(NIM_DELETE, &icon) ? 0 : 1;
        }
        DWORD_PTR ignored = 0;
        return ::SendMessageTimeoutA(service, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0,
                                     SMTO_NORMAL, 5000, &ignored)
                   ? 0
                   : 1;
    } else if (command == "ask" && argc > 3) {
        DWORD_PTR answer = 0;
        if (!service || !::SendMessageTimeoutA(
                            service, 0x8000, static_cast<WPARAM>(std::strtol(argv[2], nullptr, 0)),
                            number(3, 0), SMTO_NORMAL, 5000, &answer))
            return 1;
        std::printf("%ld\n", static_cast<long>(answer));
    } else if (command == "option" && argc > 2) {
        DWORD value = 0, size = sizeof value;
        const bool read = ::RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", argv[2],
                                         RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS;
        std::printf("%ld\n", read ? static_cast<long>(value) : -1L);
    } else {
        std::fprintf(stderr, "edgewake_probe: unknown command\n");
        return 2;
    }
    return 0;
}
