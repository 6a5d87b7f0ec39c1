#include "plugin/controls/LearnSwitch.h"

ICustomInvisibleSwitchControl::ICustomInvisibleSwitchControl(IPlugBase* plug, const IRectangle& rect,
                                                             int parameterIndex)
    : IControl(plug, rect, parameterIndex)
{
}

bool ICustomInvisibleSwitchControl::Paint(IGraphics*)
{
    return true;
}

void ICustomInvisibleSwitchControl::OnMouseButtonDown(int, int, const IMouseModifiers&)
{
    value_ = value_ >= 0.5 ? 0.0 : 1.0;
    MarkChanged(true);
}
