#pragma once
// Process-wide state shared by every CachedFont: the live-font count, the
// glyph scratch bitmap (characters are rendered into it one at a time), the
// native scratch bitmap (text drawn natively for bitmaps without a device
// context) and the once-per-process platform probes. All of it is used under
// SharedFontLock(); the last font destroyed deletes both scratch bitmaps.

#include "graphics/DibBitmap.h"

#include <mutex>

namespace cached_font_shared
{
std::recursive_mutex& SharedFontLock();

// Both under the lock. Null until first use.
DibBitmap*& GlyphScratch();
DibBitmap*& NativeScratch();
int& LiveFonts();

// True when the platform's Wine key exists (probed once).
bool RunsUnderWine();
// True on the platform family with wide-character text (probed once).
bool IsWideTextPlatform();

// Makes sure the glyph scratch exists and is at least size x size; when it
// is made or resized it becomes exactly size x size and its DC gets white
// text on an opaque black background. Null when it cannot be had.
DibBitmap* GlyphScratchOfSize(int size);
} // namespace cached_font_shared
