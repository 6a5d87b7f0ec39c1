#include "plugin/SkinLayout.h"

#include "plugin/ControlZoneFile.h"

#include <climits>
#include <cstdint>
#include <string>

namespace
{

// The line without one carriage return at its end.
std::string_view WithoutCarriageReturn(std::string_view line)
{
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::vector<std::string_view> BlankSeparatedFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    size_t i = 0;
    while (i < line.size())
    {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        const size_t start = i;
        while (i < line.size() && !IsBlank(line[i]))
            ++i;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

int32_t Saturated(int64_t value)
{
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

void AppendSkinLine(SkinLayout* layout, std::string_view line)
{
    if (line.find('/') != std::string_view::npos) return;
    const std::vector<std::string_view> fields = BlankSeparatedFields(line);
    if (fields.size() < 2) return;
    const int32_t x1 = TextToInt(fields[0]);
    const int32_t y1 = TextToInt(fields[1]);
    const int32_t x2 = fields.size() >= 4 ? TextToInt(fields[2]) : 0;
    const int32_t y2 = fields.size() >= 4 ? TextToInt(fields[3]) : 0;
    if (fields.size() != 5)
    {
        layout->Append(IRectangle(x1, y1, x2, y2));
        return;
    }
    int count = TextToInt(fields[4]);
    if (count > kMaxSkinRepeat) count = kMaxSkinRepeat;
    // 64-bit: a width near the int range times a count would overflow 32 bits.
    const int64_t width = static_cast<int64_t>(x2) - x1;
    for (int k = 0; k < count; ++k)
    {
        const int64_t shift = width * k;
        layout->Append(IRectangle(Saturated(x1 + shift), y1, Saturated(x2 + shift), y2));
    }
}

} // namespace

const IRectangle* SkinLayout::Get(int position) const
{
    if (position < 0 || position >= Size()) return nullptr;
    return &rectangles_[static_cast<size_t>(position)];
}

IRectangle SkinLayout::At(int position) const
{
    const IRectangle* r = Get(position);
    return r != nullptr ? *r : IRectangle();
}

void AppendSkinText(SkinLayout* layout, std::string_view text)
{
    if (layout == nullptr) return;
    for (const std::string& line : SplitString(std::string(text), '\n'))
        AppendSkinLine(layout, WithoutCarriageReturn(line));
}

bool ReadSkinLayout(SkinLayout* layout, const TextResourceLoader& load)
{
    if (layout == nullptr || !load) return false;
    const char* text = load(kSkinTextResourceId);
    if (text == nullptr) return false;
    SkinLayout read;
    AppendSkinText(&read, text);
    *layout = std::move(read);
    return true;
}

bool ReadSkinLayout(SkinLayout* layout, IGraphics* graphics)
{
    if (graphics == nullptr) return false;
    return ReadSkinLayout(layout, GraphicsTextResources(graphics));
}
