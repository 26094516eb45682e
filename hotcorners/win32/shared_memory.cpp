#include "hotcorners/win32/shared_memory.h"

#include <atomic>

namespace edgewake {
namespace {

HANDLE g_mapping = nullptr;
SharedData* g_shared = nullptr;
HANDLE g_serviceMutex = nullptr;
HANDLE g_listMutex = nullptr;
HANDLE g_dialogMutex = nullptr;

// The service mutex's re-entry: the thread of this process that holds it
// and how often it has taken it.
std::atomic<DWORD> g_serviceOwner{0};
int g_serviceCount = 0;

bool Wait(HANDLE mutex, DWORD milliseconds, const char* what) {
    if (!mutex) return false;
    const DWORD result = ::WaitForSingleObject(mutex, milliseconds);
    if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) return true;
    ::OutputDebugStringA(what);
    return false;
}

}  // namespace

void AttachShared() {
    // A new mapping of the paging file starts zeroed: no service, empty lists.
    g_mapping = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                     sizeof(SharedData), kSharedMemoryName);
    if (g_mapping)
        g_shared = static_cast<SharedData*>(
            ::MapViewOfFile(g_mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedData)));
    g_serviceMutex = ::CreateMutexA(nullptr, FALSE, kServiceMutexName);
    g_listMutex = ::CreateMutexA(nullptr, FALSE, kListMutexName);
    g_dialogMutex = ::CreateMutexA(nullptr, FALSE, kDialogMutexName);
}

void DetachShared() {
    if (g_shared) ::UnmapViewOfFile(g_shared);
    for (HANDLE* handle : {&g_mapping, &g_serviceMutex, &g_listMutex, &g_dialogMutex}) {
        if (*handle) ::CloseHandle(*handle);
        *handle = nullptr;
    }
    g_shared = nullptr;
}

SharedData* Shared() { return g_shared; }

ServiceLock::ServiceLock() {
    const DWORD self = ::GetCurrentThreadId();
    if (g_serviceOwner.load() == self) {
        ++g_serviceCount;
        held_ = true;
        return;
    }
    if (!Wait(g_serviceMutex, kServiceWaitMs, "Edgewake: service mutex wait timed out\n")) return;
    g_serviceOwner.store(self);
    g_serviceCount = 1;
    held_ = true;
}

ServiceLock::~ServiceLock() {
    if (!held_ || --g_serviceCount > 0) return;
    g_serviceOwner.store(0);
    ::ReleaseMutex(g_serviceMutex);
}

ListLock::ListLock()
    : held_(Wait(g_listMutex, kListWaitMs, "Edgewake: list mutex wait timed out\n")) {}
ListLock::~ListLock() {
    if (held_) ::ReleaseMutex(g_listMutex);
}

DialogLock::DialogLock()
    : held_(Wait(g_dialogMutex, kDialogWaitMs, "Edgewake: dialog mutex wait timed out\n")) {}
DialogLock::~DialogLock() {
    if (held_) ::ReleaseMutex(g_dialogMutex);
}

}  // namespace edgewake
