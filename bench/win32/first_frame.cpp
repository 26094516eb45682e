// Times a program's first frame: starts a command line, then watches the
// screen's centre pixel (about once a millisecond) until it changes, and
// prints the milliseconds from starting the program. The program is ended
// after.
//
//   first_frame.exe "command line" [time-out in ms]
//
// Output: "first-frame MS polls N" (N: how often the pixel was read, which
// gives the precision), or "time-out" and exit code 1.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: first_frame \"command line\" [time-out ms]\n");
        return 2;
    }
    std::string commandLine = argv[1];
    const double timeoutMs = argc > 2 ? std::atof(argv[2]) : 20000.0;

    HDC screen = ::GetDC(nullptr);
    const int x = ::GetSystemMetrics(SM_CXSCREEN) / 2;
    const int y = ::GetSystemMetrics(SM_CYSCREEN) / 2;
    const COLORREF before = ::GetPixel(screen, x, y);

    LARGE_INTEGER frequency, start, now;
    ::QueryPerformanceFrequency(&frequency);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        std::fprintf(stderr, "first_frame: cannot start %s (error %lu)\n", commandLine.c_str(),
                     ::GetLastError());
        return 2;
    }
    long polls = 0;
    double elapsedMs = 0;
    bool changed = false;
    while (!changed && elapsedMs < timeoutMs) {
        const COLORREF seen = ::GetPixel(screen, x, y);
        ::QueryPerformanceCounter(&now);
        ++polls;
        elapsedMs = 1000.0 * double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
        changed = seen != CLR_INVALID && seen != before;
        // A millisecond's rest between reads: each read is a round trip to
        // the display, which reading flat out would keep from the program
        // being timed.
        if (!changed) ::Sleep(1);
    }
    ::TerminateProcess(process.hProcess, 0);
    ::WaitForSingleObject(process.hProcess, 5000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    ::ReleaseDC(nullptr, screen);
    if (!changed) {
        std::printf("time-out\n");
        return 1;
    }
    std::printf("first-frame %.1f polls %ld\n", elapsedMs, polls);
    return 0;
}
