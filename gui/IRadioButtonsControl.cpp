#include "gui/IRadioButtonsControl.h"

#include <algorithm>
#include <cmath>

#include "gui/IGraphics.h"

namespace
{
constexpr int kFrameOff = 1;
constexpr int kFrameOn = 2;
} // namespace

IRadioButtonsControl::IRadioButtonsControl(IEffectBase* plug, const IRectangle& rect, int parameterIndex,
                                           int buttonCount, const IBitmapStrip& strip, int direction)
    : IControl(plug, rect, parameterIndex), buttons_(LayOutButtons(rect, buttonCount, strip, direction)),
      strip_(strip)
{
}

std::vector<IRectangle> IRadioButtonsControl::LayOutButtons(const IRectangle& rect, int buttonCount,
                                                            const IBitmapStrip& strip, int direction)
{
    std::vector<IRectangle> buttons;
    if (buttonCount < 1) return buttons;
    buttons.reserve(static_cast<size_t>(buttonCount));
    const int64_t w = strip.width;
    const int64_t h = strip.height / strip.FrameCount();
    const bool horizontal = direction == kHorizontal;
    // The free length shared out between the buttons, as a real number; truncated per step.
    double gap = 0.0;
    if (buttonCount > 1)
    {
        const double free =
            horizontal ? static_cast<double>(rect.right) - static_cast<double>(w) * buttonCount - rect.left
                       : static_cast<double>(rect.bottom) - static_cast<double>(h) * buttonCount - rect.top;
        gap = free / (buttonCount - 1);
    }
    const int64_t step = (horizontal ? w : h) + static_cast<int64_t>(std::trunc(gap));
    int64_t position = horizontal ? rect.left : rect.top;
    for (int i = 0; i < buttonCount; ++i)
    {
        const auto at = static_cast<int32_t>(position);
        if (horizontal)
        {
            buttons.emplace_back(at, rect.top, static_cast<int32_t>(position + w),
                                 static_cast<int32_t>(rect.top + h));
        }
        else
        {
            buttons.emplace_back(rect.left, at, static_cast<int32_t>(rect.left + w),
                                 static_cast<int32_t>(position + h));
        }
        position += step;
    }
    return buttons;
}

IRectangle IRadioButtonsControl::GetButtonRect(int i) const
{
    return i >= 0 && i < CountButtons() ? buttons_[static_cast<size_t>(i)] : IRectangle();
}

int IRadioButtonsControl::SelectedButton() const
{
    const int n = CountButtons();
    if (n < 1) return -1;
    const double value = value_;
    const double v = std::isfinite(value) ? value : 0.0;
    const double nearest = std::floor((n - 1) * v + 0.5);
    return static_cast<int>(std::clamp(nearest, 0.0, static_cast<double>(n - 1)));
}

bool IRadioButtonsControl::Paint(IGraphics* graphics)
{
    if (graphics == nullptr) return false;
    const int selected = SelectedButton();
    for (int i = 0; i < CountButtons(); ++i)
    {
        graphics->DrawBitmapFrame(strip_, buttons_[static_cast<size_t>(i)],
                                  i == selected ? kFrameOn : kFrameOff, &blend_);
    }
    return true;
}

int IRadioButtonsControl::FindButton(int x, int y, int lastButton) const
{
    const int n = lastButton >= 0 ? std::min(lastButton + 1, CountButtons()) : CountButtons();
    for (int i = 0; i < n; ++i)
    {
        const IRectangle& button = buttons_[static_cast<size_t>(i)];
        if (!button.IsEmpty() && button.Contains(x, y)) return i;
    }
    return -1;
}

void IRadioButtonsControl::SelectButton(int button)
{
    const int n = CountButtons();
    value_ = n > 1 ? static_cast<double>(button) / (n - 1) : 0.0;
}

void IRadioButtonsControl::OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers)
{
    if (modifiers.right)
    {
        IControl::OnMouseButtonDown(x, y, modifiers);
        return;
    }
    const int button = FindButton(x, y);
    if (button >= 0) SelectButton(button);
    MarkChanged(true);
}
