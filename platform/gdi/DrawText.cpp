// Text colours and DrawTextA / DrawTextW: line layout, measuring, alignment, clipping,
// the opaque background and the blending of glyph coverage into the DC's pixels.

#include "platform/gdi/FontFace.h"
#include "platform/gdi/GdiObjects.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace
{

// Windows-1252 characters 0x80..0x9F (the rest of the code page equals Latin-1);
// the five unassigned bytes stand for themselves.
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::u32string FromAnsi(const char* text, size_t count)
{
    std::u32string out;
    out.reserve(count);
    for (size_t i = 0; i < count; ++i)
    {
        const auto byte = static_cast<unsigned char>(text[i]);
        out.push_back(byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte);
    }
    return out;
}

// UTF-16 units (one per WCHAR); a surrogate pair makes one character, a lone
// surrogate stands for itself. Units above 0xFFFF are taken as characters.
std::u32string FromWide(const WCHAR* text, size_t count)
{
    std::u32string out;
    out.reserve(count);
    for (size_t i = 0; i < count; ++i)
    {
        const auto unit = static_cast<uint32_t>(text[i]);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < count)
        {
            const auto next = static_cast<uint32_t>(text[i + 1]);
            if (next >= 0xDC00 && next < 0xE000)
            {
                out.push_back(0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        out.push_back(unit);
    }
    return out;
}

// Without DT_NOPREFIX an ampersand marks the next character (shown underlined on the
// platform, plainly here); "&&" shows one ampersand.
std::u32string DropPrefixes(const std::u32string& text)
{
    std::u32string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == U'&' && i + 1 < text.size())
            ++i;
        else if (text[i] == U'&')
            continue;
        out.push_back(text[i]);
    }
    return out;
}

struct Line
{
    size_t begin = 0;
    size_t end = 0;
    int64_t width = 0;
};

// Splits at CR, LF and CR LF unless single-line; measures each line by the glyph advances.
std::vector<Line> LayOut(const std::u32string& text, bool singleLine, FontFace& face)
{
    std::vector<Line> lines;
    Line line;
    for (size_t i = 0; i < text.size(); ++i)
    {
        const char32_t c = text[i];
        if (!singleLine && (c == U'\r' || c == U'\n'))
        {
            line.end = i;
            lines.push_back(line);
            if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
            line = Line{i + 1, i + 1, 0};
            continue;
        }
        line.width += face.Glyph(c).advance;
    }
    line.end = text.size();
    lines.push_back(line);
    return lines;
}

int ClampToInt(int64_t v)
{
    return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

uint32_t PixelFromColorRef(COLORREF c)
{
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// Fills box within clip with the colour's channels; each pixel keeps its alpha byte.
void FillBox(const PixelTarget& t, const RECT& clip, int64_t left, int64_t top, int64_t right, int64_t bottom,
             uint32_t rgb)
{
    left = std::max<int64_t>(left, clip.left);
    top = std::max<int64_t>(top, clip.top);
    right = std::min<int64_t>(right, clip.right);
    bottom = std::min<int64_t>(bottom, clip.bottom);
    for (int64_t y = top; y < bottom; ++y)
    {
        uint32_t* row = t.Row(static_cast<int>(y));
        for (int64_t x = left; x < right; ++x)
            row[x] = (row[x] & 0xFF000000u) | rgb;
    }
}

// Moves one channel toward the text colour by coverage / 255, rounded to nearest.
inline uint32_t MixChannel(uint32_t dst, uint32_t src, uint32_t coverage)
{
    const int d = static_cast<int>(dst);
    const int diff = static_cast<int>(src) - d;
    const int step = diff >= 0 ? (diff * static_cast<int>(coverage) + 127) / 255
                               : -((-diff * static_cast<int>(coverage) + 127) / 255);
    return static_cast<uint32_t>(d + step);
}

void BlendGlyphImage(const PixelTarget& t, const RECT& clip, int64_t penX, int64_t baseline,
                     const GlyphImage& g, uint32_t rgb)
{
    const int64_t x0 = penX + g.left;
    const int64_t y0 = baseline - g.top;
    const int64_t fromX = std::max<int64_t>(x0, clip.left);
    const int64_t fromY = std::max<int64_t>(y0, clip.top);
    const int64_t toX = std::min<int64_t>(x0 + g.width, clip.right);
    const int64_t toY = std::min<int64_t>(y0 + g.rows, clip.bottom);
    const uint32_t sr = (rgb >> 16) & 0xFF, sg = (rgb >> 8) & 0xFF, sb = rgb & 0xFF;
    for (int64_t y = fromY; y < toY; ++y)
    {
        uint32_t* row = t.Row(static_cast<int>(y));
        const uint8_t* cov = g.coverage.data() + (y - y0) * g.width;
        for (int64_t x = fromX; x < toX; ++x)
        {
            const uint32_t c = cov[x - x0];
            if (c == 0) continue;
            const uint32_t p = row[x];
            if (c == 255)
            {
                row[x] = (p & 0xFF000000u) | rgb;
                continue;
            }
            const uint32_t r = MixChannel((p >> 16) & 0xFF, sr, c);
            const uint32_t gr = MixChannel((p >> 8) & 0xFF, sg, c);
            const uint32_t b = MixChannel(p & 0xFF, sb, c);
            row[x] = (p & 0xFF000000u) | (r << 16) | (gr << 8) | b;
        }
    }
}

int DrawTextCommon(PlatformDC& dc, const std::u32string& original, RECT* rect, UINT format)
{
    FontFace& face = *dc.font->face;
    const std::u32string text = (format & DT_NOPREFIX) ? original : DropPrefixes(original);
    const bool singleLine = (format & DT_SINGLELINE) != 0;
    const std::vector<Line> lines = LayOut(text, singleLine, face);
    const int64_t lineHeight = face.metrics.height;

    int64_t widest = 0;
    for (const Line& line : lines)
        widest = std::max(widest, line.width);
    const bool empty = text.empty();
    const int64_t totalHeight = empty ? 0 : lineHeight * static_cast<int64_t>(lines.size());

    if (format & DT_CALCRECT)
    {
        rect->right = ClampToInt(static_cast<int64_t>(rect->left) + widest);
        rect->bottom = ClampToInt(static_cast<int64_t>(rect->top) + totalHeight);
        return ClampToInt(totalHeight);
    }
    if (empty) return 0;

    // Vertical alignment applies to single-line text only.
    int64_t top = rect->top;
    if (singleLine && (format & DT_VCENTER))
        top = rect->top + (static_cast<int64_t>(rect->bottom) - rect->top - lineHeight) / 2;
    else if (singleLine && (format & DT_BOTTOM))
        top = static_cast<int64_t>(rect->bottom) - lineHeight;
    const int result = singleLine && (format & (DT_VCENTER | DT_BOTTOM))
                           ? ClampToInt(top - rect->top + totalHeight)
                           : ClampToInt(totalHeight);

    const PixelTarget target = TargetOf(dc);
    if (target.Empty()) return result;
    RECT clip = target.clip;
    if (!(format & DT_NOCLIP) && !IntersectRects(clip, *rect)) return result;

    const uint32_t textRgb = PixelFromColorRef(dc.textColor);
    const uint32_t backRgb = PixelFromColorRef(dc.bkColor);
    for (size_t i = 0; i < lines.size(); ++i)
    {
        const Line& line = lines[i];
        const int64_t y = top + lineHeight * static_cast<int64_t>(i);
        int64_t x = rect->left;
        if (format & DT_CENTER)
            x = rect->left + (static_cast<int64_t>(rect->right) - rect->left - line.width) / 2;
        else if (format & DT_RIGHT)
            x = static_cast<int64_t>(rect->right) - line.width;
        if (dc.bkMode == OPAQUE) FillBox(target, clip, x, y, x + line.width, y + lineHeight, backRgb);
        const int64_t baseline = y + face.metrics.ascent;
        for (size_t k = line.begin; k < line.end; ++k)
        {
            const GlyphImage& glyph = face.Glyph(text[k]);
            BlendGlyphImage(target, clip, x, baseline, glyph, textRgb);
            x += glyph.advance;
        }
    }
    return result;
}

template <typename Convert> int DrawTextLocked(HDC dc, RECT* rect, UINT format, Convert convert)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    PlatformDC* live = LiveDC(dc);
    if (!live || !rect || !live->font || !live->font->face) return 0;
    return DrawTextCommon(*live, convert(), rect, format);
}

} // namespace

COLORREF SetTextColor(HDC dc, COLORREF colour)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    PlatformDC* live = LiveDC(dc);
    if (!live) return CLR_INVALID;
    const COLORREF previous = live->textColor;
    live->textColor = colour & 0x00FFFFFF;
    return previous;
}

COLORREF SetBkColor(HDC dc, COLORREF colour)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    PlatformDC* live = LiveDC(dc);
    if (!live) return CLR_INVALID;
    const COLORREF previous = live->bkColor;
    live->bkColor = colour & 0x00FFFFFF;
    return previous;
}

int SetBkMode(HDC dc, int mode)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    PlatformDC* live = LiveDC(dc);
    if (!live || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    const int previous = live->bkMode;
    live->bkMode = mode;
    return previous;
}

int DrawTextA(HDC dc, LPCSTR text, int length, RECT* rect, UINT format)
{
    if (!text || length < -1) return 0;
    const size_t count = length == -1 ? std::char_traits<char>::length(text) : static_cast<size_t>(length);
    return DrawTextLocked(dc, rect, format, [&] { return FromAnsi(text, count); });
}

int DrawTextW(HDC dc, const WCHAR* text, int length, RECT* rect, UINT format)
{
    if (!text || length < -1) return 0;
    const size_t count = length == -1 ? std::char_traits<WCHAR>::length(text) : static_cast<size_t>(length);
    return DrawTextLocked(dc, rect, format, [&] { return FromWide(text, count); });
}
