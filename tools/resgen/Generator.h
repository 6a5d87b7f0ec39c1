#pragma once
// The resource generator: writes every built-in resource of the editor under an output root,
// in the folders the module's resource list names (resources/images, resources/fonts,
// resources/skin, resources/misc) plus the list itself, resources/resources.txt. The same
// inputs (this program, the font files, the FreeType, libpng and zlib libraries) always give
// the same bytes.

#include "tools/resgen/BitmapFontBuilder.h"

#include <cstdint>
#include <string>
#include <vector>

struct GeneratorOptions
{
    std::string outputRoot; // the folder that receives "resources/..."
    std::string fontFolder; // holds Carlito-Regular.ttf and Carlito-Bold.ttf
};

struct FontResource
{
    BitmapFontStyle style;
    uint16_t descriptionId; // TEXTFILE resource of the .fnt
    uint16_t imageId;       // PNG resource of the glyph image
};

// The folder the generator reads its faces from by default.
inline constexpr const char* kDefaultFontFolder = "/usr/share/fonts/truetype/crosextra";

// The five bitmap fonts the editor loads.
const std::vector<FontResource>& FontResources();
// The chord table text.
std::string ChordTableText();
// The resource list text (one "<type> <id> <path>" line per resource).
std::string ResourceListText();

// Writes everything. False, with a message in *error, when a face cannot be loaded, an image
// cannot be encoded or a file cannot be written; files written before the failure remain.
bool GenerateResources(const GeneratorOptions& options, std::string* error);
