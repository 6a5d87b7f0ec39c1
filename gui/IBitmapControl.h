// IBitmapControl: a control that shows one frame of an image strip per value. For a strip of F
// frames and a value v the frame is the integer nearest to (F - 1) x v (halves going up), plus 1,
// limited to 1..F. Mouse input keeps the IControl base behaviour. The editor object uses it for
// the background image. Non-copyable (an IControl).
#pragma once

#include "gui/IBitmapStrip.h"
#include "gui/IControl.h"

class IBitmapControl : public IControl {
 public:
  // rect = (x, y, x + strip width, y + strip height / frames); blend {blendMethod, 1.0}.
  IBitmapControl(IPlugBase* plug, int x, int y, int parameterIndex, const IBitmapStrip& strip,
                 int blendMethod = IBlendSpec::kMethodAlphaCopy);
  // The same without a parameter.
  IBitmapControl(IPlugBase* plug, int x, int y, const IBitmapStrip& strip, int blendMethod = IBlendSpec::kMethodAlphaCopy);

  // DrawBitmapFrame of the value's frame over rect.
  bool Paint(IGraphics* graphics) override;

  const IBitmapStrip& GetStrip() const { return strip_; }
  // The frame (1-based) shown for value v by the rule above.
  static int FrameForValue(int frames, double v);

 protected:
  IBitmapStrip strip_;
};
