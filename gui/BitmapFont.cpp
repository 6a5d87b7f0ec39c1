#include "gui/BitmapFont.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "gui/BitmapFontDescription.h"
#include "gui/IGraphics.h"

namespace
{

constexpr char kLineFeed = '\n';
constexpr int kDot = '.';
const char kDots[] = "..";

bool FitsInt32(int64_t v)
{
    return v >= INT32_MIN && v <= INT32_MAX;
}

int32_t SaturateInt32(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

} // namespace

BitmapFont::BitmapFont(const IBitmapStrip* bitmap, const char* description) : bitmap_(bitmap)
{
    ReadBitmapFontDescription(this, description);
}

const BitmapFontGlyph* BitmapFont::FindGlyph(int c) const
{
    const auto found = glyphs_.find(c);
    return found != glyphs_.end() ? &found->second : nullptr;
}

int32_t BitmapFont::Advance(int c) const
{
    const BitmapFontGlyph* glyph = FindGlyph(c);
    return glyph != nullptr ? glyph->xAdvance : 0;
}

int64_t BitmapFont::MeasureWidth(const char* text) const
{
    int64_t width = 0;
    if (text == nullptr) return 0;
    for (const char* p = text; *p != '\0'; ++p)
    {
        if (IsSkippedByte(*p)) continue;
        width += Advance(*p == kLineFeed ? ' ' : static_cast<unsigned char>(*p));
    }
    return width;
}

bool BitmapFont::DrawString(IGraphics* graphics, const char* text, const IRectangle& rect,
                            bool measureOnly) const
{
    if (text == nullptr) return true;
    // The working copy: always one line.
    std::string line(text);
    std::replace(line.begin(), line.end(), kLineFeed, ' ');
    if (line.empty()) return true;

    // Measuring pass, cutting a string that runs too far past the right edge.
    const int64_t dotsWidth = 2 * static_cast<int64_t>(Advance(kDot));
    const int64_t limit = static_cast<int64_t>(rect.right) - rect.left + kOverflowAllowance;
    int64_t width = 0;
    for (size_t i = 0; i < line.size(); ++i)
    {
        if (IsSkippedByte(line[i])) continue;
        const int64_t advance = Advance(static_cast<unsigned char>(line[i]));
        width += advance;
        if (width > limit)
        {
            width += dotsWidth - 2 * advance;
            line.resize(i >= 2 ? i - 2 : 0);
            line += kDots;
            break;
        }
    }

    int64_t pen = rect.left;
    if (leftAligned_ == 0)
    {
        const double half =
            (static_cast<double>(rect.right) - rect.left) * 0.5 - static_cast<double>(width) * 0.5 + 0.5;
        pen += static_cast<int64_t>(std::trunc(half));
    }
    const bool draw = !measureOnly && graphics != nullptr && bitmap_ != nullptr;
    const double halfHeight = (static_cast<double>(rect.bottom) - rect.top) * 0.5;
    for (const char c : line)
    {
        if (IsSkippedByte(c)) continue;
        const BitmapFontGlyph* glyph = FindGlyph(static_cast<unsigned char>(c));
        if (glyph == nullptr) continue;
        const int64_t y =
            topAligned_ != 0
                ? static_cast<int64_t>(rect.top) + lineHeight_ + glyph->yOffset
                : static_cast<int64_t>(std::trunc(
                      halfHeight + (static_cast<double>(glyph->yOffset) + rect.top) + lineHeight_ * 0.5));
        const int64_t x = pen + glyph->xOffset;
        if (draw)
        {
            const int64_t right = x + glyph->source.Width();
            const int64_t bottom = y + glyph->source.Height();
            // A glyph pushed beyond the coordinate range lies off the bitmap anyway.
            if (FitsInt32(x) && FitsInt32(y) && FitsInt32(right) && FitsInt32(bottom))
            {
                const IRectangle dest(static_cast<int32_t>(x), static_cast<int32_t>(y),
                                      static_cast<int32_t>(right), static_cast<int32_t>(bottom));
                graphics->DrawBitmapRegion(*bitmap_, dest, glyph->source.left, glyph->source.top, &blend_);
            }
        }
        pen += glyph->xAdvance;
    }
    return true;
}

int BitmapFont::DrawLines(IGraphics* graphics, std::vector<BitmapTextLine>& lines, const IRectangle& rect,
                          bool measureOnly)
{
    int64_t total = 0;
    for (size_t k = 0; k < lines.size(); ++k)
    {
        const BitmapTextLine& line = lines[k];
        leftAligned_ = line.leftAligned;
        topAligned_ = line.topAligned;
        const int32_t inset = line.indented ? kIndent : 0;
        const int64_t top =
            static_cast<int64_t>(rect.top) + static_cast<int64_t>(lineHeight_) * static_cast<int64_t>(k);
        total += lineHeight_;
        if (!FitsInt32(top)) continue; // so far down that nothing of it can show
        const IRectangle lineRect(SaturateInt32(static_cast<int64_t>(rect.left) + inset),
                                  static_cast<int32_t>(top),
                                  SaturateInt32(static_cast<int64_t>(rect.right) - inset), rect.bottom);
        DrawString(graphics, line.text.c_str(), lineRect, measureOnly);
    }
    leftAligned_ = 0;
    topAligned_ = 0;
    lines.clear();
    return SaturateInt32(total);
}

std::vector<BitmapTextLine> WrapTextToWidth(const BitmapFont& font, const BitmapTextLine& paragraph,
                                            const IRectangle& rect)
{
    const std::string& text = paragraph.text;
    std::vector<BitmapTextLine> lines;
    const auto lineOf = [&](std::string part)
    {
        BitmapTextLine line;
        line.text = std::move(part);
        line.leftAligned = 1;
        line.topAligned = 1;
        line.indented = paragraph.indented;
        return line;
    };
    const int64_t limit = static_cast<int64_t>(rect.right) - rect.left - BitmapFont::kWrapAllowance;
    int64_t width = 0;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (BitmapFont::IsSkippedByte(text[i])) continue;
        width += font.Advance(static_cast<unsigned char>(text[i]));
        if (width > limit)
        {
            lines.push_back(lineOf(text.substr(start, i - start)));
            start = i;
            width = 0;
        }
    }
    if (lines.empty())
    {
        lines.push_back(lineOf(text));
    }
    else
    {
        lines.push_back(lineOf(text.substr(start)));
    }
    return lines;
}

std::vector<BitmapTextLine> SplitParagraphs(const BitmapFont& font, std::vector<BitmapTextLine>& paragraphs,
                                            const IRectangle& rect)
{
    std::vector<BitmapTextLine> lines;
    for (const BitmapTextLine& paragraph : paragraphs)
    {
        std::vector<BitmapTextLine> wrapped = WrapTextToWidth(font, paragraph, rect);
        lines.insert(lines.end(), std::make_move_iterator(wrapped.begin()),
                     std::make_move_iterator(wrapped.end()));
    }
    paragraphs.clear();
    return lines;
}
