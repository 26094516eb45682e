// A helper of the whole-program tests (saver_test.py): what a test driver
// on Linux cannot do from outside Wine. One command per run:
//
//   reset                      removes the puzzle's registry key
//   set [own] NAME=VALUE ...   writes values of the base key (or its
//                              OwnPics subkey): 12 a number, s:TEXT a
//                              string, i:1,2,3 32-bit integers as bytes
//   values                     prints base.NAME=VALUE and own.NAME=VALUE
//   window CAPTION [MS]        waits for a visible top-level window with
//                              the caption and prints it and its controls
//   endsession CLASS           tells the window of the class that the
//                              session ends, as logging off does
//   modules CLASS              prints "module PATH" for each module loaded
//                              in the process of the window of the class
//   blank                      paints the whole screen black (the display
//                              keeps what the last window showed)
//   preview SAVER W H SIGNAL   shows a W x H window, starts SAVER /p in it,
//                              prints "host window ..." and "preview
//                              window ...", a line "press" for each left
//                              button press the preview takes, waits for
//                              the file SIGNAL, closes the window and
//                              prints "exit CODE" with the saver's exit
//                              code
//
// Lines printed: "window HWND LEFT TOP RIGHT BOTTOM", then for each
// control "control ID CLASS VISIBLE ENABLED CHECKED LEFT TOP RIGHT BOTTOM
// TEXT"; rectangles in screen pixels.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr char kBaseKey[] = "SOFTWARE\\Zelt\\Corvane";
constexpr char kOwnKey[] = "SOFTWARE\\Zelt\\Corvane\\OwnPics";

int Fail(const char* message) {
    std::fprintf(stderr, "saver_probe: %s\n", message);
    return 1;
}

int Reset() {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kBaseKey);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kBaseKey);
    return 0;
}

bool SetValue(HKEY key, const std::string& assignment) {
    const auto equals = assignment.find('=');
    if (equals == std::string::npos) return false;
    const std::string name = assignment.substr(0, equals);
    const std::string value = assignment.substr(equals + 1);
    if (value.rfind("s:", 0) == 0) {
        const std::string text = value.substr(2);
        return ::RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
    }
    if (value.rfind("i:", 0) == 0) {
        std::vector<BYTE> bytes;
        const char* at = value.c_str() + 2;
        while (*at) {
            char* end = nullptr;
            const auto number = static_cast<DWORD>(std::strtol(at, &end, 10));
            if (end == at) return false;
            for (int shift = 0; shift < 32; shift += 8)
                bytes.push_back(static_cast<BYTE>(number >> shift));
            at = *end == ',' ? end + 1 : end;
        }
        return ::RegSetValueExA(key, name.c_str(), 0, REG_BINARY, bytes.data(),
                                static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
    }
    const DWORD number = static_cast<DWORD>(std::strtol(value.c_str(), nullptr, 10));
    return ::RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                            sizeof number) == ERROR_SUCCESS;
}

int Set(int count, char** arguments) {
    const char* path = kBaseKey;
    if (count > 0 && std::string(arguments[0]) == "own") {
        path = kOwnKey;
        ++arguments;
        --count;
    }
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return Fail("cannot create the key");
    bool ok = true;
    for (int i = 0; i < count; ++i) ok = SetValue(key, arguments[i]) && ok;
    ::RegCloseKey(key);
    return ok ? 0 : Fail("bad value");
}

void PrintValues(const char* prefix, const char* path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof name;
        DWORD type = 0;
        std::vector<BYTE> data(1 << 22);
        DWORD size = static_cast<DWORD>(data.size());
        if (::RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data.data(), &size) !=
            ERROR_SUCCESS)
            break;
        std::printf("%s.%s=", prefix, name);
        if (type == REG_SZ) {
            std::printf("%.*s", static_cast<int>(size), reinterpret_cast<const char*>(data.data()));
        } else if (type == REG_DWORD && size == 4) {
            std::printf("%ld", static_cast<long>(*reinterpret_cast<const LONG*>(data.data())));
        } else {
            for (DWORD at = 0; at + 4 <= size; at += 4)
                std::printf("%s%ld", at ? "," : "",
                            static_cast<long>(*reinterpret_cast<const LONG*>(&data[at])));
        }
        std::printf("\n");
    }
    ::RegCloseKey(key);
}

int Values() {
    PrintValues("base", kBaseKey);
    PrintValues("own", kOwnKey);
    return 0;
}

void PrintWindow(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    std::printf("window %lu %ld %ld %ld %ld\n",
                static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)), rect.left, rect.top,
                rect.right, rect.bottom);
}

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
    char className[64] = "";
    ::GetClassNameA(control, className, sizeof className);
    char text[512] = "";
    ::GetWindowTextA(control, text, sizeof text);
    for (char* c = text; *c; ++c)
        if (*c == '\r' || *c == '\n') *c = '|';
    RECT rect{};
    ::GetWindowRect(control, &rect);
    const LRESULT checked = ::SendMessageA(control, BM_GETCHECK, 0, 0);
    std::printf("control %d %s %d %d %d %ld %ld %ld %ld %s\n", ::GetDlgCtrlID(control), className,
                ::IsWindowVisible(control) ? 1 : 0, ::IsWindowEnabled(control) ? 1 : 0,
                std::string(className) == "Button" && checked == BST_CHECKED ? 1 : 0, rect.left,
                rect.top, rect.right, rect.bottom, text);
    return TRUE;
}

struct Search {
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    char text[256] = "";
    ::GetWindowTextA(window, text, sizeof text);
    if (::IsWindowVisible(window) && std::string(text) == search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

int Window(const char* caption, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    Search search{caption, nullptr};
    while (true) {
        ::EnumWindows(MatchCaption, reinterpret_cast<LPARAM>(&search));
        if (search.found || ::GetTickCount() - start > timeoutMs) break;
        ::Sleep(50);
    }
    if (!search.found) return Fail("no such window");
    PrintWindow(search.found);
    ::EnumChildWindows(search.found, PrintControl, 0);
    return 0;
}

int EndSession(const char* className) {
    HWND window = ::FindWindowA(className, nullptr);
    if (!window) return Fail("no such window");
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000,
                          &answer);
    if (!::SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000,
                               &answer))
        return Fail("the window did not answer");
    return 0;
}

void Pump() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

int Blank() {
    HWND cover =
        ::CreateWindowExA(WS_EX_TOPMOST, "Static", "", WS_POPUP | WS_VISIBLE | SS_BLACKRECT, 0, 0,
                          ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr,
                          nullptr, nullptr, nullptr);
    if (!cover) return Fail("cannot cover the screen");
    for (int i = 0; i < 10; ++i) {
        Pump();
        ::Sleep(20);
    }
    ::DestroyWindow(cover);
    return 0;
}

bool Exists(const char* path) { return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// The preview's thread tells its parent of a button press (WM_PARENTNOTIFY)
// as it takes the press from its queue, just before the preview's window
// procedure gets it; anything sent to the preview later comes after it.
LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PARENTNOTIFY && LOWORD(wParam) == WM_LBUTTONDOWN) {
        std::printf("press\n");
        std::fflush(stdout);
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

int Preview(const char* saver, int width, int height, const char* signal) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = "SaverProbeHost";
    ::RegisterClassA(&windowClass);
    // The client area is width x height, at a fixed place on the screen.
    // Borderless, as the kit sizes the preview by the parent's window
    // rectangle.
    HWND host =
        ::CreateWindowExA(0, "SaverProbeHost", "Preview host", WS_POPUP | WS_VISIBLE, 100, 100,
                          width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!host) return Fail("cannot make the host window");
    Pump();

    std::string commandLine =
        std::string("\"") + saver + "\" /p " + std::to_string(reinterpret_cast<UINT_PTR>(host));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return Fail("cannot start the saver");
    ::CloseHandle(process.hThread);

    // The preview is ready for clicks once it is shown and its program
    // waits for input; a click before then lands on the host.
    HWND preview = nullptr;
    for (DWORD start = ::GetTickCount();
         !(preview && ::IsWindowVisible(preview)) && ::GetTickCount() - start < 30000;
         ::Sleep(20)) {
        Pump();
        preview = ::FindWindowExA(host, nullptr, "PuzzleWindowClass", nullptr);
    }
    if (preview) ::WaitForInputIdle(process.hProcess, 10000);
    if (!preview || !::IsWindowVisible(preview)) {
        ::TerminateProcess(process.hProcess, 1);
        return Fail("no preview window");
    }
    std::printf("host ");
    PrintWindow(host);
    std::printf("preview ");
    PrintWindow(preview);
    std::fflush(stdout);

    while (!Exists(signal)) {
        Pump();
        ::Sleep(20);
    }
    ::DestroyWindow(host);
    DWORD waited = ::WaitForSingleObject(process.hProcess, 10000);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    if (waited != WAIT_OBJECT_0) {
        std::printf("exit timeout\n");
        ::TerminateProcess(process.hProcess, 1);
    } else {
        std::printf("exit %lu\n", code);
    }
    ::CloseHandle(process.hProcess);
    return 0;
}

int Modules(const char* windowClass) {
    HWND window = ::FindWindowA(windowClass, nullptr);
    if (!window) return Fail("no such window");
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE) return Fail("cannot list the modules");
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    for (BOOL more = ::Module32First(snapshot, &module); more;
         more = ::Module32Next(snapshot, &module))
        std::printf("module %s\n", module.szExePath);
    ::CloseHandle(snapshot);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "reset") return Reset();
    if (command == "set") return Set(argc - 2, argv + 2);
    if (command == "values") return Values();
    if (command == "window" && argc > 2)
        return Window(argv[2], argc > 3 ? static_cast<DWORD>(std::atol(argv[3])) : 20000);
    if (command == "blank") return Blank();
    if (command == "endsession" && argc > 2) return EndSession(argv[2]);
    if (command == "modules" && argc > 2) return Modules(argv[2]);
    if (command == "preview" && argc > 5)
        return Preview(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), argv[5]);
    return Fail("usage: see the top of saver_probe.cpp");
}
