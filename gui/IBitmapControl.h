// IBitmapControl: a control that shows one frame of an image strip per value. For a strip of F
// frames and a value v the frame is the integer nearest to (F - 1) x v (halves going up), plus 1,
// limited to 1..F. Mouse input keeps the IControl base behaviour. The editor object uses it for
// the background image; the switches derive from it. Non-copyable (an IControl).
#pragma once

#include "gui/IBitmapStrip.h"
#include "gui/IControl.h"

class IBitmapControl : public IControl
{
public:
    // Built at (x, y): rect = (x, y, x + strip width, y + strip height / frames); blend
    // {blendMethod, 1.0}. plug may be null (a control that informs nobody).
    IBitmapControl(IEffectBase* plug, int x, int y, int parameterIndex, const IBitmapStrip& strip,
                   int blendMethod = IBlendSpec::kMethodAlphaCopy);
    // The same without a parameter.
    IBitmapControl(IEffectBase* plug, int x, int y, const IBitmapStrip& strip,
                   int blendMethod = IBlendSpec::kMethodAlphaCopy);
    // Built on a rectangle: the frames are drawn over rect as it is (a taller rect shows rows of the
    // next frame, so image controls built on a rectangle want it one frame high).
    IBitmapControl(IEffectBase* plug, const IRectangle& rect, int parameterIndex, const IBitmapStrip& strip,
                   int blendMethod = IBlendSpec::kMethodAlphaCopy);
    // The forms the plug-in's constructor uses: the editor's plug-in is the plug.
    IBitmapControl(IGraphics* graphics, int x, int y, int parameterIndex, const IBitmapStrip& strip,
                   int blendMethod = IBlendSpec::kMethodAlphaCopy);
    IBitmapControl(IGraphics* graphics, int x, int y, const IBitmapStrip& strip,
                   int blendMethod = IBlendSpec::kMethodAlphaCopy);

    // DrawBitmapFrame of the value's frame over rect, with the control's blend.
    bool Paint(IGraphics* graphics) override;
    // Bitmap drawing is cut to the clip: a paint covers only the part of the control in area.
    IRectangle WholePartsOf(const IRectangle& area) const override { return area.Intersect(GetRectangle()); }

    const IBitmapStrip& GetStrip() const { return strip_; }
    // The frame (1-based) shown for value v by the rule above.
    static int FrameForValue(int frames, double v);
    // The rectangle of one frame of strip with its top-left corner at (x, y).
    static IRectangle FrameRectAt(int x, int y, const IBitmapStrip& strip);

protected:
    IBitmapStrip strip_;
};
