// IInvisibleSwitchControl: an area that draws nothing and toggles its value on every press
// (0.0 when it is 0.5 or more, else 1.0), informing the plug-in. The press tells no observer and
// opens no prompt; the release and double click keep the IControl behaviour.
// ICustomInvisibleSwitchControl is the program's own form of it, with the same behaviour.
//
// Editor thread. Non-copyable (controls).
#pragma once

#include "gui/IControl.h"

class IInvisibleSwitchControl : public IControl
{
public:
    // Blend {0, 1.0}.
    IInvisibleSwitchControl(IEffectBase* plug, const IRectangle& rect, int parameterIndex);
    IInvisibleSwitchControl(IGraphics* graphics, const IRectangle& rect, int parameterIndex);

    // Draws nothing; true.
    bool Paint(IGraphics* graphics) override;
    void OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers) override;
};

class ICustomInvisibleSwitchControl : public IInvisibleSwitchControl
{
public:
    using IInvisibleSwitchControl::IInvisibleSwitchControl;
};
