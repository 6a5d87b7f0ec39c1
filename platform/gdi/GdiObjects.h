#pragma once
// Internal records of the GDI stand-in: the device context behind HDC, the registry that
// validates handles, and the pixel view a DC draws into (the object records are in
// GdiHandles.h).
// Every function here expects the caller to hold GdiLock().

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"

#include <cstddef>
#include <cstdint>
#include <mutex>

// Where a DC's drawing lands: row y starts at row0 + y * stride (stride in words,
// negative for bottom-up storage). clip is the drawable area in target coordinates.
struct PixelTarget
{
    uint32_t* row0 = nullptr;
    ptrdiff_t stride = 0;
    int width = 0;
    int height = 0;
    RECT clip = {0, 0, 0, 0};
    bool screen = false; // a window surface: pixels become opaque when copied onto it

    uint32_t* Row(int y) const { return row0 + stride * y; }
    bool Empty() const { return row0 == nullptr || clip.left >= clip.right || clip.top >= clip.bottom; }
};

struct PlatformDC
{
    enum class Kind
    {
        Memory,
        Surface
    };

    PlatformDC() = default;
    PlatformDC(const PlatformDC&) = delete;
    PlatformDC& operator=(const PlatformDC&) = delete;

    Kind kind = Kind::Memory;
    PlatformBitmap* bitmap = nullptr; // memory DCs
    PixelSurface* surface = nullptr;  // window DCs
    bool hasClip = false;             // window DCs: clip below applies
    RECT clip = {0, 0, 0, 0};
    PlatformFont* font = nullptr;
    COLORREF textColor = 0x000000;
    COLORREF bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
};

// The process-wide lock every GDI entry point takes.
std::mutex& GdiLock();

// Handle registry: objects and DCs are known from creation to deletion.
void RegisterObject(PlatformGdiObject* object);
void UnregisterObject(PlatformGdiObject* object);
bool IsLiveObject(const void* object);
void RegisterDC(PlatformDC* dc);
void UnregisterDC(PlatformDC* dc);
PlatformDC* LiveDC(HDC dc); // null when dc is not a live DC

// Stock objects a new DC starts with (the font may be null when no face loads).
PlatformBitmap* StockBitmap();
PlatformFont* StockFont();

// The pixels a DC draws into, with its clip; an empty target when there are none.
PixelTarget TargetOf(const PlatformDC& dc);

// Intersects a with b into a; returns false when the result is empty.
bool IntersectRects(RECT& a, const RECT& b);

// Makes a font record for the request (the CreateFontA logic without the lock).
PlatformFont* MakeFont(int height, int weight, bool italic, bool underline, bool strikeOut, DWORD charSet,
                       DWORD quality, DWORD pitchAndFamily, const char* faceName);
