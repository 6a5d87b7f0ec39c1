// IKnobControl and IKnobMultiControl: controls the user turns by dragging.
//
// Drag rule: with gearing g (the pointer distance, in control lengths, for the whole range; ten
// times that with Shift or Control held, for fine steps), a vertical knob (direction 0) adds
// dy / (top - bottom) / g, so moving up by the control's height raises the value by 1 / g; a
// horizontal knob (direction 1) adds dx / (right - left) / g. Every step informs the plug-in
// (MarkChanged limits the value to the clamp range). A knob of zero length along its direction,
// or with a gearing of 0, does not move (the step would divide by zero).
//
// IKnobMultiControl draws the value's frame of an image strip, by the rule of IBitmapControl.
//
// Editor thread. Non-copyable (controls).
#pragma once

#include "gui/IBitmapStrip.h"
#include "gui/IControl.h"

class IKnobControl : public IControl
{
public:
    enum Direction : int32_t
    {
        kVertical = 0,
        kHorizontal = 1
    };
    // The gearing is multiplied by this while Shift or Control is held.
    static constexpr double kFineGearingFactor = 10.0;

    // direction: kVertical (0) or kHorizontal (1; any other value counts as vertical).
    IKnobControl(IEffectBase* plug, const IRectangle& rect, int parameterIndex, int direction, double gearing,
                 const IBlendSpec& blend = IBlendSpec());

    // The drag rule above.
    void OnMouseDragged(int x, int y, int dx, int dy, const IMouseModifiers& modifiers) override;

    int GetDirection() const { return direction_; }
    double GetGearing() const { return gearing_; }

protected:
    int32_t direction_;
    double gearing_;
};

class IKnobMultiControl : public IKnobControl
{
public:
    // rect = (x, y, x + strip width, y + strip height / frames); blend {0, 1.0}.
    IKnobMultiControl(IEffectBase* plug, int x, int y, int parameterIndex, const IBitmapStrip& strip,
                      int direction, double gearing);
    IKnobMultiControl(IGraphics* graphics, int x, int y, int parameterIndex, const IBitmapStrip& strip,
                      int direction, double gearing);

    // DrawBitmapFrame of the value's frame over rect.
    bool Paint(IGraphics* graphics) override;

    const IBitmapStrip& GetStrip() const { return strip_; }

protected:
    IBitmapStrip strip_;
};
