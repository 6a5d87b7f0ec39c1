// CachedFont: drawing and measuring strings, from the glyph cache or natively.
#include "graphics/CachedFont.h"

#include "graphics/BlendOperators.h"
#include "graphics/Blit.h"
#include "graphics/CachedFontShared.h"
#include "graphics/Fill.h"
#include "graphics/Utf8.h"
#include "platform/gdi/Gdi.h"
#include "platform/win32/TextConversion.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

using namespace cached_font_shared;

namespace
{
constexpr uint32_t kAlignmentFlags = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM;
constexpr int32_t kLargestCachedLineHeight = 255;

int32_t Saturate(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

COLORREF ToColorRef(RasterPixel p)
{
    return RGB(static_cast<BYTE>(PixelRed(p)), static_cast<BYTE>(PixelGreen(p)),
               static_cast<BYTE>(PixelBlue(p)));
}

// Walks text (length bytes, -1 up to the zero byte) character by character,
// never reading past the given bytes.
class TextWalk
{
public:
    TextWalk(const char* text, int32_t length) : next_(text), left_(length) {}
    bool Next(uint16_t* character)
    {
        if (left_ == 0 || *next_ == '\0') return false;
        const int consumed = DecodeUtf8Char(next_, left_, character);
        if (consumed <= 0) return false;
        next_ += consumed;
        if (left_ > 0) left_ -= consumed;
        return true;
    }

private:
    const char* next_;
    int64_t left_;
};

// Lays text out in lines for measuring and drawing: carriage returns are
// skipped; a line feed is a space under DT_SINGLELINE, otherwise it moves the
// pen to the start of the next line (the next column for vertical fonts) and
// is not returned. The pen's values at construction start the first line.
class LineWalk
{
public:
    LineWalk(const char* text, int32_t length, uint32_t flags, bool vertical, int32_t lineHeight,
             int64_t& penX, int64_t& penY)
        : walk_(text, length), flags_(flags), vertical_(vertical), lineHeight_(lineHeight), startX_(penX),
          startY_(penY), penX_(penX), penY_(penY)
    {
    }
    bool Next(uint16_t* c)
    {
        while (walk_.Next(c))
        {
            if (*c == 10 && (flags_ & DT_SINGLELINE)) *c = 32;
            if (*c != 10 && *c != 13) return true;
            if (*c == 10)
            {
                penX_ = vertical_ ? penX_ + lineHeight_ : startX_;
                penY_ = vertical_ ? startY_ : penY_ + lineHeight_;
            }
        }
        return false;
    }

private:
    TextWalk walk_;
    uint32_t flags_;
    bool vertical_;
    int32_t lineHeight_;
    int64_t startX_, startY_;
    int64_t &penX_, &penY_;
};

struct GlyphBox
{
    RasterPixel* first; // destination pixel of the box's clipped top-left corner
    ptrdiff_t step;     // to the next destination row
    const uint8_t* mask;
    int32_t maskSpan;
    int32_t width, height;
};

// The font alpha's weight, trunc(alpha x 256), taken as it comes: above 256
// it still draws (each glyph pixel's weight is held to 256), below 0 it
// subtracts where the operator allows it. Held to -4096..65536 before the
// conversion: every coverage weight min(256, c x w / 256) comes out the same
// above 65536, and -4096 is the least weight no operator overflows at.
int GlyphWeight(float alpha)
{
    return UnrestrictedWeight(alpha, -4096.0f, 65536.0f);
}

// Coverage c != 0 blended toward the text colour (alpha byte 255) at weight
// c + 1 (full weight) or min(256, (c x w) / 256); zero weights leave the pixel.
template <void (*Op)(RasterPixel*, int, int, int, int, int), bool kFullWeight>
void BlendCoverage(const GlyphBox& box, RasterPixel colour, int w)
{
    const int r = PixelRed(colour), g = PixelGreen(colour), b = PixelBlue(colour);
    RasterPixel* row = box.first;
    const uint8_t* mask = box.mask;
    for (int32_t y = 0; y < box.height; ++y, row += box.step, mask += box.maskSpan)
        for (int32_t x = 0; x < box.width; ++x)
        {
            const int c = mask[x];
            if (c == 0) continue;
            const int weight = kFullWeight ? c + 1 : std::min((c * w) / 256, 256);
            if (kFullWeight || weight != 0) Op(row + x, r, g, b, 255, weight);
        }
}

using CoverageLoop = void (*)(const GlyphBox&, RasterPixel, int);
constexpr CoverageLoop kFullWeightLoops[6] = {
    BlendCoverage<BlendPixel, true>,   BlendCoverage<AddPixel, true>,
    BlendCoverage<DodgePixel, true>,   BlendCoverage<MultiplyPixel, true>,
    BlendCoverage<OverlayPixel, true>, BlendCoverage<HsvAdjustPixel, true>,
};
constexpr CoverageLoop kWeightedLoops[6] = {
    BlendCoverage<BlendPixel, false>,   BlendCoverage<AddPixel, false>,
    BlendCoverage<DodgePixel, false>,   BlendCoverage<MultiplyPixel, false>,
    BlendCoverage<OverlayPixel, false>, BlendCoverage<HsvAdjustPixel, false>,
};

// The thresholded effect masks: 255 in the text colour, other non-zero
// values in the effect colour (mono masks hold only 0 and 255).
void StoreEffectMask(const GlyphBox& box, RasterPixel text, RasterPixel effect)
{
    RasterPixel* row = box.first;
    const uint8_t* mask = box.mask;
    for (int32_t y = 0; y < box.height; ++y, row += box.step, mask += box.maskSpan)
        for (int32_t x = 0; x < box.width; ++x)
            if (mask[x] != 0) row[x] = mask[x] == 255 ? text : effect;
}

void BlendEffectMask(const GlyphBox& box, RasterPixel text, RasterPixel effect, uint32_t op, int w)
{
    RasterPixel* row = box.first;
    const uint8_t* mask = box.mask;
    for (int32_t y = 0; y < box.height; ++y, row += box.step, mask += box.maskSpan)
        for (int32_t x = 0; x < box.width; ++x)
            if (mask[x] != 0)
            {
                const RasterPixel c = mask[x] == 255 ? text : effect;
                ApplyPlainOperator(op, row + x, PixelRed(c), PixelGreen(c), PixelBlue(c), PixelAlpha(c), w);
            }
}
} // namespace

int32_t CachedFont::DrawString(RasterBitmap* bitmap, const char* text, int32_t length, RECT* rect,
                               uint32_t flags)
{
    if (!text || !rect || length < -1) return 0;
    if (!bitmap && !(flags & DT_CALCRECT)) return 0;
    const bool forced = (flags & kDrawForceCached) != 0;
    flags &= ~kDrawForceCached;
    bool native = (flags_ & FontNativeDrawing) && font_ && !forced && !RunsUnderWine() &&
                  !(flags & kDrawScaleByColourAlpha) && !(flags_ & FontCachedOnlyFlags);
    if (!native && lineHeight_ > kLargestCachedLineHeight && font_) native = true;
    if (native) return DrawNative(bitmap, text, length, rect, flags & ~kDrawScaleByColourAlpha);
    if (flags & DT_CALCRECT) return MeasureCached(text, length, rect, flags);
    return DrawCached(bitmap, text, length, rect, flags | (forced ? kDrawForceCached : 0));
}

const CachedFont::GlyphEntry* CachedFont::GlyphForDrawing(uint32_t c)
{
    if (c >= 128 && !FindGlyph(c))
    {
        const int32_t count = FurtherCount();
        RenderGlyph(c);
        if (FurtherCount() == count) return nullptr;
    }
    const GlyphEntry* entry = FindGlyph(c);
    if (entry && entry->offset == 0)
    {
        RenderGlyph(c);
        entry = FindGlyph(c);
    }
    if (!entry || !Coverage(*entry)) return nullptr;
    return entry;
}

int32_t CachedFont::MeasureCached(const char* text, int32_t length, RECT* rect, uint32_t flags)
{
    const bool vertical = IsVertical();
    int64_t penX = 0, penY = 0, width = 0, height = 0;
    LineWalk walk(text, length, flags, vertical, lineHeight_, penX, penY);
    uint16_t c = 0;
    while (walk.Next(&c))
    {
        const GlyphEntry* entry = GlyphForDrawing(c);
        if (!entry) continue;
        if (vertical)
        {
            width = std::max(width, penX + entry->width);
            height = std::max({height, penY + entry->height, penY + entry->advance});
            penY += entry->advance;
        }
        else
        {
            width = std::max({width, penX + entry->width, penX + entry->advance});
            height = std::max(height, penY + entry->height);
            penX += entry->advance;
        }
    }
    rect->right = Saturate(static_cast<int64_t>(rect->left) + width);
    rect->bottom = Saturate(static_cast<int64_t>(rect->top) + height);
    return Saturate(vertical ? width : height);
}

int32_t CachedFont::DrawCached(RasterBitmap* bitmap, const char* text, int32_t length, RECT* rect,
                               uint32_t flags)
{
    const bool forced = (flags & kDrawForceCached) != 0;
    flags &= ~kDrawForceCached;
    // The alpha is scaled for this call only.
    struct AlphaRestore
    {
        float& alpha;
        float saved;
        ~AlphaRestore() { alpha = saved; }
    } restore{alpha_, alpha_};
    if (flags & kDrawScaleByColourAlpha)
        alpha_ = static_cast<float>(alpha_ * (PixelAlpha(textColour_) / 255.0));
    if (!IsNonZeroAlpha(alpha_)) return 0;

    const bool vertical = IsVertical(), upward = IsUpward();
    int64_t startX = rect->left, startY = rect->top;
    if ((flags & kAlignmentFlags) || upward)
    {
        RECT measured{0, 0, 0, 0};
        DrawString(bitmap, text, length, &measured,
                   DT_CALCRECT | (flags & DT_SINGLELINE) | (forced ? kDrawForceCached : 0));
        const int64_t mw = measured.right, mh = measured.bottom;
        if (flags & DT_CENTER)
            startX = rect->left + (static_cast<int64_t>(rect->right) - mw - rect->left) / 2;
        else if (flags & DT_RIGHT)
            startX = rect->right - mw;
        if (flags & DT_VCENTER)
            startY = rect->top + (static_cast<int64_t>(rect->bottom) - mh - rect->top) / 2;
        else if (flags & DT_BOTTOM)
            startY = rect->bottom - mh;
        if (upward) startY += mh;
    }

    RECT clip{0, 0, bitmap->Width(), bitmap->Height()};
    if (!(flags & DT_NOCLIP))
    {
        clip.left = std::max(rect->left, 0);
        clip.top = std::max(rect->top, 0);
        clip.right = std::min(rect->right, bitmap->Width());
        clip.bottom = std::min(rect->bottom, bitmap->Height());
    }
    if (clip.right <= clip.left || clip.bottom <= clip.top) return 0;

    int64_t penX = startX, penY = startY;
    int64_t lowest = startY, rightMost = startX;
    LineWalk walk(text, length, flags, vertical, lineHeight_, penX, penY);
    uint16_t c = 0;
    while (walk.Next(&c))
    {
        const GlyphEntry* found = GlyphForDrawing(c);
        if (!found) continue;
        const GlyphEntry entry = *found;
        if (!vertical)
        {
            if (BlendGlyph(bitmap, entry, Saturate(penX), Saturate(penY), clip))
                lowest = std::max(lowest, penY + entry.height);
            penX += entry.advance;
            continue;
        }
        if (upward) penY -= entry.height;
        if (BlendGlyph(bitmap, entry, Saturate(penX), Saturate(penY), clip))
            rightMost = std::max(rightMost, penX + entry.width);
        penY += upward ? entry.height - entry.advance : entry.advance;
    }
    return Saturate(vertical ? rightMost - startX : lowest - startY);
}

bool CachedFont::BlendGlyph(RasterBitmap* bitmap, const GlyphEntry& entry, int32_t x, int32_t y,
                            const RECT& clip)
{
    const uint8_t* mask = Coverage(entry);
    RasterPixel* pixels = bitmap ? bitmap->Pixels() : nullptr;
    if (!mask || !pixels) return false;
    const int64_t x0 = x, y0 = y, x1 = x0 + entry.width, y1 = y0 + entry.height;
    if (x1 <= clip.left || x0 >= clip.right || y1 <= clip.top || y0 >= clip.bottom) return false;
    const int64_t cx0 = std::max<int64_t>(x0, clip.left), cy0 = std::max<int64_t>(y0, clip.top);
    const int64_t cx1 = std::min<int64_t>(x1, clip.right), cy1 = std::min<int64_t>(y1, clip.bottom);

    GlyphBox box;
    RasterRowWalk walk =
        RowWalk(pixels, bitmap->Height(), bitmap->RowSpan(), bitmap->IsBottomUp(), static_cast<int32_t>(cy0));
    box.first = walk.row + cx0;
    box.step = walk.step;
    box.maskSpan = entry.width;
    box.mask = mask + (cy0 - y0) * entry.width + (cx0 - x0);
    box.width = static_cast<int32_t>(cx1 - cx0);
    box.height = static_cast<int32_t>(cy1 - cy0);

    const uint32_t op = combineMode_ & ~kBlendSourceAlpha;
    if (backgroundMode_ == 2)
        FillRectangle(bitmap, static_cast<int32_t>(cx0), static_cast<int32_t>(cy0), box.width, box.height,
                      backgroundColour_, alpha_, op);
    // Copy at a negative weight would push the bytes past the colour and wrap
    // them: it draws nothing, as in every other family.
    const int w = GlyphWeight(alpha_);
    auto draws = [op](int weight)
    { return weight != 0 && op <= kBlendLastOperator && !(op == kBlendCopy && weight < 0); };
    if (flags_ & (FontMonochrome | FontShadowed | FontOutlined))
    {
        const int effectWeight = std::min(w, kFullWeight);
        if (alpha_ == 1.0f && op == kBlendCopy)
            StoreEffectMask(box, textColour_, (flags_ & FontMonochrome) ? textColour_ : effectColour_);
        else if (draws(effectWeight))
            BlendEffectMask(box, textColour_, (flags_ & FontMonochrome) ? textColour_ : effectColour_, op,
                            effectWeight);
        return true;
    }
    if (!draws(w)) return true;
    (w == kFullWeight ? kFullWeightLoops : kWeightedLoops)[op](box, textColour_, w);
    return true;
}

int32_t CachedFont::DrawNative(RasterBitmap* bitmap, const char* text, int32_t length, RECT* rect,
                               uint32_t flags)
{
    // Wide text for strings with multi-byte sequences, on the wide-text
    // platform: on the stack when short, else on the heap.
    WCHAR stackWide[1024];
    std::vector<WCHAR> heapWide;
    const WCHAR* wide = nullptr;
    if (IsWideTextPlatform() && HasMultiByteSequence(text, length))
    {
        const int32_t bytes =
            length < 0 ? static_cast<int32_t>(std::min<size_t>(std::strlen(text), INT32_MAX - 64)) : length;
        const int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, bytes, nullptr, 0);
        WCHAR* buffer = stackWide;
        int capacity = static_cast<int>(std::size(stackWide));
        if (needed >= 1000)
        {
            heapWide.resize(static_cast<size_t>(bytes) + 32);
            buffer = heapWide.data();
            capacity = static_cast<int>(heapWide.size());
        }
        const int units =
            needed > 0 ? MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, bytes, buffer, capacity - 1)
                       : 0;
        if (units > 0)
        {
            buffer[units] = 0;
            wide = buffer;
        }
    }
    auto drawText = [&](HDC dc, RECT* r, UINT format)
    {
        SetTextColor(dc, ToColorRef(textColour_));
        SetBkMode(dc, backgroundMode_);
        if (backgroundMode_ == 2) SetBkColor(dc, ToColorRef(backgroundColour_));
        return wide ? DrawTextW(dc, wide, -1, r, format | DT_NOPREFIX)
                    : DrawTextA(dc, text, length, r, format | DT_NOPREFIX);
    };

    HDC dc = bitmap ? bitmap->DeviceContext() : nullptr;
    if (dc)
    {
        HGDIOBJ previous = SelectObject(dc, font_);
        RECT r = *rect;
        const int32_t result = drawText(dc, &r, flags);
        if (flags & DT_CALCRECT) *rect = r;
        if (previous) SelectObject(dc, previous);
        return result;
    }

    std::lock_guard<std::recursive_mutex> lock(SharedFontLock());
    DibBitmap*& scratch = NativeScratch();
    if (!scratch) scratch = new DibBitmap(4, 4);
    HDC scratchDc = scratch->DeviceContext();
    if (!scratchDc) return 0;
    HGDIOBJ previous = SelectObject(scratchDc, font_);
    struct FontRestore
    {
        HDC dc;
        HGDIOBJ previous;
        ~FontRestore()
        {
            if (previous) SelectObject(dc, previous);
        }
    } restoreFont{scratchDc, previous};

    RECT measured{0, 0, 0, 0};
    drawText(scratchDc, &measured, (flags & ~kAlignmentFlags) | DT_CALCRECT);
    const int64_t w = static_cast<int64_t>(measured.right) - measured.left;
    const int64_t h = static_cast<int64_t>(measured.bottom) - measured.top;
    if (flags & DT_CALCRECT)
    {
        rect->right = Saturate(rect->left + w);
        rect->bottom = Saturate(rect->top + h);
        return Saturate(h);
    }
    const int64_t bx = (flags & DT_RIGHT)    ? rect->right - w
                       : (flags & DT_CENTER) ? (rect->right - w + rect->left) / 2
                                             : rect->left;
    const int64_t by = (flags & DT_BOTTOM)    ? rect->bottom - h
                       : (flags & DT_VCENTER) ? (static_cast<int64_t>(rect->bottom) + rect->top - h) / 2
                                              : rect->top;
    int64_t cx0 = std::max<int64_t>(bx, 0), cy0 = std::max<int64_t>(by, 0);
    int64_t cx1 = std::min<int64_t>(bx + w, bitmap->Width()),
            cy1 = std::min<int64_t>(by + h, bitmap->Height());
    if (!(flags & DT_NOCLIP))
    {
        cx0 = std::max<int64_t>(cx0, std::max(rect->left, 0));
        cy0 = std::max<int64_t>(cy0, std::max(rect->top, 0));
        cx1 = std::min<int64_t>(cx1, rect->right);
        cy1 = std::min<int64_t>(cy1, rect->bottom);
    }
    if (cx1 <= cx0 || cy1 <= cy0) return 0;
    const int32_t boxW = static_cast<int32_t>(cx1 - cx0), boxH = static_cast<int32_t>(cy1 - cy0);
    if (scratch->Width() < boxW || scratch->Height() < boxH)
    {
        scratch->SetSize(boxW, boxH);
        SelectObject(scratchDc, font_);
        if (scratch->Width() < boxW || scratch->Height() < boxH || !scratch->Pixels()) return 0;
    }
    const RasterRect source{static_cast<int32_t>(cx0), static_cast<int32_t>(cy0), static_cast<int32_t>(cx1),
                            static_cast<int32_t>(cy1)};
    BlitBitmapRect(scratch, bitmap, 0, 0, &source, 1.0f, kBlendCopy);
    RECT place{Saturate(bx - cx0), Saturate(by - cy0), Saturate(bx - cx0 + w), Saturate(by - cy0 + h)};
    const int32_t result = drawText(scratchDc, &place, flags & ~(kAlignmentFlags | DT_NOCLIP));
    BlitBitmap(bitmap, scratch, static_cast<int32_t>(cx0), static_cast<int32_t>(cy0), 0, 0, boxW, boxH,
               alpha_, kBlendCopy);
    return result;
}
