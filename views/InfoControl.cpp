#include "views/InfoControl.h"

#include "gui/IGraphics.h"
#include "views/OverlayBox.h"

#include <utility>

namespace
{
std::string Trimmed(const char* text)
{
    if (text == nullptr) return std::string();
    std::string s(text);
    const char* blank = " \t\r\n\f\v";
    const size_t first = s.find_first_not_of(blank);
    if (first == std::string::npos) return std::string();
    const size_t last = s.find_last_not_of(blank);
    return s.substr(first, last - first + 1);
}
} // namespace

InfoControl::InfoControl(IEffectBase* plug, const IRectangle& rect, BitmapFont* font)
    : ITextControl(plug, rect), font_(font)
{
    SetBlend(IBlendSpec(IBlendSpec::kMethodAlphaCopy, 1.0f));
    // Hiding the box repaints its area from what lies below (it lies outside every other view
    // that is repainted on its own).
    SetNotifyWhenHidden(true);
}

void InfoControl::OnMouseButtonDown(int /*x*/, int /*y*/, const IMouseModifiers& /*modifiers*/)
{
    Hide(!IsHidden());
}

void InfoControl::SetLines(std::vector<BitmapTextLine> lines)
{
    lines_ = std::move(lines);
}

void InfoControl::SetTexts(std::string name, std::string author, std::string description, std::string usage)
{
    texts_[0] = std::move(name);
    texts_[1] = std::move(author);
    texts_[2] = std::move(description);
    texts_[3] = std::move(usage);
}

bool InfoControl::Paint(IGraphics* graphics)
{
    const IRectangle inner = overlay::Inset(GetRect(), kInset);
    if (font_ == nullptr) return false;
    if (measuredHeight_ < 0)
    {
        std::vector<BitmapTextLine> copy = lines_;
        const int h = font_->DrawLines(graphics, copy, inner, true);
        measuredHeight_ = h + 2 * kInset;
        IRectangle r = GetRect();
        r.bottom = r.top + measuredHeight_;
        SetRect(r);
        SetHitRect(r);
        // The drawing pass follows at the next tick.
        IControl::MarkChanged(false);
        RequestRedraw();
        return false;
    }
    IRectangle r = GetRect();
    r.bottom = r.top + measuredHeight_;
    SetRect(r);
    SetHitRect(r);
    overlay::PaintBox(graphics, r);
    std::vector<BitmapTextLine> copy = lines_;
    font_->DrawLines(graphics, copy, inner);
    return true;
}

void InfoControl::ShowPresetInfo(const char* name, const char* author, const char* description,
                                 const char* usage)
{
    FormatPresetInfo(*this, name, author, description, usage);
    measuredHeight_ = -1;
    Hide(!IsHidden());
}

void FormatPresetInfo(InfoControl& box, const char* name, const char* author, const char* description,
                      const char* usage)
{
    box.SetLines({});
    box.SetTexts(Trimmed(name), Trimmed(author), Trimmed(description), Trimmed(usage));
    const IRectangle inner = overlay::Inset(box.GetRect(), InfoControl::kInset);
    bool any = false;
    for (int i = 0; i < 4; ++i)
        any = any || !box.GetText(i).empty();
    if (!any)
    {
        // Centred both ways: kept out of the wrapping, which would align it left and top.
        box.SetLines({BitmapTextLine{"NO INFO", 0, 0, false}});
        return;
    }
    if (box.GetFont() == nullptr) return;
    static const char* const kHeadings[4] = {"NAME:", "AUTHOR:", "DESCRIPTION:", "USAGE:"};
    std::vector<BitmapTextLine> paragraphs;
    for (int i = 0; i < 4; ++i)
    {
        paragraphs.push_back(BitmapTextLine{kHeadings[i], 1, 1, false});
        paragraphs.push_back(BitmapTextLine{box.GetText(i), 1, 1, true});
    }
    box.SetLines(SplitParagraphs(*box.GetFont(), paragraphs, inner));
}
