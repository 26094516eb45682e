#include "hotcorners/win32/shared_memory.h"

#include <atomic>

#include "common/win32/guards.h"

namespace edgewake {
namespace {

// This process's handles, from process attach to detach.
win32::UniqueKernelHandle g_mapping;
win32::UniqueView g_view;
win32::UniqueKernelHandle g_serviceMutex;
win32::UniqueKernelHandle g_listMutex;
win32::UniqueKernelHandle g_dialogMutex;

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
    g_mapping.Reset(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                         sizeof(SharedData), kSharedMemoryName));
    if (g_mapping)
        g_view.Reset(
            ::MapViewOfFile(g_mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedData)));
    g_serviceMutex.Reset(::CreateMutexA(nullptr, FALSE, kServiceMutexName));
    g_listMutex.Reset(::CreateMutexA(nullptr, FALSE, kListMutexName));
    g_dialogMutex.Reset(::CreateMutexA(nullptr, FALSE, kDialogMutexName));
}

void DetachShared() {
    g_view.Reset();
    for (win32::UniqueKernelHandle* handle :
         {&g_mapping, &g_serviceMutex, &g_listMutex, &g_dialogMutex})
        handle->Reset();
}

SharedData* Shared() { return static_cast<SharedData*>(g_view.Get()); }

ServiceLock::ServiceLock() {
    const DWORD self = ::GetCurrentThreadId();
    if (g_serviceOwner.load() == self) {
        ++g_serviceCount;
        held_ = true;
        return;
    }
    if (!Wait(g_serviceMutex.Get(), kServiceWaitMs, "Edgewake: service mutex wait timed out\n"))
        return;
    g_serviceOwner.store(self);
    g_serviceCount = 1;
    held_ = true;
}

ServiceLock::~ServiceLock() {
    if (!held_ || --g_serviceCount > 0) return;
    g_serviceOwner.store(0);
    ::ReleaseMutex(g_serviceMutex.Get());
}

MutexWait::MutexWait(HANDLE mutex, DWORD milliseconds, const char* what)
    : mutex_(mutex), held_(Wait(mutex, milliseconds, what)) {}

void MutexWait::Unlock() {
    if (held_) ::ReleaseMutex(mutex_);
    held_ = false;
}

ListLock::ListLock()
    : MutexWait(g_listMutex.Get(), kListWaitMs, "Edgewake: list mutex wait timed out\n") {}

DialogLock::DialogLock()
    : MutexWait(g_dialogMutex.Get(), kDialogWaitMs, "Edgewake: dialog mutex wait timed out\n") {}

}  // namespace edgewake
