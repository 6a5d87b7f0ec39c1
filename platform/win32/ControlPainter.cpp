// Drawing of the native pieces with the platform's GDI text.
#include "platform/win32/ControlPainter.h"

#include "platform/gdi/Gdi.h"

#include <algorithm>

namespace quova::win32
{

namespace
{

constexpr int kFontHeight = -12;

} // namespace

HFONT ControlFont()
{
    // Made once and kept for the process: every native piece draws with it.
    static HFONT font =
        CreateFontA(kFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "DejaVu Sans");
    return font;
}

namespace
{

COLORREF ToColorRef(uint32_t argb)
{
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

void Put(PixelSurface& s, int x, int y, uint32_t colour)
{
    if (x >= 0 && y >= 0 && x < s.width && y < s.height)
        s.pixels[static_cast<size_t>(y) * static_cast<size_t>(s.width) + static_cast<size_t>(x)] = colour;
}

} // namespace

void FillArea(PixelSurface& s, const RECT& r, uint32_t colour)
{
    for (int y = std::max<int>(r.top, 0); y < std::min<int>(r.bottom, s.height); ++y)
        for (int x = std::max<int>(r.left, 0); x < std::min<int>(r.right, s.width); ++x)
            Put(s, x, y, colour);
}

void FrameArea(PixelSurface& s, const RECT& r, uint32_t colour)
{
    FillArea(s, RECT{r.left, r.top, r.right, r.top + 1}, colour);
    FillArea(s, RECT{r.left, r.bottom - 1, r.right, r.bottom}, colour);
    FillArea(s, RECT{r.left, r.top, r.left + 1, r.bottom}, colour);
    FillArea(s, RECT{r.right - 1, r.top, r.right, r.bottom}, colour);
}

void DrawLabel(PixelSurface& s, const std::string& text, const RECT& r, uint32_t colour, UINT format)
{
    if (text.empty() || !ControlFont()) return;
    HDC dc = CreateSurfaceDC(&s);
    if (!dc) return;
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(ControlFont()));
    SetTextColor(dc, ToColorRef(colour));
    SetBkMode(dc, TRANSPARENT);
    RECT area = r;
    DrawTextA(dc, text.c_str(), -1, &area, format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseSurfaceDC(dc);
}

int LabelWidth(const std::string& text)
{
    if (text.empty() || !ControlFont()) return 0;
    PixelSurface scratch;
    scratch.Resize(1, 1);
    HDC dc = CreateSurfaceDC(&scratch);
    if (!dc) return 0;
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(ControlFont()));
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseSurfaceDC(dc);
    return static_cast<int>(r.right - r.left);
}

namespace
{

// The font's cell height and ascent, measured once.
struct CellMetrics
{
    int height = -kFontHeight;
    int ascent = -kFontHeight;
};

const CellMetrics& Metrics()
{
    static const CellMetrics measured = []
    {
        CellMetrics cell;
        if (!ControlFont()) return cell;
        PixelSurface scratch;
        scratch.Resize(1, 1);
        HDC dc = CreateSurfaceDC(&scratch);
        if (!dc) return cell;
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(ControlFont()));
        TEXTMETRICA metrics{};
        if (GetTextMetricsA(dc, &metrics) && metrics.tmHeight > 0)
            cell = CellMetrics{static_cast<int>(metrics.tmHeight), static_cast<int>(metrics.tmAscent)};
        SelectObject(dc, old);
        ReleaseSurfaceDC(dc);
        return cell;
    }();
    return measured;
}

} // namespace

int LineHeight()
{
    return Metrics().height;
}

void DrawCaption(PixelSurface& s, const std::string& caption, const RECT& r, uint32_t colour, UINT format)
{
    std::string shown;
    size_t marked = std::string::npos;
    for (size_t i = 0; i < caption.size(); ++i)
    {
        if (caption[i] == '&' && i + 1 < caption.size())
        {
            ++i;
            if (caption[i] != '&' && marked == std::string::npos) marked = shown.size();
        }
        shown += caption[i];
    }
    DrawLabel(s, shown, r, colour, format);
    if (marked == std::string::npos || !ControlFont()) return;
    // The line under the marked letter, one pixel below the baseline, placed as DrawLabel places
    // the text.
    const int width = LabelWidth(shown);
    int left = r.left;
    if (format & DT_CENTER)
        left = r.left + (r.right - r.left - width) / 2;
    else if (format & DT_RIGHT)
        left = r.right - width;
    const int x0 = left + LabelWidth(shown.substr(0, marked));
    const int x1 = x0 + LabelWidth(shown.substr(marked, 1));
    const int y = r.top + (r.bottom - r.top - LineHeight()) / 2 + Metrics().ascent + 1;
    FillArea(s, RECT{x0, y, x1, y + 1}, colour);
}

int FaceHeight()
{
    return LineHeight() + 6;
}

void DrawCheck(PixelSurface& s, const RECT& r, uint32_t colour)
{
    const int cx = static_cast<int>(r.left + r.right) / 2;
    const int cy = static_cast<int>(r.top + r.bottom) / 2;
    // A tick: a short stroke down to the right, then a long one up to the right, two pixels thick.
    for (int i = 0; i <= 3; ++i)
    {
        Put(s, cx - 4 + i, cy + i - 1, colour);
        Put(s, cx - 4 + i, cy + i, colour);
    }
    for (int i = 0; i <= 6; ++i)
    {
        Put(s, cx - 1 + i, cy + 2 - i, colour);
        Put(s, cx - 1 + i, cy + 1 - i, colour);
    }
}

void DrawArrow(PixelSurface& s, const RECT& r, uint32_t colour)
{
    const int cx = static_cast<int>(r.left + r.right) / 2;
    const int cy = static_cast<int>(r.top + r.bottom) / 2;
    for (int i = 0; i < 4; ++i)
        for (int y = cy - 3 + i; y <= cy + 3 - i; ++y)
            Put(s, cx - 2 + i, y, colour);
}

void DrawArrowDown(PixelSurface& s, const RECT& r, uint32_t colour)
{
    const int cx = static_cast<int>(r.left + r.right) / 2;
    const int cy = static_cast<int>(r.top + r.bottom) / 2;
    for (int i = 0; i < 4; ++i)
        for (int x = cx - 3 + i; x <= cx + 3 - i; ++x)
            Put(s, x, cy - 2 + i, colour);
}

void DrawArrowUp(PixelSurface& s, const RECT& r, uint32_t colour)
{
    const int cx = static_cast<int>(r.left + r.right) / 2;
    const int cy = static_cast<int>(r.top + r.bottom) / 2;
    for (int i = 0; i < 4; ++i)
        for (int x = cx - 3 + i; x <= cx + 3 - i; ++x)
            Put(s, x, cy + 1 - i, colour);
}

} // namespace quova::win32
