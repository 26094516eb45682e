// A helper of the installer's whole-program tests (installer_test.py):
// what a test driver on Linux cannot see or do from outside Wine. One
// command per run:
//
//   state SAVER           prints the desktop's saver settings: "ini=" (the
//                         [boot] SCRNSAVE.EXE of system.ini), "desktop="
//                         (SCRNSAVE.EXE under HKCU\Control Panel\Desktop),
//                         "active=" (ScreenSaveActive there), "spi=" (the
//                         system's screen-saver-active flag), and "short="
//                         and "long=", the two forms of the path SAVER
//   inactive              switches the screen saver off
//   window CAPTION [MS]   waits for a visible top-level window with the
//                         caption; prints "window HWND LEFT TOP RIGHT
//                         BOTTOM", then "control ID CLASS LEFT TOP RIGHT
//                         BOTTOM TEXT" for each control (screen pixels)
//   preview [MS]          waits for the preview dialog's rectangle to hold
//                         a window of another process; prints "rectangle
//                         HWND", "status TEXT", "saver PID" and "command
//                         LINE" (that process's command line)
//   ended PID [MS]        waits for the process to end
//   hold FILE SIGNAL      opens FILE, sharing reading only, prints "held"
//                         and keeps it open until the file SIGNAL exists
//   service LIBRARY [MS]  waits for the hot-corner service's window; prints
//                         "service 1" (or 0), then "detect N": what the
//                         LIBRARY's System_Agent_Detect answers
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

int Fail(const char* message) {
    std::fprintf(stderr, "setup_probe: %s\n", message);
    return 1;
}

DWORD Milliseconds(int argc, char** argv, int index) {
    return argc > index ? static_cast<DWORD>(std::atol(argv[index])) : 20000;
}

std::string DesktopValue(const char* name) {
    char value[MAX_PATH] = "";
    DWORD size = sizeof value;
    if (::RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", name, RRF_RT_REG_SZ, nullptr,
                       value, &size) != ERROR_SUCCESS)
        return "";
    return value;
}

int State(const char* saver) {
    char ini[MAX_PATH] = "";
    ::GetPrivateProfileStringA("boot", "SCRNSAVE.EXE", "", ini, MAX_PATH, "system.ini");
    BOOL active = FALSE;
    ::SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
    char shortPath[MAX_PATH] = "", longPath[MAX_PATH] = "";
    ::GetShortPathNameA(saver, shortPath, MAX_PATH);
    ::GetLongPathNameA(saver, longPath, MAX_PATH);
    std::printf("ini=%s\ndesktop=%s\nactive=%s\nspi=%d\nshort=%s\nlong=%s\n", ini,
                DesktopValue("SCRNSAVE.EXE").c_str(), DesktopValue("ScreenSaveActive").c_str(),
                active ? 1 : 0, shortPath, longPath);
    return 0;
}

int Inactive() {
    return ::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, SPIF_UPDATEINIFILE)
               ? 0
               : Fail("cannot switch the screen saver off");
}

template <typename Found>
HWND WaitFor(DWORD milliseconds, Found found) {
    for (const DWORD start = ::GetTickCount();; ::Sleep(50)) {
        if (HWND window = found()) return window;
        if (::GetTickCount() - start > milliseconds) return nullptr;
    }
}

struct Search {
    std::string caption;
    HWND found = nullptr;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    char text[256] = "";
    ::GetWindowTextA(window, text, sizeof text);
    if (::IsWindowVisible(window) && search->caption == text) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindVisible(const std::string& caption) {
    Search search{caption};
    ::EnumWindows(MatchCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void PrintRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    std::printf("%ld %ld %ld %ld", rect.left, rect.top, rect.right, rect.bottom);
}

std::string TextOf(HWND window) {
    char text[1024] = "";
    ::GetWindowTextA(window, text, sizeof text);
    for (char* c = text; *c; ++c)
        if (*c == '\r' || *c == '\n') *c = '|';
    return text;
}

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
    char className[64] = "";
    ::GetClassNameA(control, className, sizeof className);
    std::printf("control %d %s ", ::GetDlgCtrlID(control), className);
    PrintRect(control);
    std::printf(" %s\n", TextOf(control).c_str());
    return TRUE;
}

int Window(const char* caption, DWORD milliseconds) {
    HWND window = WaitFor(milliseconds, [&] { return FindVisible(caption); });
    if (!window) return Fail("no such window");
    std::printf("window %lu ", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    PrintRect(window);
    std::printf("\n");
    ::EnumChildWindows(window, PrintControl, 0);
    return 0;
}

// The command line of another process, read from its process parameters.
std::string CommandLineOf(DWORD processId) {
    using QueryProcess = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QueryProcess>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!query || !process) return "(unreadable)";
    struct {
        LONG exitStatus;
        UINT_PTR peb;
        UINT_PTR affinity;
        LONG priority;
        UINT_PTR processId, parentId;
    } basic{};
    std::string line = "(unreadable)";
    UINT_PTR parameters = 0;
    struct {
        USHORT length, maximum;
        UINT_PTR buffer;
    } commandLine{};
    DWORD flags = 0;
    // The parameters' place in the PEB, their flags at 8 and the command
    // line among them; not normalised (flag 1), the text is an offset.
    constexpr UINT_PTR kParametersAt = sizeof(void*) == 4 ? 0x10 : 0x20;
    constexpr UINT_PTR kCommandLineAt = sizeof(void*) == 4 ? 0x40 : 0x70;
    if (query(process, 0, &basic, sizeof basic, nullptr) == 0 &&
        ::ReadProcessMemory(process, reinterpret_cast<void*>(basic.peb + kParametersAt),
                            &parameters, sizeof parameters, nullptr) &&
        ::ReadProcessMemory(process, reinterpret_cast<void*>(parameters + 8), &flags, sizeof flags,
                            nullptr) &&
        ::ReadProcessMemory(process, reinterpret_cast<void*>(parameters + kCommandLineAt),
                            &commandLine, sizeof commandLine, nullptr)) {
        const UINT_PTR text = commandLine.buffer + ((flags & 1) ? 0 : parameters);
        std::vector<wchar_t> wide(commandLine.length / 2 + 1);
        if (::ReadProcessMemory(process, reinterpret_cast<void*>(text), wide.data(),
                                commandLine.length, nullptr)) {
            char narrow[2048] = "";
            ::WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, narrow, sizeof narrow, nullptr,
                                  nullptr);
            line = narrow;
        }
    }
    ::CloseHandle(process);
    return line;
}

int Preview(DWORD milliseconds) {
    HWND saverWindow = nullptr;
    HWND rectangle = nullptr;
    HWND dialog = WaitFor(milliseconds, [&]() -> HWND {
        HWND found = FindVisible("Preview");
        rectangle = found ? ::GetDlgItem(found, 3) : nullptr;
        saverWindow = rectangle ? ::GetWindow(rectangle, GW_CHILD) : nullptr;
        return saverWindow ? found : nullptr;
    });
    if (!dialog) return Fail("no preview with a saver window");
    DWORD processId = 0;
    ::GetWindowThreadProcessId(saverWindow, &processId);
    std::printf("rectangle %lu\nstatus %s\nsaver %lu\ncommand %s\n",
                static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(rectangle)),
                TextOf(::GetDlgItem(dialog, 2)).c_str(), processId,
                CommandLineOf(processId).c_str());
    return 0;
}

int Ended(DWORD processId, DWORD milliseconds) {
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process) return 0;  // gone already
    const DWORD waited = ::WaitForSingleObject(process, milliseconds);
    ::CloseHandle(process);
    return waited == WAIT_OBJECT_0 ? 0 : Fail("the process still runs");
}

int Hold(const char* path, const char* signal) {
    HANDLE file = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Fail("cannot open the file");
    std::printf("held\n");
    std::fflush(stdout);
    while (::GetFileAttributesA(signal) == INVALID_FILE_ATTRIBUTES) ::Sleep(50);
    ::CloseHandle(file);
    return 0;
}

}  // namespace

int Service(const char* library, DWORD milliseconds) {
    const HWND service =
        WaitFor(milliseconds, [] { return ::FindWindowA("EdgewakeService", nullptr); });
    std::printf("service %d\n", service ? 1 : 0);
    HMODULE module = ::LoadLibraryA(library);
    if (!module) return Fail("cannot load the hot-corner library");
    using Detect = int(WINAPI*)();
    const auto detect = reinterpret_cast<Detect>(
        reinterpret_cast<void*>(::GetProcAddress(module, "System_Agent_Detect")));
    std::printf("detect %d\n", detect ? detect() : -1);
    ::FreeLibrary(module);
    return 0;
}

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "state" && argc > 2) return State(argv[2]);
    if (command == "inactive") return Inactive();
    if (command == "window" && argc > 2) return Window(argv[2], Milliseconds(argc, argv, 3));
    if (command == "preview") return Preview(Milliseconds(argc, argv, 2));
    if (command == "ended" && argc > 2)
        return Ended(static_cast<DWORD>(std::atol(argv[2])), Milliseconds(argc, argv, 3));
    if (command == "hold" && argc > 3) return Hold(argv[2], argv[3]);
    if (command == "service" && argc > 2) return Service(argv[2], Milliseconds(argc, argv, 3));
    return Fail("usage: see the top of setup_probe.cpp");
}
