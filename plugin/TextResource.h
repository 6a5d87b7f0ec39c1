// Text resources built into the module: their ids and names, the loader the readers of the skin
// layout and the chord table take the text through, and the integer conversion both formats use.
#pragma once

#include "platform/types/Win32Types.h"

#include <functional>
#include <string_view>

class IGraphics;

// "TEXTFILE" resources of the module.
inline constexpr int kSkinTextResourceId = 100;
inline constexpr const char* kSkinTextResourceName = "resources/skin/Quova.skin";
inline constexpr int kChordTableResourceId = 145;
inline constexpr const char* kChordTableResourceName = "resources/misc/chordmemory.res";

// The name a text resource is loaded with ("resources/..."), or null for an id the module does not
// carry as text (the skin, the chord table and the five bitmap-font descriptions).
const char* TextResourceName(int id);

// Gives the zero-terminated text of text resource id, or null when it is missing. The text stays
// valid while the module (or the editor object it came through) exists.
using TextResourceLoader = std::function<const char*(int id)>;

// A loader over the "TEXTFILE" resources of module (null: the plug-in's own module). Any thread.
TextResourceLoader ModuleTextResources(HMODULE module);

// A loader over the editor object's text-resource loader, naming each id by TextResourceName.
// graphics must outlive the loader; a null graphics gives a loader that finds nothing.
TextResourceLoader GraphicsTextResources(IGraphics* graphics);

// The C library's decimal conversion (leading blanks, an optional sign, then digits up to the
// first other character; text without digits gives 0), except that values beyond the int range
// saturate at its ends instead of being undefined.
int TextToInt(std::string_view text);
