#pragma once
// Focus, mouse capture, pointer and key state of the headless window layer.
//
// What this stand-in implements:
//  [x] SetFocus / GetFocus: WM_KILLFOCUS to the window losing the focus, then WM_SETFOCUS to the
//      window gaining it, both synchronously, as the platform does
//  [x] SetCapture / ReleaseCapture / GetCapture: mouse messages go to the capturing window
//  [x] TrackMouseEvent (TME_LEAVE, TME_CANCEL): one WM_MOUSELEAVE is posted when the pointer leaves
//      the window's client area (at once when it is already outside)
//  [x] GetKeyState (high bit = down) for the mouse buttons, Shift, Control, Alt and every other key
//      the input source pressed; GetCursorPos / SetCursorPos; ScreenToClient / ClientToScreen
//  [x] ShowCursor (display count), LoadCursorA (stock cursors only), SetCursor
//  [ ] keyboard layouts other than US, key repeat, the system's own keys (Alt+F4, menus by Alt)
//
// Input itself comes from an input source (the test driver, platform/testing/, or the X11 backend,
// platform/x11/) through quova::win32 input calls (WindowSystem.h), which turn pointer and key
// events into the messages the platform would send.

#include "platform/types/Win32Types.h"

struct TRACKMOUSEEVENT
{
    DWORD cbSize;
    DWORD dwFlags;
    HWND hwndTrack;
    DWORD dwHoverTime;
};

inline constexpr DWORD TME_HOVER = 0x00000001;
inline constexpr DWORD TME_LEAVE = 0x00000002;
inline constexpr DWORD TME_CANCEL = 0x80000000;
inline constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;

// The stock arrow cursor, for LoadCursorA (null instance).
inline const LPCSTR IDC_ARROW = MAKEINTRESOURCEA(32512);

// Gives the keyboard focus to hwnd (null: to nobody); returns the previous focus window.
HWND SetFocus(HWND hwnd);
HWND GetFocus();
// Sends every later mouse message to hwnd; returns the previous capture window.
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
// Asks for a WM_MOUSELEAVE when the pointer leaves hwndTrack (TME_LEAVE), or cancels the request
// (TME_CANCEL | TME_LEAVE). FALSE for a bad record or window.
BOOL TrackMouseEvent(TRACKMOUSEEVENT* track);
// Negative (high bit set) while the key is down.
SHORT GetKeyState(int virtualKey);
BOOL GetCursorPos(POINT* point);
// Moves the pointer without sending messages.
BOOL SetCursorPos(int x, int y);
BOOL ScreenToClient(HWND hwnd, POINT* point);
BOOL ClientToScreen(HWND hwnd, POINT* point);
// Raises (TRUE) or lowers the cursor display count and returns it; the cursor shows while >= 0.
int ShowCursor(BOOL show);
// The stock cursor named by an IDC_ value when instance is null; null otherwise.
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
// Sets the cursor shape; returns the previous one.
HCURSOR SetCursor(HCURSOR cursor);
