#include "plugin/TextResource.h"

#include "gui/IGraphics.h"
#include "platform/resources/Resources.h"

#include <climits>
#include <cstdlib>
#include <string>

namespace
{

struct NamedTextResource
{
    int id;
    const char* name;
};

constexpr NamedTextResource kTextResources[] = {
    {kSkinTextResourceId, kSkinTextResourceName},    {kChordTableResourceId, kChordTableResourceName},
    {114, "resources/fonts/Calibri_12px.fnt"},       {116, "resources/fonts/Calibri_14px.fnt"},
    {120, "resources/fonts/Calibri_12px_white.fnt"}, {140, "resources/fonts/Calibri_10px.fnt"},
    {150, "resources/fonts/Calibri_12px_black.fnt"},
};

} // namespace

const char* TextResourceName(int id)
{
    for (const NamedTextResource& r : kTextResources)
        if (r.id == id) return r.name;
    return nullptr;
}

TextResourceLoader ModuleTextResources(HMODULE module)
{
    return [module](int id) -> const char*
    {
        if (id <= 0 || id > 0xFFFF) return nullptr;
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(static_cast<WORD>(id)), "TEXTFILE");
        if (found == nullptr) return nullptr;
        // Every resource of the module is followed by a zero byte, so its bytes read as text.
        return static_cast<const char*>(LockResource(LoadResource(module, found)));
    };
}

TextResourceLoader GraphicsTextResources(IGraphics* graphics)
{
    return [graphics](int id) -> const char*
    {
        if (graphics == nullptr) return nullptr;
        return graphics->LoadTextResource(id, TextResourceName(id));
    };
}

int TextToInt(std::string_view text)
{
    // strtol needs a terminated string; the fields are short.
    const std::string field(text);
    const long value = std::strtol(field.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}
