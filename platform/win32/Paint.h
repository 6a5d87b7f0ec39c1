#pragma once
// Update regions and painting of the headless window layer.
//
// What this stand-in implements:
//  [x] InvalidateRect / ValidateRect over an exact update region (a set of disjoint rectangles,
//      clipped to the client area); GetUpdateRect answers its bounding box
//  [x] UpdateWindow sends WM_PAINT at once when the region is not empty; otherwise WM_PAINT comes
//      from the message queue (PeekMessageA) once the queue holds nothing else
//  [x] BeginPaint / EndPaint: a device context drawing into the window's pixel surface (the GDI
//      layer's surface DC); BeginPaint validates the whole region. The context is cut to the
//      region's bounding box, not to the region itself; EndPaint tells the desktop of each of the
//      region's rectangles, so a paint must leave the pixels between them as they were
//  [x] GetDC / ReleaseDC: the same kind of device context outside painting
//  [ ] background erasing (WM_ERASEBKGND): no window class here has a background brush

#include "platform/types/Win32Types.h"

struct PAINTSTRUCT
{
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};

// Adds rect (client coordinates; null = the whole client area) to the update region.
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
// Removes rect (null = everything) from the update region.
BOOL ValidateRect(HWND hwnd, const RECT* rect);
// The bounding box of the update region into *rect (all zero when empty); nonzero when not empty.
BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase);
// Sends WM_PAINT when the update region is not empty.
BOOL UpdateWindow(HWND hwnd);
// Starts painting: fills *ps (device context on the window's surface, the update box in rcPaint)
// and validates the window. Null for an invalid handle. Every BeginPaint needs its EndPaint.
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
// A device context on the window's surface; give it back with ReleaseDC.
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);
