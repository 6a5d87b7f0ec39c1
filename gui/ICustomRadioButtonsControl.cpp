#include "gui/ICustomRadioButtonsControl.h"

#include "gui/BitmapFont.h"
#include "gui/IGraphics.h"

namespace
{
constexpr int kFrameOff = 1;
constexpr int kFrameOn = 2;
} // namespace

ICustomRadioButtonsControl::ICustomRadioButtonsControl(IEffectBase* plug, const IRectangle& rect,
                                                       int parameterIndex, int buttonCount,
                                                       const IBitmapStrip& strip, const BitmapFont* font,
                                                       int blendMethod)
    : IRadioButtonsControl(plug, rect, parameterIndex, buttonCount, strip, kHorizontal), labelFont_(font)
{
    blend_ = IBlendSpec(blendMethod, 1.0f);
    promptsDisabled_ = 1;
}

ICustomRadioButtonsControl::ICustomRadioButtonsControl(IGraphics* graphics, const IRectangle& rect,
                                                       int parameterIndex, int buttonCount,
                                                       const IBitmapStrip& strip, const BitmapFont* font,
                                                       int blendMethod)
    : ICustomRadioButtonsControl(PlugOf(graphics), rect, parameterIndex, buttonCount, strip, font,
                                 blendMethod)
{
}

bool ICustomRadioButtonsControl::Paint(IGraphics* graphics)
{
    if (graphics == nullptr) return false;
    const int selected = SelectedButton();
    for (int i = 0; i < CountButtons(); ++i)
    {
        const bool disabled = IsDisabled(i);
        const bool on = (i == selected && active_) || disabled;
        const IBlendSpec blend(blend_.method, disabled ? kDisabledWeight : 1.0f);
        graphics->DrawBitmapFrame(strip_, buttons_[static_cast<size_t>(i)], on ? kFrameOn : kFrameOff,
                                  &blend);
    }
    if (labelFont_ != nullptr)
    {
        for (int i = 0; i < CountButtons(); ++i)
        {
            labelFont_->DrawString(graphics, GetLabel(i), buttons_[static_cast<size_t>(i)]);
        }
    }
    return true;
}

void ICustomRadioButtonsControl::HitTest(int x, int y, const IMouseModifiers& modifiers)
{
    if (modifiers.right)
    {
        OpenValuePrompt(x, y);
        return;
    }
    const int button = FindButton(x, y, lastEnabled_);
    if (button >= 0) SelectButton(button);
    MarkChanged(true);
}

void ICustomRadioButtonsControl::OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers)
{
    if (!modifiers.right)
    {
        HitTest(x, y, modifiers);
    }
    else if (menuOnRightClick_)
    {
        IMouseModifiers asLeft = modifiers;
        asLeft.left = true;
        asLeft.right = false;
        HitTest(x, y, asLeft);
        // The menu parameter's prompt, past the disabled-prompts flag: that flag stands for the stock
        // value prompt of a right press, which this row replaces by its menu.
        if (menuParameterIndex_ >= 0)
        {
            PromptForParameter(x, y, menuParameterIndex_);
            RequestRedraw();
        }
    }
    MarkChanged(true);
    NotifyMouseEvent(x, y, IObserverInterface::kMouseUp, modifiers);
}

void ICustomRadioButtonsControl::OnMouseDoubleClicked(int /*x*/, int /*y*/,
                                                      const IMouseModifiers& /*modifiers*/)
{
}

void ICustomRadioButtonsControl::OnMouseHover(int x, int y, const IMouseModifiers& modifiers)
{
    if (linked_ != nullptr) linked_->OnMouseHover(x, y, modifiers);
}

void ICustomRadioButtonsControl::OnMouseLeft()
{
    MarkChanged(false);
    if (linked_ != nullptr) linked_->OnMouseLeft();
}

void ICustomRadioButtonsControl::SetLabels(const std::vector<std::string>& labels)
{
    labels_.clear();
    labels_.reserve(labels.size());
    for (const std::string& label : labels)
        labels_.push_back(label.substr(0, kLabelChars));
    MarkChanged(false);
}

const char* ICustomRadioButtonsControl::GetLabel(int i) const
{
    return i >= 0 && i < static_cast<int>(labels_.size()) ? labels_[static_cast<size_t>(i)].c_str() : "";
}

void ICustomRadioButtonsControl::SetActive(bool active)
{
    if (active_ == active) return;
    active_ = active;
    MarkChanged(false);
}

void ICustomRadioButtonsControl::SetLastEnabledButton(int button)
{
    lastEnabled_ = button < 0 ? -1 : button;
    MarkChanged(false);
}
