#include "gui/IKnobControl.h"

#include "gui/IBitmapControl.h"
#include "gui/IGraphics.h"

IKnobControl::IKnobControl(IEffectBase* plug, const IRectangle& rect, int parameterIndex, int direction,
                           double gearing, const IBlendSpec& blend)
    : IControl(plug, rect, parameterIndex, blend), direction_(direction), gearing_(gearing)
{
}

void IKnobControl::OnMouseDragged(int /*x*/, int /*y*/, int dx, int dy, const IMouseModifiers& modifiers)
{
    double g = gearing_;
    if (modifiers.shift || modifiers.control) g *= kFineGearingFactor;
    double delta = 0.0;
    double length = 0.0;
    if (direction_ == kHorizontal)
    {
        delta = dx;
        length = static_cast<double>(rect_.right) - rect_.left;
    }
    else
    {
        delta = dy;
        length = static_cast<double>(rect_.top) - rect_.bottom;
    }
    if (length == 0.0 || g == 0.0) return;
    value_ += delta / length / g;
    MarkChanged(true);
}

IKnobMultiControl::IKnobMultiControl(IEffectBase* plug, int x, int y, int parameterIndex,
                                     const IBitmapStrip& strip, int direction, double gearing)
    : IKnobControl(plug, IBitmapControl::FrameRectAt(x, y, strip), parameterIndex, direction, gearing),
      strip_(strip)
{
}

IKnobMultiControl::IKnobMultiControl(IGraphics* graphics, int x, int y, int parameterIndex,
                                     const IBitmapStrip& strip, int direction, double gearing)
    : IKnobMultiControl(PlugOf(graphics), x, y, parameterIndex, strip, direction, gearing)
{
}

bool IKnobMultiControl::Paint(IGraphics* graphics)
{
    if (graphics == nullptr) return false;
    return graphics->DrawBitmapFrame(strip_, rect_,
                                     IBitmapControl::FrameForValue(strip_.FrameCount(), value_), &blend_);
}
