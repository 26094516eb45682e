// DozeKit's client interface: what a screen saver program that links the
// kit uses. The kit's own code extends this header as the kit grows.
#pragma once

#include <windows.h>

// Private window messages of saver windows.
#define SCRM_VERIFYPW 0x8000             // TRUE lets the saver close
#define SCRM_ACTIVECONFIG 0x8001         // open configuration over the running saver
#define SCRM_PREFSCHANGED 0x8002         // changed settings (wParam routing, lParam block)
#define SCRM_TIMER 0x8003                // a tick; answer ms to the next, -1 to stop
#define SCRINTERNAL_DIALOGACTIVE 0x8004  // wParam 1 while a dialog is up, 0 after
#define SCRINTERNAL_TIMER 0x8009         // from the kit's timer thread

// Answer of a client callback asking for the kit's default action.
#define SCR_DODEFAULT 9

// Modes of SCRCREATEDATA, the creation parameter of every saver window.
#define SCRMODE_FULL 0
#define SCRMODE_MONITOR 1
#define SCRMODE_PREVIEW 2
