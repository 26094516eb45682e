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
#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "hotcorners/core/window_list.h"
#include "hotcorners/win32/shared_memory.h"

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
    SharedAccess() {
        mapping = ::OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, edgewake::kSharedMemoryName);
        if (mapping)
            data = static_cast<edgewake::SharedData*>(
                ::MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(edgewake::SharedData)));
        mutex = ::OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, edgewake::kListMutexName);
    }
    ~SharedAccess() {
        if (data) ::UnmapViewOfFile(data);
        if (mapping) ::CloseHandle(mapping);
        if (mutex) ::CloseHandle(mutex);
    }
    template <typename Work>
    bool Locked(Work work) {
        if (!data || !mutex || ::WaitForSingleObject(mutex, 5000) != WAIT_OBJECT_0) return false;
        work(*data);
        ::ReleaseMutex(mutex);
        return true;
    }
    HANDLE mapping = nullptr;
    HANDLE mutex = nullptr;
    edgewake::SharedData* data = nullptr;
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

bool WriteText(HKEY root, const char* key, const char* name, const char* value) {
    HKEY opened = nullptr;
    if (::RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LSTATUS status =
        value ? ::RegSetValueExA(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                 static_cast<DWORD>(std::strlen(value) + 1))
              : ::RegDeleteValueA(opened, name);
    ::RegCloseKey(opened);
    return status == ERROR_SUCCESS || !value;
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
        const HWND service = ::FindWindowA("EdgewakeService", nullptr);
        DWORD processId = 0;
        if (service) ::GetWindowThreadProcessId(service, &processId);
        const HANDLE process = processId ? ::OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr;
        Export<Rundll>("TerminateService")(nullptr, ::GetModuleHandleA(nullptr),
                                           const_cast<char*>(""), SW_SHOWNORMAL);
        if (process) {
            std::printf("ended %d\n", ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0 ? 1 : 0);
            ::CloseHandle(process);
        }
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
        return WriteText(HKEY_CURRENT_USER,
                         "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers",
                         "Mouse Corners", argv[2])
                   ? 0
                   : 1;
    } else if (command == "saver" && argc > 2) {
        const char* saver = std::strcmp(argv[2], "-") == 0 ? nullptr : argv[2];
        ::WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", saver, "system.ini");
        return WriteText(HKEY_CURRENT_USER, "Control Panel\\Desktop", "SCRNSAVE.EXE", saver) ? 0
                                                                                             : 1;
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
    } else if (command == "endsession") {
        const HWND service = ::FindWindowA("EdgewakeService", nullptr);
        if (!service) return 1;
        ::SendMessageA(service, WM_ENDSESSION, TRUE, 0);
    } else if (command == "kill") {
        const HWND service = ::FindWindowA("EdgewakeService", nullptr);
        DWORD id = 0;
        if (!service || !::GetWindowThreadProcessId(service, &id)) return 1;
        const HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        if (!process) return 1;
        const bool ended = ::TerminateProcess(process, 1) &&
                           ::WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
        ::CloseHandle(process);
        return ended ? 0 : 1;
    } else if (command == "tray-delete" || command == "taskbar-created") {
        const HWND service = ::FindWindowA("EdgewakeService", nullptr);
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
        const HWND service = ::FindWindowA("EdgewakeService", nullptr);
        DWORD_PTR answer = 0;
        if (!service || !::SendMessageTimeoutA(
                            service, 0x8000, static_cast<WPARAM>(std::strtol(argv[2], nullptr, 0)),
                            number(3, 0), SMTO_NORMAL, 5000, &answer))
            return 1;
        std::printf("%ld\n", static_cast<long>(answer));
    } else if (command == "option" && argc > 2) {
        HKEY key = nullptr;
        DWORD value = 0, size = sizeof value;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key) ==
            ERROR_SUCCESS) {
            if (::RegQueryValueExA(key, argv[2], nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                                   &size) != ERROR_SUCCESS)
                value = 0xFFFFFFFF;
            ::RegCloseKey(key);
        }
        std::printf("%ld\n", value == 0xFFFFFFFF ? -1L : static_cast<long>(value));
    } else {
        std::fprintf(stderr, "edgewake_probe: unknown command\n");
        return 2;
    }
    return 0;
}
