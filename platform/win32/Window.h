#pragma once
// Windows, window classes and message delivery of the headless window layer.
//
// What this stand-in implements:
//  [x] RegisterClassA / UnregisterClassA (class names compared without case; a class with live
//      windows cannot be unregistered); the built-in classes "EDIT", "COMBOBOX", "BUTTON", "STATIC"
//  [x] CreateWindowExA: top-level and child windows (child id from the menu argument); WM_CREATE is
//      sent synchronously with a CREATESTRUCTA, -1 from it fails the creation; a visible window
//      starts with its whole client area invalid; each window owns a pixel surface of its size
//  [x] DestroyWindow: WM_DESTROY to the window, then to its children; focus (WM_KILLFOCUS first),
//      capture, leave tracking and timers of the destroyed windows end; handles become invalid
//      (IsWindow false); a window destroyed inside its own procedure is freed after the call ends
//  [x] SendMessageA (synchronous), PostMessageA / PeekMessageA / DispatchMessageA (the queue),
//      DefWindowProcA, CallWindowProcA
//  [x] GetWindowLongPtrA / SetWindowLongPtrA (user data, window procedure, id, style, ex-style)
//  [x] SetWindowPos (move, size), GetWindowRect, GetClientRect, GetParent, GetDlgItem, IsWindow,
//      IsWindowVisible, SetWindowTextA / GetWindowTextA, GetClassNameA, EnumWindows,
//      GetWindowThreadProcessId
//  [ ] non-client areas: a window's client area is its whole rectangle (no frame, no caption)
//  [ ] WM_NCCREATE, WM_SIZE, WM_MOVE, WM_ERASEBKGND and the other messages nothing here handles
//
// Threads: windows, messages, timers, menus and dialogs belong to the user-interface thread; call
// them from one thread at a time: the one that holds the window layer's lock (WindowLayerLock.h)
// when more than one thread may reach them, as a host's editor calls may. Coordinates of a child
// are relative to its parent's client area; those of a top-level window are screen coordinates.

#include "platform/types/Win32Types.h"
#include "platform/win32/WindowMessages.h"

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);

// Class styles.
inline constexpr UINT CS_VREDRAW = 0x0001;
inline constexpr UINT CS_HREDRAW = 0x0002;
inline constexpr UINT CS_DBLCLKS = 0x0008; // a quick second press arrives as WM_xBUTTONDBLCLK

// Window styles.
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_EX_MDICHILD = 0x00000040;

// Window-long indices.
inline constexpr int GWLP_WNDPROC = -4;
inline constexpr int GWLP_HINSTANCE = -6;
inline constexpr int GWLP_ID = -12;
inline constexpr int GWL_STYLE = -16;
inline constexpr int GWL_EXSTYLE = -20;
inline constexpr int GWLP_USERDATA = -21;

// SetWindowPos flags.
inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOZORDER = 0x0004;
inline constexpr UINT SWP_NOACTIVATE = 0x0010;

// PeekMessageA removal flag.
inline constexpr UINT PM_NOREMOVE = 0x0000;
inline constexpr UINT PM_REMOVE = 0x0001;

// CW_USEDEFAULT position or size: 0 here (no desktop to place windows on).
inline constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

struct WNDCLASSA
{
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

struct CREATESTRUCTA
{
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};

struct MSG
{
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

// Registers a class; returns its atom, or 0 (a null record, no name, or a name already taken by
// this module: ERROR_CLASS_ALREADY_EXISTS).
ATOM RegisterClassA(const WNDCLASSA* wc);
// Removes a class; FALSE when it does not exist or still has windows (ERROR_CLASS_HAS_WINDOWS).
BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);

// Creates a window of a registered class. For a WS_CHILD window `menu` carries the child id and
// `parent` must be a live window; a WS_POPUP window is owned by `parent` when one is given. WM_CREATE is sent
// before this returns; null on any failure.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
// Destroys a window and its children. FALSE for an invalid handle.
BOOL DestroyWindow(HWND hwnd);
// TRUE while the handle names a live window.
BOOL IsWindow(HWND hwnd);
BOOL IsWindowVisible(HWND hwnd);

// Calls the window's procedure at once and returns its result (0 for an invalid handle).
LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Queues a message for DispatchMessageA (PeekMessageA takes it); FALSE for an invalid handle.
// A null hwnd queues a thread message.
BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Takes the oldest queued message (for hwnd and its children, or any when hwnd is null, within
// [min, max] unless both are 0). Then timers that are due (WM_TIMER), then windows that need
// painting (WM_PAINT). FALSE when there is nothing. Never waits.
BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
// Delivers a message taken by PeekMessageA to its window (a WM_TIMER with a timer procedure in
// lParam calls that procedure instead).
LRESULT DispatchMessageA(const MSG* msg);
// Posts the WM_CHAR a WM_KEYDOWN produces on a US keyboard layout (letters, digits, blank,
// Enter, backspace, tab, escape, the number pad and + - . ,); TRUE when it posted one.
BOOL TranslateMessage(const MSG* msg);
// The default behaviour: WM_CLOSE destroys the window, WM_PAINT validates it, WM_SETTEXT /
// WM_GETTEXT / WM_GETTEXTLENGTH keep the window text, WM_MOUSEWHEEL goes on to the parent;
// everything else answers 0.
LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Calls a window procedure (one read with GWLP_WNDPROC) with a message; 0 when proc is null.
LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// GWLP_USERDATA, GWLP_WNDPROC, GWLP_ID, GWLP_HINSTANCE, GWL_STYLE, GWL_EXSTYLE. Set returns the
// previous value; both answer 0 for an invalid handle or index (ERROR_INVALID_...).
LONG_PTR GetWindowLongPtrA(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value);
LONG GetWindowLongA(HWND hwnd, int index);

// Moves and sizes a window (relative to its parent's client area for a child). insertAfter is
// ignored (no overlapping top-level windows to order). A window that grows gets its new area
// invalidated; its surface takes the new size.
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
// The window's rectangle in screen coordinates.
BOOL GetWindowRect(HWND hwnd, RECT* rect);
// (0, 0, width, height).
BOOL GetClientRect(HWND hwnd, RECT* rect);
// The parent of a child window, the owner of a pop-up window (WS_POPUP created with a parent:
// dialogs); null for any other top-level window or an invalid handle.
HWND GetParent(HWND hwnd);
// The child of `dialog` whose id is `id`; null when none.
HWND GetDlgItem(HWND dialog, int id);

BOOL SetWindowTextA(HWND hwnd, LPCSTR text);
// Copies up to maxCount - 1 characters and a zero; returns the count copied.
int GetWindowTextA(HWND hwnd, LPSTR buffer, int maxCount);
// Copies the class name (as registered) like GetWindowTextA.
int GetClassNameA(HWND hwnd, LPSTR buffer, int maxCount);

// Calls proc for each top-level window, the most recently created first, until it answers FALSE.
BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam);
// The id of the thread that created the window; the process id through *processId when given.
DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId);
DWORD GetCurrentProcessId();
DWORD GetCurrentThreadId();
