#include "gui/ICustomKnobMultiControl.h"

ICustomKnobMultiControl::ICustomKnobMultiControl(IEffectBase* plug, int x, int y, int parameterIndex,
                                                 const IBitmapStrip& strip, int direction, double gearing,
                                                 bool dragEnabled, bool menuOnRightClick)
    : IKnobMultiControl(plug, x, y, parameterIndex, strip, direction, gearing), dragEnabled_(dragEnabled),
      menuOnRightClick_(menuOnRightClick)
{
}

ICustomKnobMultiControl::ICustomKnobMultiControl(IGraphics* graphics, int x, int y, int parameterIndex,
                                                 const IBitmapStrip& strip, int direction, double gearing,
                                                 bool dragEnabled, bool menuOnRightClick)
    : ICustomKnobMultiControl(PlugOf(graphics), x, y, parameterIndex, strip, direction, gearing, dragEnabled,
                              menuOnRightClick)
{
}

void ICustomKnobMultiControl::OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers)
{
    if (!modifiers.right)
    {
        IControl::OnMouseButtonDown(x, y, modifiers);
    }
    else if (menuOnRightClick_)
    {
        OpenMenuParameterPrompt(x, y);
    }
    MarkChanged(true);
}

void ICustomKnobMultiControl::OnMouseDragged(int x, int y, int dx, int dy, const IMouseModifiers& modifiers)
{
    if (!dragEnabled_) return;
    MarkChanged(true);
    IKnobMultiControl::OnMouseDragged(x, y, dx, dy, modifiers);
}
