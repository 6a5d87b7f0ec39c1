#include "gui/IInvisibleSwitchControl.h"

IInvisibleSwitchControl::IInvisibleSwitchControl(IEffectBase* plug, const IRectangle& rect,
                                                 int parameterIndex)
    : IControl(plug, rect, parameterIndex)
{
}

IInvisibleSwitchControl::IInvisibleSwitchControl(IGraphics* graphics, const IRectangle& rect,
                                                 int parameterIndex)
    : IControl(PlugOf(graphics), rect, parameterIndex)
{
}

bool IInvisibleSwitchControl::Paint(IGraphics* /*graphics*/)
{
    return true;
}

void IInvisibleSwitchControl::OnMouseButtonDown(int /*x*/, int /*y*/, const IMouseModifiers& /*modifiers*/)
{
    value_ = value_ >= 0.5 ? 0.0 : 1.0;
    MarkChanged(true);
}
