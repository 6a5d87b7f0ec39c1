// The module-wide caches of the editor object: decoded images by resource id and system fonts by
// size, orientation, style and face. One of each per process, shared by every editor instance,
// each guarded by its own lock. The records live until ReleaseModuleCaches (module unload).
#include <mutex>
#include <string>
#include <vector>

#include "graphics/CachedFont.h"
#include "graphics/RasterBitmap.h"
#include "gui/IGraphics.h"
#include "platform/gdi/Gdi.h"

namespace
{

struct BitmapRecord
{
    int resourceId; // -1 for bitmaps the program made itself
    RasterBitmap* bitmap;
};

struct FontRecord
{
    int32_t size;
    int32_t orientation;
    int32_t style;
    std::string face;
    CachedFont* font;
};

// Both caches are reached through pointers that are never destroyed by static destruction: their
// records hold platform objects whose own module-wide state may already be gone at process exit.
// ReleaseModuleCaches empties them explicitly.
struct BitmapCache
{
    std::mutex lock;
    std::vector<BitmapRecord> records;
};

struct FontCache
{
    std::mutex lock;
    std::vector<FontRecord> records;
};

BitmapCache& Bitmaps()
{
    static BitmapCache* cache = new BitmapCache();
    return *cache;
}

FontCache& Fonts()
{
    static FontCache* cache = new FontCache();
    return *cache;
}

// The CreateFontA quality for the style's quality: default, none, antialiased, ClearType.
DWORD FontQuality(int32_t quality)
{
    switch (quality)
    {
    case ITextStyle::kQualityNoAntialias:
        return NONANTIALIASED_QUALITY;
    case ITextStyle::kQualityAntialias:
        return ANTIALIASED_QUALITY;
    case ITextStyle::kQualityClearType:
        return CLEARTYPE_QUALITY;
    default:
        return DEFAULT_QUALITY;
    }
}

} // namespace

IBitmapStrip IGraphics::LoadBitmapResource(int resourceId, const char* name, int frames)
{
    IBitmapStrip strip;
    strip.frames = frames;
    strip.framesSideBySide = false;
    if (resourceId < 0) return strip;
    BitmapCache& cache = Bitmaps();
    std::lock_guard<std::mutex> guard(cache.lock);
    RasterBitmap* bitmap = nullptr;
    for (const BitmapRecord& record : cache.records)
    {
        if (record.resourceId == resourceId)
        {
            bitmap = record.bitmap;
            break;
        }
    }
    if (bitmap == nullptr)
    {
        // A missing image is a build fault; it is not cached, and every draw of the empty strip draws
        // nothing.
        bitmap = DecodeBitmapResource(resourceId, name);
        if (bitmap == nullptr) return strip;
        cache.records.push_back({resourceId, bitmap});
    }
    strip.bitmap = bitmap;
    strip.width = bitmap->Width();
    strip.height = bitmap->Height();
    return strip;
}

CachedFont* IGraphics::GetCachedFont(ITextStyle* style)
{
    if (style == nullptr) return nullptr;
    if (style->font != nullptr) return style->font;
    FontCache& cache = Fonts();
    std::lock_guard<std::mutex> guard(cache.lock);
    for (const FontRecord& record : cache.records)
    {
        if (record.size == style->size && record.orientation == style->orientation &&
            record.style == style->style && record.face == style->face)
        {
            style->font = record.font;
            return record.font;
        }
    }
    const int angle = style->orientation * 10;
    HFONT handle = CreateFontA(style->size, 0, angle, angle,
                               style->style == ITextStyle::kStyleBold ? FW_BOLD : FW_NORMAL,
                               style->style == ITextStyle::kStyleItalic ? TRUE : FALSE, FALSE, FALSE,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               FontQuality(style->quality), DEFAULT_PITCH | FF_DONTCARE, style->face);
    if (handle == nullptr) return nullptr;
    auto* font = new CachedFont();
    font->AttachFontHandle(handle, FontOwnsHandle | FontNativeDrawing);
    cache.records.push_back({style->size, style->orientation, style->style, style->face, font});
    style->font = font;
    return font;
}

void IGraphics::ReleaseModuleCaches()
{
    {
        BitmapCache& cache = Bitmaps();
        std::lock_guard<std::mutex> guard(cache.lock);
        for (BitmapRecord& record : cache.records)
            delete record.bitmap;
        cache.records.clear();
    }
    FontCache& cache = Fonts();
    std::lock_guard<std::mutex> guard(cache.lock);
    for (FontRecord& record : cache.records)
        delete record.font;
    cache.records.clear();
}

int IGraphics::CachedBitmapCount()
{
    BitmapCache& cache = Bitmaps();
    std::lock_guard<std::mutex> guard(cache.lock);
    return static_cast<int>(cache.records.size());
}

int IGraphics::CachedFontCount()
{
    FontCache& cache = Fonts();
    std::lock_guard<std::mutex> guard(cache.lock);
    return static_cast<int>(cache.records.size());
}
