// Handle registry, stock objects, device contexts and object selection.

#include "platform/gdi/GdiObjects.h"

#include "platform/gdi/FontFace.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <unordered_set>

namespace
{

// Surfaces are at most this many pixels wide and high (a window larger than any screen).
constexpr int kMaxSurfaceSide = 16384;

std::unordered_set<const void*>& LiveObjects()
{
    static auto* set = new std::unordered_set<const void*>(); // lives as long as the process
    return *set;
}

std::unordered_set<const void*>& LiveDCs()
{
    static auto* set = new std::unordered_set<const void*>();
    return *set;
}

void Deselect(PlatformGdiObject* object)
{
    if (object && object->selections > 0) --object->selections;
}

} // namespace

std::mutex& GdiLock()
{
    // Never destroyed: objects held by other static objects may be deleted during exit.
    static auto* lock = new std::mutex();
    return *lock;
}

PlatformBitmap::~PlatformBitmap()
{
    std::free(bits);
}

PlatformFont::~PlatformFont()
{
    delete face;
}

void RegisterObject(PlatformGdiObject* object)
{
    LiveObjects().insert(object);
}

void UnregisterObject(PlatformGdiObject* object)
{
    LiveObjects().erase(object);
}

bool IsLiveObject(const void* object)
{
    return object && LiveObjects().count(object) != 0;
}

void RegisterDC(PlatformDC* dc)
{
    LiveDCs().insert(dc);
}

void UnregisterDC(PlatformDC* dc)
{
    LiveDCs().erase(dc);
}

PlatformDC* LiveDC(HDC dc)
{
    return dc && LiveDCs().count(dc) != 0 ? dc : nullptr;
}

PlatformBitmap* StockBitmap()
{
    // A memory DC starts with a 1 x 1 bitmap, as on the platform.
    static PlatformBitmap* bitmap = []
    {
        auto* b = new PlatformBitmap();
        b->stock = true;
        b->width = 1;
        b->height = 1;
        b->bits = static_cast<uint32_t*>(std::calloc(1, sizeof(uint32_t)));
        RegisterObject(b);
        return b;
    }();
    return bitmap;
}

PlatformFont* StockFont()
{
    // The system font: a bold sans-serif face, 16 pixels cell height.
    static PlatformFont* font = []
    {
        PlatformFont* f =
            MakeFont(16, FW_BOLD, false, false, false, DEFAULT_CHARSET, DEFAULT_QUALITY, 0, "System");
        if (f)
        {
            f->stock = true;
            RegisterObject(f);
        }
        return f;
    }();
    return font;
}

bool IntersectRects(RECT& a, const RECT& b)
{
    a.left = std::max(a.left, b.left);
    a.top = std::max(a.top, b.top);
    a.right = std::min(a.right, b.right);
    a.bottom = std::min(a.bottom, b.bottom);
    if (a.left >= a.right || a.top >= a.bottom)
    {
        a = RECT{0, 0, 0, 0};
        return false;
    }
    return true;
}

PixelTarget TargetOf(const PlatformDC& dc)
{
    PixelTarget t;
    if (dc.kind == PlatformDC::Kind::Memory)
    {
        const PlatformBitmap* b = dc.bitmap;
        if (!b || !b->bits || b->width <= 0 || b->height <= 0) return t;
        t.width = b->width;
        t.height = b->height;
        if (b->bottomUp)
        {
            t.row0 = b->bits + static_cast<ptrdiff_t>(b->height - 1) * b->width;
            t.stride = -static_cast<ptrdiff_t>(b->width);
        }
        else
        {
            t.row0 = b->bits;
            t.stride = b->width;
        }
        t.clip = RECT{0, 0, b->width, b->height};
        return t;
    }

    PixelSurface* s = dc.surface;
    if (!s || s->width <= 0 || s->height <= 0 ||
        s->pixels.size() < static_cast<size_t>(s->width) * static_cast<size_t>(s->height))
        return t;
    t.row0 = s->pixels.data();
    t.stride = s->width;
    t.width = s->width;
    t.height = s->height;
    t.screen = true;
    t.clip = RECT{0, 0, s->width, s->height};
    if (dc.hasClip) IntersectRects(t.clip, dc.clip);
    return t;
}

void PixelSurface::Resize(int w, int h)
{
    w = std::clamp(w, 0, kMaxSurfaceSide);
    h = std::clamp(h, 0, kMaxSurfaceSide);
    if (w == width && h == height) return;
    std::vector<uint32_t> resized;
    try
    {
        resized.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    }
    catch (const std::bad_alloc&)
    {
        // No memory for the new size: the surface becomes empty rather than failing.
        pixels.clear();
        width = height = 0;
        return;
    }
    const int keepW = std::min(w, width);
    const int keepH = std::min(h, height);
    for (int y = 0; y < keepH; ++y)
        std::copy_n(pixels.begin() + static_cast<ptrdiff_t>(y) * width, keepW,
                    resized.begin() + static_cast<ptrdiff_t>(y) * w);
    pixels.swap(resized);
    width = w;
    height = h;
}

HDC CreateCompatibleDC(HDC dc)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    if (dc && !LiveDC(dc)) return nullptr;
    auto* created = new PlatformDC();
    created->kind = PlatformDC::Kind::Memory;
    created->bitmap = StockBitmap();
    created->bitmap->selections++;
    created->font = StockFont();
    if (created->font) created->font->selections++;
    RegisterDC(created);
    return created;
}

namespace
{

void DestroyDC(PlatformDC* dc)
{
    Deselect(dc->bitmap);
    Deselect(dc->font);
    UnregisterDC(dc);
    delete dc;
}

} // namespace

BOOL DeleteDC(HDC dc)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    PlatformDC* live = LiveDC(dc);
    if (!live || live->kind != PlatformDC::Kind::Memory) return FALSE;
    DestroyDC(live);
    return TRUE;
}

HDC CreateSurfaceDC(PixelSurface* surface)
{
    if (!surface) return nullptr;
    std::lock_guard<std::mutex> guard(GdiLock());
    auto* dc = new PlatformDC();
    dc->kind = PlatformDC::Kind::Surface;
    dc->surface = surface;
    dc->font = StockFont();
    if (dc->font) dc->font->selections++;
    RegisterDC(dc);
    return dc;
}

void ReleaseSurfaceDC(HDC dc)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    PlatformDC* live = LiveDC(dc);
    if (live && live->kind == PlatformDC::Kind::Surface) DestroyDC(live);
}

BOOL SetSurfaceDCClip(HDC dc, const RECT* clip)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    PlatformDC* live = LiveDC(dc);
    if (!live || live->kind != PlatformDC::Kind::Surface) return FALSE;
    live->hasClip = clip != nullptr;
    live->clip = clip ? *clip : RECT{0, 0, 0, 0};
    return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    PlatformDC* live = LiveDC(dc);
    if (!live || !IsLiveObject(object)) return nullptr;

    if (object->kind == PlatformGdiObject::Kind::Bitmap)
    {
        auto* bitmap = static_cast<PlatformBitmap*>(object);
        // Bitmaps go into memory DCs only, and into one at a time (the stock one excepted).
        if (live->kind != PlatformDC::Kind::Memory) return nullptr;
        if (bitmap == live->bitmap) return bitmap;
        if (!bitmap->stock && bitmap->selections > 0) return nullptr;
        PlatformBitmap* previous = live->bitmap;
        Deselect(previous);
        live->bitmap = bitmap;
        bitmap->selections++;
        return previous;
    }

    auto* font = static_cast<PlatformFont*>(object);
    PlatformFont* previous = live->font;
    if (font == previous) return font;
    Deselect(previous);
    live->font = font;
    font->selections++;
    return previous;
}

BOOL DeleteObject(HGDIOBJ object)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    if (!IsLiveObject(object)) return FALSE;
    if (object->stock) return TRUE;
    if (object->selections > 0) return FALSE;
    UnregisterObject(object);
    delete object;
    return TRUE;
}
