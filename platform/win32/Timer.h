#pragma once
// Window timers of the headless window layer.
//
// What this stand-in implements:
//  [x] SetTimer / KillTimer per (window, id); setting an existing timer again restarts it; the
//      interval is kept within 10 .. 0x7FFFFFFF ms as the platform does
//  [x] timers come due on the layer's clock: the real monotonic clock, or the virtual clock a test
//      driver advances; a due timer is delivered as one WM_TIMER (wParam = id, lParam = its timer
//      procedure) through the message queue, elapsed periods do not pile up, and one pump of the
//      queue fires a timer at most once
//  [x] destroying a window ends its timers
//  [x] GetTickCount: milliseconds on the same clock

#include "platform/types/Win32Types.h"

using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

// Starts (or restarts) timer `id` of `hwnd`, due every `elapse` ms. Returns the id (nonzero), or 0
// for an invalid window or a zero id. A null hwnd starts a thread timer with a fresh id.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
// Stops a timer; FALSE when there is no such timer.
BOOL KillTimer(HWND hwnd, UINT_PTR id);
// Milliseconds of the layer's clock (wraps at 2^32).
DWORD GetTickCount();
