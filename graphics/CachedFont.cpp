// CachedFont: lifetime, attaching a handle, and the glyph cache (rendering
// characters into coverage masks).
#include "graphics/CachedFont.h"

#include "graphics/Blur.h"
#include "graphics/CachedFontShared.h"
#include "graphics/Fill.h"
#include "platform/gdi/Gdi.h"

#include <algorithm>
#include <cstring>
#include <utility>

using namespace cached_font_shared;

namespace
{
constexpr int kScratchMinimum = 256;
constexpr int32_t kLargestRenderableLineHeight = 1023;

// Thresholds the mask at 131; with outline, empty pixels beside a full one
// (left, right, above, below) become 128; with shadow, empty pixels whose
// left, upper-left or upper neighbour is full become 128.
void ApplyMaskEffects(uint8_t* mask, int32_t width, int32_t height, uint32_t flags)
{
    if (!(flags & (FontMonochrome | FontOutlined | FontShadowed))) return;
    const size_t count = static_cast<size_t>(width) * height;
    for (size_t i = 0; i < count; ++i)
        mask[i] = mask[i] < 131 ? 0 : 255;
    auto full = [&](int32_t x, int32_t y) {
        return x >= 0 && y >= 0 && x < width && y < height && mask[static_cast<size_t>(y) * width + x] == 255;
    };
    if (flags & FontOutlined)
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
            {
                uint8_t& m = mask[static_cast<size_t>(y) * width + x];
                if (m == 0 && (full(x - 1, y) || full(x + 1, y) || full(x, y - 1) || full(x, y + 1))) m = 128;
            }
    if (flags & FontShadowed)
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
            {
                uint8_t& m = mask[static_cast<size_t>(y) * width + x];
                if (m == 0 && (full(x - 1, y) || full(x - 1, y - 1) || full(x, y - 1))) m = 128;
            }
}

// Turns a width x height mask a quarter turn in place, using temp (at least
// width x height bytes) as working space. Clockwise unless counterClockwise.
void TurnMask(uint8_t* mask, int32_t width, int32_t height, uint8_t* temp, bool counterClockwise)
{
    const size_t count = static_cast<size_t>(width) * height;
    std::memcpy(temp, mask, count);
    // The turned mask is height wide and width high.
    for (int32_t y = 0; y < width; ++y)
        for (int32_t x = 0; x < height; ++x)
        {
            const int32_t sx = counterClockwise ? width - 1 - y : y;
            const int32_t sy = counterClockwise ? x : height - 1 - x;
            mask[static_cast<size_t>(y) * height + x] = temp[static_cast<size_t>(sy) * width + sx];
        }
}
} // namespace

CachedFont::CachedFont()
{
    std::lock_guard<std::recursive_mutex> lock(SharedFontLock());
    ++LiveFonts();
}

CachedFont::~CachedFont()
{
    if ((flags_ & FontOwnsHandle) && font_) DeleteObject(font_);
    std::lock_guard<std::recursive_mutex> lock(SharedFontLock());
    if (--LiveFonts() == 0)
    {
        delete GlyphScratch();
        GlyphScratch() = nullptr;
        delete NativeScratch();
        NativeScratch() = nullptr;
    }
}

int CachedFont::LiveFontCount()
{
    std::lock_guard<std::recursive_mutex> lock(SharedFontLock());
    return LiveFonts();
}

bool CachedFont::HasScratchBitmaps()
{
    std::lock_guard<std::recursive_mutex> lock(SharedFontLock());
    return GlyphScratch() != nullptr || NativeScratch() != nullptr;
}

void CachedFont::AttachFontHandle(HFONT font, uint32_t flags)
{
    if ((flags_ & FontOwnsHandle) && font_ && font_ != font) DeleteObject(font_);
    flags_ = flags;
    font_ = font;
    if (font)
    {
        std::lock_guard<std::recursive_mutex> lock(SharedFontLock());
        DibBitmap* scratch = GlyphScratchOfSize(kScratchMinimum);
        HDC dc = scratch ? scratch->DeviceContext() : nullptr;
        if (dc)
        {
            HGDIOBJ previous = SelectObject(dc, font);
            TEXTMETRICA metrics{};
            if (GetTextMetricsA(dc, &metrics)) lineHeight_ = metrics.tmHeight;
            if (previous) SelectObject(dc, previous);
        }
    }
    std::memset(low_, 0, sizeof(low_));
    further_.SetSize(0, true);
    coverage_.SetSize(0, true);
    if ((flags_ & FontPrerender) && font_)
        for (uint32_t c = 0; c < 128; ++c)
            RenderGlyph(c);
}

RasterPixel CachedFont::SetForegroundColor(RasterPixel colour)
{
    return std::exchange(textColour_, colour);
}

RasterPixel CachedFont::SetBackgroundColor(RasterPixel colour)
{
    return std::exchange(backgroundColour_, colour);
}

RasterPixel CachedFont::SetEffectColor(RasterPixel colour)
{
    return std::exchange(effectColour_, colour);
}

int32_t CachedFont::SetBackgroundMode(int32_t mode)
{
    return std::exchange(backgroundMode_, mode);
}

void CachedFont::SetCombineMode(BlendMode mode, float alpha)
{
    combineMode_ = mode;
    alpha_ = alpha;
}

int32_t CachedFont::FurtherCount() const
{
    return further_.Size() / static_cast<int32_t>(sizeof(GlyphEntry));
}

CachedFont::GlyphEntry* CachedFont::FurtherEntries() const
{
    return static_cast<GlyphEntry*>(further_.Data());
}

const CachedFont::GlyphEntry* CachedFont::FindGlyph(uint32_t character) const
{
    if (character < 128) return &low_[character];
    GlyphEntry* begin = FurtherEntries();
    if (!begin) return nullptr;
    GlyphEntry* end = begin + FurtherCount();
    GlyphEntry* found =
        std::lower_bound(begin, end, character,
                         [](const GlyphEntry& e, uint32_t c) { return static_cast<uint32_t>(e.code) < c; });
    return found != end && static_cast<uint32_t>(found->code) == character ? found : nullptr;
}

CachedFont::GlyphEntry* CachedFont::MutableGlyph(uint32_t character)
{
    return const_cast<GlyphEntry*>(FindGlyph(character));
}

const uint8_t* CachedFont::Coverage(const GlyphEntry& entry) const
{
    const int64_t size = static_cast<int64_t>(entry.width) * entry.height;
    if (entry.offset < 1 || static_cast<int64_t>(entry.offset) - 1 + size > coverage_.Size()) return nullptr;
    return static_cast<const uint8_t*>(coverage_.Data()) + (entry.offset - 1);
}

bool CachedFont::RenderGlyph(uint32_t character)
{
    if (!font_ || lineHeight_ > kLargestRenderableLineHeight || character > 0xFFFF) return false;
    const bool wide = IsWideTextPlatform();
    GlyphEntry* entry = nullptr;
    bool appended = false;
    if (character < 128)
        entry = &low_[character];
    else
    {
        if (!wide) return false;
        entry = MutableGlyph(character);
        if (!entry)
        {
            if (flags_ & FontPrerender) return false;
            const int32_t count = FurtherCount();
            const int32_t bytes = (count + 1) * static_cast<int32_t>(sizeof(GlyphEntry));
            further_.SetSize(bytes, false);
            if (further_.Size() != bytes) return false;
            entry = FurtherEntries() + count;
            *entry = GlyphEntry{0, 0, 0, 0, static_cast<int32_t>(character)};
            appended = true;
        }
    }

    std::lock_guard<std::recursive_mutex> lock(SharedFontLock());
    const int32_t lineHeight = lineHeight_;
    DibBitmap* scratch = GlyphScratchOfSize(std::max(1, lineHeight) * 2 + 8);
    if (!scratch) return false;
    HDC dc = scratch->DeviceContext();
    HGDIOBJ previous = SelectObject(dc, font_);

    const WCHAR wideText[2] = {static_cast<WCHAR>(character), 0};
    const char byteText[2] = {static_cast<char>(character), 0};
    RECT measured{0, 0, 0, 0};
    if (wide)
        DrawTextW(dc, wideText, 1, &measured, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    else
        DrawTextA(dc, byteText, 1, &measured, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    const int32_t overhang = (lineHeight < 16 ? 0 : lineHeight / 16) + 2;
    int32_t advance = measured.right - measured.left;
    int32_t boxWidth = advance + overhang;
    int32_t boxHeight = measured.bottom - measured.top;
    FillRectangle(scratch, 0, 0, boxWidth, boxHeight, 0, 1.0f, kBlendCopy);
    RECT box{0, 0, boxWidth, boxHeight};
    if (wide)
        DrawTextW(dc, wideText, 1, &box, DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
    else
        DrawTextA(dc, byteText, 1, &box, DT_SINGLELINE | DT_NOPREFIX);
    advance = std::min(advance, scratch->Width());
    boxWidth = std::min(boxWidth, scratch->Width());
    boxHeight = std::min(boxHeight, scratch->Height());
    if (previous) SelectObject(dc, previous);

    if (advance < 1 || boxHeight < 1)
    {
        *entry = GlyphEntry{-1, 0, 0, 0, entry->code};
    }
    else
    {
        entry->advance = advance;
        if (flags_ & FontBlurred) BlurRectangle(scratch, scratch, 0, 0, 0, 0, boxWidth, boxHeight);
        const int32_t oldSize = coverage_.Size();
        const int64_t grown = static_cast<int64_t>(oldSize) + static_cast<int64_t>(boxWidth) * boxHeight;
        if (grown <= INT32_MAX) coverage_.SetSize(static_cast<int32_t>(grown), false);
        if (coverage_.Size() != grown)
        {
            *entry = GlyphEntry{-1, 0, 0, 0, entry->code};
        }
        else
        {
            uint8_t* mask = static_cast<uint8_t*>(coverage_.Data()) + oldSize;
            RasterPixel* pixels = scratch->Pixels();
            for (int32_t y = 0; y < boxHeight; ++y)
            {
                const RasterPixel* row =
                    RowWalk(pixels, scratch->Height(), scratch->RowSpan(), scratch->IsBottomUp(), y).row;
                for (int32_t x = 0; x < boxWidth; ++x)
                {
                    const uint8_t red = static_cast<uint8_t>(PixelRed(row[x]));
                    mask[static_cast<size_t>(y) * boxWidth + x] = (flags_ & FontInverted) ? 255 - red : red;
                }
            }
            // The glyph is as wide as its advance, or up to its right-most
            // covered column within the overhang.
            int32_t width = advance;
            for (int32_t x = boxWidth - 1; x >= advance && width == advance; --x)
                for (int32_t y = 0; y < boxHeight; ++y)
                    if (mask[static_cast<size_t>(y) * boxWidth + x] != 0)
                    {
                        width = x + 1;
                        break;
                    }
            if (width < boxWidth)
            {
                for (int32_t y = 1; y < boxHeight; ++y)
                    std::memmove(mask + static_cast<size_t>(y) * width,
                                 mask + static_cast<size_t>(y) * boxWidth, static_cast<size_t>(width));
                coverage_.SetSize(oldSize + width * boxHeight, false);
                mask = static_cast<uint8_t*>(coverage_.Data()) + oldSize;
            }
            int32_t height = boxHeight;
            if (flags_ & FontVertical)
            {
                TurnMask(mask, width, height, reinterpret_cast<uint8_t*>(pixels),
                         (flags_ & FontVerticalUpward) != 0);
                std::swap(width, height);
            }
            ApplyMaskEffects(mask, width, height, flags_);
            entry->offset = oldSize + 1;
            entry->width = width;
            entry->height = height;
        }
    }

    if (appended && FurtherCount() >= 2)
    {
        GlyphEntry* begin = FurtherEntries();
        std::sort(begin, begin + FurtherCount(),
                  [](const GlyphEntry& a, const GlyphEntry& b) { return a.code - b.code < 0; });
    }
    return true;
}
