#pragma once
// Basic types of the headless Win32 stand-in: the scalar types, handles and
// small records that both the window layer and the GDI layer use. They live in
// a folder of their own below both, so that the GDI layer needs nothing of the
// window layer (which draws through it).
// Handles are pointers to this layer's own objects; 32-bit fields are int32_t.

#include <cstdint>

using BOOL = int32_t;
using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = uint32_t;
using LONG = int32_t;
using ULONG = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using UINT_PTR = uintptr_t;
using LONG_PTR = intptr_t;
using ATOM = uint16_t;
using COLORREF = uint32_t; // 0x00BBGGRR
using WCHAR = wchar_t;
using LPCSTR = const char*;
using LPSTR = char*;
using LPCWSTR = const WCHAR*;
using LPWSTR = WCHAR*;
using INT = int32_t;
using SHORT = int16_t;
using INT_PTR = intptr_t;
using ULONG_PTR = uintptr_t;
using DWORD_PTR = uintptr_t;
using LPVOID = void*;
using HANDLE = void*;
using HRESULT = int32_t;
// WCHAR is wchar_t (32 bits on Linux), but wide strings of this layer hold UTF-16 code units, one
// per element, as the Win32 calls count them (a character above U+FFFF takes two elements).

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

struct PlatformWindow;    // a window (window layer)
struct PlatformDC;        // a device context (GDI layer)
struct PlatformGdiObject; // base of bitmaps, fonts and other GDI objects (GDI layer)
struct PlatformBitmap;    // : PlatformGdiObject
struct PlatformFont;      // : PlatformGdiObject
struct PlatformMenu;      // a popup menu (window layer)
struct PlatformModule;    // a loaded module with its resource table
struct PlatformResource;  // one resource of a module
struct PlatformRegKey;    // an open registry key

using HWND = PlatformWindow*;
using HDC = PlatformDC*;
using HGDIOBJ = PlatformGdiObject*;
using HBITMAP = PlatformBitmap*;
using HFONT = PlatformFont*;
using HMENU = PlatformMenu*;
using HINSTANCE = PlatformModule*;
using HMODULE = PlatformModule*;
using HRSRC = PlatformResource*;
using HGLOBAL = const void*;
using HKEY = PlatformRegKey*;

struct PlatformBrush;  // : PlatformGdiObject (GDI layer); only named by window classes here
struct PlatformCursor; // a cursor shape (window layer)
struct PlatformIcon;   // an icon (window layer; never created)
using HBRUSH = PlatformBrush*;
using HCURSOR = PlatformCursor*;
using HICON = PlatformIcon*;

struct RECT
{
    LONG left, top, right, bottom;
};

struct POINT
{
    LONG x, y;
};

struct SIZE
{
    LONG cx, cy;
};

inline constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b)
{
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}

// Word and parameter packing, as the message parameters carry them.
inline constexpr WORD LOWORD(uintptr_t v)
{
    return static_cast<WORD>(v & 0xFFFF);
}
inline constexpr WORD HIWORD(uintptr_t v)
{
    return static_cast<WORD>((v >> 16) & 0xFFFF);
}
inline constexpr LPARAM MAKELPARAM(int lo, int hi)
{
    return static_cast<LPARAM>(
        static_cast<DWORD>((static_cast<DWORD>(lo) & 0xFFFF) | ((static_cast<DWORD>(hi) & 0xFFFF) << 16)));
}
inline constexpr WPARAM MAKEWPARAM(int lo, int hi)
{
    return static_cast<WPARAM>(static_cast<DWORD>(MAKELPARAM(lo, hi)));
}
// The signed client coordinates of a mouse message.
inline constexpr int GET_X_LPARAM(LPARAM lp)
{
    return static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lp)));
}
inline constexpr int GET_Y_LPARAM(LPARAM lp)
{
    return static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(lp)));
}
inline constexpr SHORT GET_WHEEL_DELTA_WPARAM(WPARAM wp)
{
    return static_cast<SHORT>(HIWORD(wp));
}

// An integer resource or class name in place of a text pointer (ids below 0x10000).
inline LPCSTR MAKEINTRESOURCEA(WORD id)
{
    return reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(id));
}
inline bool IS_INTRESOURCE(LPCSTR p)
{
    return (reinterpret_cast<uintptr_t>(p) >> 16) == 0;
}

// Thread error code of the last failed call (per thread).
DWORD GetLastError();
void SetLastError(DWORD code);
inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_NO_UNICODE_TRANSLATION = 1113;
inline constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
inline constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
inline constexpr DWORD ERROR_CLASS_DOES_NOT_EXIST = 1411;
inline constexpr DWORD ERROR_CLASS_HAS_WINDOWS = 1412;
