#include "gui/BitmapFontDescription.h"

#include <tinyxml2.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "gui/BitmapFont.h"

namespace
{

bool FitsInt32(int64_t v)
{
    return v >= INT32_MIN && v <= INT32_MAX;
}

// The attribute as the C library's integer conversion reads it, limited to 32 bits; *value
// unchanged when the element does not have the attribute.
void ReadInt(const tinyxml2::XMLElement* element, const char* name, int32_t* value)
{
    const char* text = element->Attribute(name);
    if (text == nullptr) return;
    const long long number = std::strtoll(text, nullptr, 10);
    *value = static_cast<int32_t>(std::clamp<long long>(number, INT32_MIN, INT32_MAX));
}

// The attribute values of one character, carried over from one "char" element to the next.
struct CharValues
{
    int32_t id = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t yoffset = 0;
    int32_t xoffset = 0;
    int32_t xadvance = 0;

    void Read(const tinyxml2::XMLElement* element)
    {
        ReadInt(element, "id", &id);
        ReadInt(element, "x", &x);
        ReadInt(element, "y", &y);
        ReadInt(element, "width", &width);
        ReadInt(element, "height", &height);
        ReadInt(element, "yoffset", &yoffset);
        ReadInt(element, "xoffset", &xoffset);
        ReadInt(element, "xadvance", &xadvance);
    }
};

} // namespace

bool ReadBitmapFontDescription(BitmapFont* font, const char* description)
{
    if (font == nullptr || description == nullptr) return false;
    tinyxml2::XMLDocument document;
    if (document.Parse(description) != tinyxml2::XML_SUCCESS) return false;
    const tinyxml2::XMLElement* root = document.FirstChildElement("font");
    if (root == nullptr) return true;

    if (const tinyxml2::XMLElement* common = root->FirstChildElement("common"))
    {
        int32_t lineHeight = font->GetLineHeight();
        ReadInt(common, "lineHeight", &lineHeight);
        font->SetLineHeight(lineHeight);
    }

    const tinyxml2::XMLElement* chars = root->FirstChildElement("chars");
    if (chars == nullptr) return true;
    CharValues values;
    for (const tinyxml2::XMLElement* element = chars->FirstChildElement("char"); element != nullptr;
         element = element->NextSiblingElement("char"))
    {
        values.Read(element);
        const int64_t right = static_cast<int64_t>(values.x) + values.width;
        const int64_t bottom = static_cast<int64_t>(values.y) + values.height;
        const int64_t yOffset = static_cast<int64_t>(values.yoffset) - font->GetLineHeight();
        if (!FitsInt32(right) || !FitsInt32(bottom) || !FitsInt32(yOffset)) continue;
        BitmapFontGlyph glyph;
        glyph.yOffset = static_cast<int32_t>(yOffset);
        glyph.xOffset = values.xoffset;
        glyph.source =
            IRectangle(values.x, values.y, static_cast<int32_t>(right), static_cast<int32_t>(bottom));
        glyph.xAdvance = values.xadvance;
        font->SetGlyph(values.id, glyph);
    }
    return true;
}
