#include "views/SettingsControl.h"

#include "gui/IGraphics.h"
#include "views/OverlayBox.h"

SettingsControl::SettingsControl(IEffectBase* plug, const IRectangle& rect, BitmapFont* font)
    : ITextControl(plug, rect), font_(font)
{
    SetBlend(IBlendSpec(IBlendSpec::kMethodAlphaCopy, 1.0f));
    // Hiding the panel repaints its area from what lies below.
    SetNotifyWhenHidden(true);
    titleLines_.push_back(BitmapTextLine{"GLOBAL SETTINGS", 0, 1, false});
}

void SettingsControl::AddOption(IControl* control, const char* label)
{
    if (control == nullptr) return;
    const IRectangle& box = GetRect();
    const IRectangle old = control->GetRect();
    const int x = box.left + kMargin;
    const int y = box.top + kRowHeight * (static_cast<int>(options_.size()) + 1);
    const IRectangle moved(x, y, x + old.Width(), y + old.Height());
    control->SetRect(moved);
    control->SetHitRect(moved);
    // An option of a hidden panel stays hidden until the panel shows.
    control->Hide(IsHidden());
    options_.push_back(Option{control, label != nullptr ? label : ""});
}

void SettingsControl::Hide(bool hide)
{
    IControl::Hide(hide);
    // Before the first measurement the panel's first paint shows the options;
    // hiding them never waits.
    if (measuredHeight_ < 0 && !hide) return;
    for (const Option& option : options_)
        option.control->Hide(hide);
}

IControl* SettingsControl::OptionAt(int x, int y) const
{
    for (const Option& option : options_)
        if (option.control->GetRect().Contains(x, y)) return option.control;
    return nullptr;
}

void SettingsControl::OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers)
{
    if (IControl* option = OptionAt(x, y))
        option->OnMouseButtonDown(x, y, modifiers);
    else
        Hide(!IsHidden());
}

void SettingsControl::OnInputTakenAsPress(int x, int y, const IMouseModifiers& /*modifiers*/, bool fromKey)
{
    if (fromKey || OptionAt(x, y) == nullptr) Hide(true);
}

bool SettingsControl::Paint(IGraphics* graphics)
{
    const bool measured = measuredHeight_ >= 0;
    IRectangle r = GetRect();
    const IRectangle inner = overlay::Inset(r, kMargin);
    if (!measured)
    {
        // The drawing pass follows at the next tick.
        IControl::MarkChanged(false);
        RequestRedraw();
        for (const Option& option : options_)
            option.control->Hide(IsHidden());
    }
    else
    {
        r.bottom = r.top + measuredHeight_;
        SetRect(r);
        SetHitRect(r);
        overlay::PaintBox(graphics, r);
    }

    int h = 0;
    if (font_ != nullptr)
    {
        std::vector<BitmapTextLine> copy = titleLines_;
        h = font_->DrawLines(graphics, copy, inner, !measured);
    }
    for (const Option& option : options_)
    {
        option.control->Paint(graphics);
        if (measured && font_ != nullptr)
        {
            const IRectangle& c = option.control->GetRect();
            font_->DrawString(graphics, option.label.c_str(),
                              IRectangle(inner.left + kLabelIndent, c.top, inner.right, c.bottom));
        }
        h += kRowHeight;
    }
    measuredHeight_ = h + 2 * kMargin;
    r.bottom = r.top + measuredHeight_;
    SetRect(r);
    SetHitRect(r);
    return measured;
}
