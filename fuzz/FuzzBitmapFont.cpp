// A bitmap-font description (XML), read into a font whose glyphs are then
// looked up for every character code.
#include "gui/BitmapFont.h"
#include "gui/BitmapFontDescription.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    BitmapFont font(nullptr, nullptr);
    ReadBitmapFontDescription(&font, text.c_str());
    for (int c = -1; c < 257; ++c)
        (void)font.FindGlyph(c);
    return 0;
}
