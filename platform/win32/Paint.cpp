// Update regions, WM_PAINT on demand, and device contexts on a window's surface.
#include "platform/win32/Paint.h"

#include "platform/win32/NativeDesktop.h"
#include "platform/win32/WindowState.h"

#include <cstring>
#include <vector>

using namespace quova::win32;

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w) return FALSE;
    RECT client{0, 0, Width(w), Height(w)};
    RECT r = rect ? IntersectRects(*rect, client) : client;
    if (RectEmpty(r)) return TRUE;
    w->update.Add(r);
    if (erase) w->eraseRequested = true;
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w) return FALSE;
    if (rect)
        w->update.Subtract(*rect);
    else
        w->update.Clear();
    if (w->update.Empty()) w->eraseRequested = false;
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w) return FALSE;
    if (rect) *rect = w->update.Bounds();
    return w->update.Empty() ? FALSE : TRUE;
}

BOOL UpdateWindow(HWND hwnd)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w) return FALSE;
    if (!w->update.Empty() && IsWindowVisible(hwnd)) SendMessageA(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w || !ps) return nullptr;
    std::memset(ps, 0, sizeof *ps);
    ps->rcPaint = w->update.Bounds();
    ps->fErase = w->eraseRequested ? TRUE : FALSE;
    w->painting = w->update.Rects();
    w->update.Clear();
    w->eraseRequested = false;
    ps->hdc = CreateSurfaceDC(&w->surface);
    // Painting reaches only the area that needed it.
    SetSurfaceDCClip(ps->hdc, &ps->rcPaint);
    return ps->hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps)
{
    if (!ps || !ps->hdc) return FALSE;
    ReleaseSurfaceDC(ps->hdc);
    // The desktop is told of each rectangle of the region, not of their bounding box: two small
    // changes far apart are sent as two small areas.
    PlatformWindow* w = Lookup(hwnd);
    if (!w || w->painting.empty())
    {
        NoteDamage(hwnd, ps->rcPaint);
        return TRUE;
    }
    std::vector<RECT> painted;
    painted.swap(w->painting);
    for (const RECT& r : painted)
        NoteDamage(hwnd, r);
    return TRUE;
}

HDC GetDC(HWND hwnd)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w) return nullptr;
    return CreateSurfaceDC(&w->surface);
}

int ReleaseDC(HWND hwnd, HDC dc)
{
    if (!dc) return 0;
    ReleaseSurfaceDC(dc);
    if (IsWindow(hwnd)) NoteDamage(hwnd, RECT{0, 0, Width(hwnd), Height(hwnd)});
    return 1;
}
