// What every process that loads edgewake.dll shares: one small block of
// memory (a named mapping of the paging file) and the three named mutexes
// that guard it. The block holds plain 32-bit fields only, so that it
// reads the same in every process; window handles are stored as 32-bit
// numbers, which name the same window in every process.
#pragma once

#include <windows.h>

#include <cstdint>

#include "hotcorners/core/window_list.h"

namespace edgewake {

inline constexpr char kSharedMemoryName[] = "EdgewakeSharedMemory";
inline constexpr char kServiceMutexName[] = "EdgewakeServiceMutex";
inline constexpr char kListMutexName[] = "EdgewakeListMutex";
inline constexpr char kDialogMutexName[] = "EdgewakeDialogWindowMutex";

inline constexpr DWORD kServiceWaitMs = 2000;
inline constexpr DWORD kListWaitMs = 1000;
inline constexpr DWORD kDialogWaitMs = 2000;

struct SharedData {
    std::uint32_t serviceWindow;      // under the service mutex
    std::uint32_t dialogWindow;       // under the dialog mutex
    char corners[4];                  // the corner copy, under the list mutex
    hotcorners::WindowList notify;    // under the list mutex
    hotcorners::WindowList feedback;  // under the list mutex
};

inline std::uint32_t WindowNumber(HWND window) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window));
}
inline HWND WindowFromNumber(std::uint32_t number) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(number));
}

// Opens (or creates) the block and the mutexes; at process attach.
void AttachShared();
// Closes this process's handles to them; at process detach.
void DetachShared();

// The block, or null when it could not be mapped (every operation on it is
// then skipped). Touch it only while holding the matching lock.
SharedData* Shared();

// The service mutex: waits at most 2000 ms, and a thread that holds it
// already takes it again (a per-process count; the mutex is released when
// the count comes back to 0). A mutex whose owner ended without releasing
// it counts as taken. Check Held() before touching what it guards.
class ServiceLock {
public:
    ServiceLock();
    ~ServiceLock();
    ServiceLock(const ServiceLock&) = delete;
    ServiceLock& operator=(const ServiceLock&) = delete;
    bool Held() const { return held_; }

private:
    bool held_ = false;
};

// A plain wait on the list or the dialog mutex, let go at the end of the
// scope or earlier by Unlock(). A mutex whose owner ended without
// releasing it counts as taken; a thread that holds it takes it again at
// once.
class MutexWait {
public:
    ~MutexWait() { Unlock(); }
    MutexWait(const MutexWait&) = delete;
    MutexWait& operator=(const MutexWait&) = delete;
    bool Held() const { return held_; }
    void Unlock();

protected:
    MutexWait(HANDLE mutex, DWORD milliseconds, const char* what);

private:
    HANDLE mutex_;
    bool held_;
};

// The list mutex: waits at most 1000 ms.
struct ListLock : MutexWait {
    ListLock();
};

// The dialog mutex: waits at most 2000 ms. The settings dialog holds it
// from its check for an open dialog until its own handle is stored.
struct DialogLock : MutexWait {
    DialogLock();
};

}  // namespace edgewake
