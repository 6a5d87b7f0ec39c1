// Font creation and text metrics.

#include "platform/gdi/FontFace.h"
#include "platform/gdi/GdiObjects.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace
{

// Requests above this cell height are refused: nothing on screen needs them and the
// glyph images would be enormous.
constexpr int kMaxFontHeight = 4096;
// The cell height of a request of height 0.
constexpr int kDefaultFontHeight = 16;

BYTE ClampByte(int v)
{
    return static_cast<BYTE>(std::clamp(v, 0, 255));
}

} // namespace

PlatformFont* MakeFont(int height, int weight, bool italic, bool underline, bool strikeOut, DWORD charSet,
                       DWORD quality, DWORD pitchAndFamily, const char* faceName)
{
    if (height < -kMaxFontHeight || height > kMaxFontHeight) return nullptr;
    if (weight < 0 || weight > 1000) return nullptr;

    FontMatch match;
    if (!MatchFontFile(faceName, weight, italic, match)) return nullptr;
    std::unique_ptr<FontFace> face =
        FontFace::Load(match, height == 0 ? kDefaultFontHeight : height, quality == NONANTIALIASED_QUALITY);
    if (!face) return nullptr;

    auto* font = new PlatformFont();
    font->requestedHeight = height;
    font->weight = weight == FW_DONTCARE ? FW_NORMAL : weight;
    font->italic = italic;
    font->underline = underline;
    font->strikeOut = strikeOut;
    font->charSet = charSet;
    font->quality = quality;
    font->pitchAndFamily = pitchAndFamily;
    if (faceName)
    {
        std::strncpy(font->faceName, faceName, sizeof(font->faceName) - 1);
        font->faceName[sizeof(font->faceName) - 1] = 0;
    }
    font->face = face.release();
    return font;
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, LPCSTR faceName)
{
    // Width, escapement and orientation are accepted and not applied (text is upright,
    // in the face's own proportions); the precisions have no meaning here.
    (void)width;
    (void)escapement;
    (void)orientation;
    (void)outPrecision;
    (void)clipPrecision;
    std::lock_guard<std::mutex> guard(GdiLock());
    PlatformFont* font = MakeFont(height, weight, italic != 0, underline != 0, strikeOut != 0, charSet,
                                  quality, pitchAndFamily, faceName);
    if (font) RegisterObject(font);
    return font;
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    PlatformDC* live = LiveDC(dc);
    if (!live || !metrics || !live->font || !live->font->face) return FALSE;
    const PlatformFont& font = *live->font;
    const FontMetrics& m = font.face->metrics;
    *metrics = TEXTMETRICA{};
    metrics->tmHeight = m.height;
    metrics->tmAscent = m.ascent;
    metrics->tmDescent = m.descent;
    metrics->tmInternalLeading = m.internalLeading;
    metrics->tmExternalLeading = 0;
    metrics->tmAveCharWidth = m.aveCharWidth;
    metrics->tmMaxCharWidth = m.maxCharWidth;
    metrics->tmWeight = font.weight;
    metrics->tmOverhang = 0;
    metrics->tmDigitizedAspectX = 96;
    metrics->tmDigitizedAspectY = 96;
    metrics->tmFirstChar = 32;
    metrics->tmLastChar = 255;
    metrics->tmDefaultChar = '?';
    metrics->tmBreakChar = ' ';
    metrics->tmItalic = font.italic ? 255 : 0;
    metrics->tmUnderlined = font.underline ? 255 : 0;
    metrics->tmStruckOut = font.strikeOut ? 255 : 0;
    metrics->tmPitchAndFamily =
        ClampByte(static_cast<int>(font.pitchAndFamily & 0xF0) | 0x07); // variable pitch, vector, TrueType
    metrics->tmCharSet = ClampByte(static_cast<int>(font.charSet));
    return TRUE;
}
