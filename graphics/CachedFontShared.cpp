#include "graphics/CachedFontShared.h"

#include "platform/gdi/Gdi.h"
#include "platform/win32/Registry.h"
#include "platform/win32/Shell.h"

namespace cached_font_shared
{
std::recursive_mutex& SharedFontLock()
{
    static std::recursive_mutex lock;
    return lock;
}

DibBitmap*& GlyphScratch()
{
    static DibBitmap* scratch = nullptr;
    return scratch;
}

DibBitmap*& NativeScratch()
{
    static DibBitmap* scratch = nullptr;
    return scratch;
}

int& LiveFonts()
{
    static int count = 0;
    return count;
}

bool RunsUnderWine()
{
    static const bool wine = []
    {
        HKEY key = nullptr;
        if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Wine", &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }();
    return wine;
}

bool IsWideTextPlatform()
{
    static const bool wide = GetVersion() < 0x80000000u;
    return wide;
}

DibBitmap* GlyphScratchOfSize(int size)
{
    DibBitmap*& scratch = GlyphScratch();
    bool prepare = false;
    if (!scratch)
    {
        scratch = new DibBitmap(size, size);
        prepare = true;
    }
    else if (scratch->Width() < size || scratch->Height() < size)
    {
        scratch->SetSize(size, size);
        prepare = true;
    }
    HDC dc = scratch->DeviceContext();
    if (!dc || !scratch->Pixels() || scratch->Width() < size || scratch->Height() < size) return nullptr;
    if (prepare)
    {
        SetTextColor(dc, 0xFFFFFF);
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, 0);
    }
    return scratch;
}
} // namespace cached_font_shared
