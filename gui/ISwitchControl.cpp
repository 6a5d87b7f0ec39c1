#include "gui/ISwitchControl.h"

void ISwitchControl::StepValue()
{
    const int frames = strip_.FrameCount();
    value_ += frames < 2 ? 1.0 : 1.0 / (frames - 1);
    if (value_ > kWrapAbove) value_ = 0.0;
    MarkChanged(true);
}

void ISwitchControl::OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers)
{
    if (modifiers.right)
    {
        IControl::OnMouseButtonDown(x, y, modifiers);
        return;
    }
    StepValue();
}

void ISwitchControl::OnMouseDoubleClicked(int x, int y, const IMouseModifiers& modifiers)
{
    OnMouseButtonDown(x, y, modifiers);
}

void IContactControl::OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers)
{
    value_ = 1.0;
    MarkChanged(true);
    NotifyMouseEvent(x, y, IObserverInterface::kMouseDown, modifiers);
}

void IContactControl::OnMouseButtonUp(int x, int y, const IMouseModifiers& modifiers)
{
    value_ = 0.0;
    MarkChanged(true);
    NotifyMouseEvent(x, y, IObserverInterface::kMouseUp, modifiers);
}
