// The installed desktop, damage notes and compositing of a window with its children.
#include "platform/win32/NativeDesktop.h"

#include "platform/win32/Input.h"
#include "platform/win32/WindowState.h"

#include <algorithm>

namespace quova::win32
{

namespace
{

NativeDesktop* gDesktop = nullptr;

// Copies the part of w's surface inside `area` (coordinates of the composite's window) to out.
void CopySurface(HWND w, POINT offset, const RECT& area, uint32_t* out, int stride)
{
    const PixelSurface& s = w->surface;
    const int x0 = std::max<int>(area.left, offset.x);
    const int y0 = std::max<int>(area.top, offset.y);
    const int x1 = std::min<int>(area.right, offset.x + s.width);
    const int y1 = std::min<int>(area.bottom, offset.y + s.height);
    if (x0 >= x1) return;
    for (int y = y0; y < y1; ++y)
    {
        const uint32_t* src = &s.pixels[static_cast<size_t>(y - offset.y) * static_cast<size_t>(s.width) +
                                        static_cast<size_t>(x0 - offset.x)];
        std::copy(src, src + (x1 - x0),
                  out + static_cast<size_t>(y - area.top) * static_cast<size_t>(stride) +
                      static_cast<size_t>(x0 - area.left));
    }
}

} // namespace

void SetNativeDesktop(NativeDesktop* desktop)
{
    gDesktop = desktop;
}

HWND TopLevelOf(HWND hwnd)
{
    if (!IsWindow(hwnd)) return nullptr;
    HWND cur = hwnd;
    while (cur->parent)
        cur = cur->parent;
    return cur;
}

NativeDesktop* DesktopShowing(HWND hwnd)
{
    HWND top = TopLevelOf(hwnd);
    if (!gDesktop || !top) return nullptr;
    // A pop-up's owner shows it in its desktop too (a dialog over the editor).
    for (HWND cur = top; cur; cur = cur->owner ? TopLevelOf(cur->owner) : nullptr)
    {
        if (gDesktop->Shows(cur)) return gDesktop;
        if (!cur->owner) break;
    }
    return nullptr;
}

void NoteDamage(HWND hwnd, const RECT& area)
{
    if (!gDesktop || !IsWindow(hwnd)) return;
    HWND top = TopLevelOf(hwnd);
    if (!gDesktop->Shows(top)) return;
    const POINT o = ScreenOrigin(hwnd);
    const POINT t = ScreenOrigin(top);
    RECT r = IntersectRects(area, RECT{0, 0, Width(hwnd), Height(hwnd)});
    if (RectEmpty(r)) return;
    r.left += o.x - t.x;
    r.right += o.x - t.x;
    r.top += o.y - t.y;
    r.bottom += o.y - t.y;
    gDesktop->Damaged(top, r);
}

void CompositeWindow(HWND hwnd, const RECT& area, uint32_t* out, int stride)
{
    if (!IsWindow(hwnd) || !out || RectEmpty(area)) return;
    const POINT origin = ScreenOrigin(hwnd);
    CopySurface(hwnd, POINT{0, 0}, area, out, stride);
    for (HWND child : ChildWindows(hwnd, true))
    {
        const POINT p = ScreenOrigin(child);
        CopySurface(child, POINT{p.x - origin.x, p.y - origin.y}, area, out, stride);
    }
}

} // namespace quova::win32
