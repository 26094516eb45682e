// Each saver window's timer thread: it asks the window for a tick
// (SCRM_TIMER through DefSaverProc) and waits the period the client
// answers, in one timed wait that a settings change cuts short.
#include <process.h>

#include <cstdio>
#include <memory>
#include <utility>

#include "common/win32/guards.h"
#include "kit/core/timer_step.h"
#include "kit/win32/kit_internal.h"

namespace kit::win32 {

// One running timer. Allocated by ScrStartTimer; released by its own thread
// once the main thread has dropped it from the window's slot and told the
// thread to end.
struct TimerRecord {
    HWND window = nullptr;
    CriticalSection lock;  // guards running
    bool running = true;
    ::win32::UniqueKernelHandle wake;  // manual reset: cuts a wait short
    HANDLE ready = nullptr;            // set once the thread has its message queue; the starter's
    DWORD threadId = 0;
};

namespace {

constexpr char kSlotName[] = "PROP_DOZEKITTIMERDATA";

bool IsRunning(TimerRecord& record) {
    Locked lock(record.lock);
    return record.running;
}

void ReportThreadMessage(const MSG& message) {
    char text[200];
    std::snprintf(text, sizeof text, "Thread message: msg=%x wParam=%x lParam=%x", message.message,
                  static_cast<unsigned>(message.wParam), static_cast<unsigned>(message.lParam));
    Trace().TraceAndBox(text, "Thread message");
}

unsigned __stdcall ScrTimerThread(void* argument) {
    auto* record = static_cast<TimerRecord*>(argument);
    MSG message{};
    // Make the thread's message queue before anyone posts to it.
    ::PeekMessageA(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    ::SetEvent(record->ready);

    bool waiting = false;
    for (;;) {
        // GetMessageA answers 0 for WM_QUIT and -1 only for a failure.
        const BOOL got = waiting ? ::GetMessageA(&message, nullptr, 0, 0xFFFF) != -1
                                 : ::PeekMessageA(&message, nullptr, 0, 0xFFFF, PM_REMOVE);
        if (got) {
            if (message.message == WM_QUIT) break;
            ReportThreadMessage(message);
        }
        if (waiting) continue;
        // Stopped but not yet told to end: wait for the quit message
        // instead of spinning.
        if (!IsRunning(*record)) {
            waiting = true;
            continue;
        }

        const DWORD t0 = ::GetTickCount();
        const auto answer = static_cast<std::int32_t>(
            ::SendMessageA(record->window, SCRINTERNAL_TIMER, SCRINTERNAL_TICK, 0));
        const DWORD t1 = ::GetTickCount();

        const TimerStep step = NextTimerStep(t0, t1, answer);
        switch (step.action) {
        case TimerAction::TickNow: break;
        case TimerAction::Stop:
            Trace().Trace("Thread: infinite delay specified, so posting a 'had enough'");
            waiting = true;
            ::PostMessageA(record->window, SCRINTERNAL_TIMER, SCRINTERNAL_HADENOUGH, 0);
            break;
        case TimerAction::Wait:
            if (::WaitForSingleObject(record->wake.Get(), step.waitMs) == WAIT_OBJECT_0)
                ::ResetEvent(record->wake.Get());
            break;
        case TimerAction::Yield: ::Sleep(0); break;
        }
    }

    Trace().Trace("Thread coming to an end. Deleting threaddata");
    delete record;
    return 0;
}

// The window's slot: a small local block under the window property,
// holding the window's record or none.
HLOCAL FindSlot(HWND window) { return static_cast<HLOCAL>(::GetPropA(window, kSlotName)); }

}  // namespace

void AttachTimerSlot(HWND window) {
    HLOCAL block = ::LocalAlloc(LMEM_ZEROINIT, sizeof(TimerRecord*));
    if (!block) return;
    if (!::SetPropA(window, kSlotName, block)) ::LocalFree(block);
}

TimerRecord* GetTimerSlot(HWND window) {
    HLOCAL block = FindSlot(window);
    if (!block) return nullptr;
    auto* slot = static_cast<TimerRecord**>(::LocalLock(block));
    TimerRecord* record = slot ? *slot : nullptr;
    ::LocalUnlock(block);
    return record;
}

void SetTimerSlot(HWND window, TimerRecord* record) {
    HLOCAL block = FindSlot(window);
    if (!block) return;
    if (auto* slot = static_cast<TimerRecord**>(::LocalLock(block))) *slot = record;
    ::LocalUnlock(block);
}

void RemoveTimerSlot(HWND window) {
    if (HLOCAL block = FindSlot(window)) {
        ::LocalFree(block);
        ::RemovePropA(window, kSlotName);
    }
}

void WakeTimer(TimerRecord* record) {
    if (record) ::SetEvent(record->wake.Get());
}

void EndTimer(TimerRecord* record) {
    {
        Locked lock(record->lock);
        record->running = false;
    }
    const DWORD threadId = record->threadId;
    // Cut a long wait short, so the thread ends now rather than when the
    // period runs out. After the quit message the record is the thread's.
    ::SetEvent(record->wake.Get());
    ::PostThreadMessageA(threadId, WM_QUIT, 0, 0);
}

}  // namespace kit::win32

using namespace kit::win32;

void WINAPI ScrStartTimer(HWND window) {
    EnsureStarted();
    KitState& kit = Kit();
    if (kit.prefs.Current().fNoTimers) {
        Trace().Trace(
            "ScrStartTimer: Timers have been turned off in the prefs: they are not being "
            "initialized");
        return;
    }
    Trace().Trace("ScrStartTimer: creating a timer...");
    if (GetTimerSlot(window)) {
        Trace().Trace("ScrStartTimer: cannot restart, because one was already there!");
        return;
    }
    // Without a slot nothing could ever stop the timer.
    if (!FindSlot(window)) {
        Trace().Trace("ScrStartTimer: the window has no timer slot");
        return;
    }

    // The record is the thread's once the thread runs; until then it is
    // this function's.
    std::unique_ptr<TimerRecord> record(new (std::nothrow) TimerRecord);
    if (!record) return;
    record->window = window;
    record->wake.Reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ::win32::UniqueKernelHandle ready(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    record->ready = ready.Get();
    if (!record->wake || !ready) return;
    SetTimerSlot(window, record.get());
    Trace().Trace("ScrStartTimer: am able to work with timers!");

    unsigned threadId = 0;
    ::win32::UniqueKernelHandle thread(reinterpret_cast<HANDLE>(
        ::_beginthreadex(nullptr, 4096, ScrTimerThread, record.get(), 0, &threadId)));
    if (!thread) {
        SetTimerSlot(window, nullptr);
        return;
    }
    record->threadId = threadId;
    record.release();
    // Until the thread has its queue, a quit message posted to it would be
    // lost and the thread would never end.
    ::WaitForSingleObject(ready.Get(), INFINITE);
    const HANDLE running = thread.Get();
    {
        Locked lock(kit.threadListLock);
        kit.timerThreads.push_front(std::move(thread));
    }
    ::SetThreadPriority(running, ::GetThreadPriority(::GetCurrentThread()) - 1);
}

void WINAPI ScrStopTimer(HWND window) {
    if (!window) {
        Trace().Trace("ScrStopTimer: hwnd is null!");
        return;
    }
    EnsureStarted();
    if (Kit().prefs.Current().fNoTimers) {
        Trace().Trace("ScrStopTimer: Timers have been turned off: you can not destroy them.");
        return;
    }
    TimerRecord* record = GetTimerSlot(window);
    if (!record) {
        Trace().Trace(
            "ScrStopTimer: the timer had already been destroyed. This isn't necessarily bad.");
        return;
    }
    Trace().Trace("ScrStopTimer: destroying timer...");
    EndTimer(record);
    SetTimerSlot(window, nullptr);
}
