#include "gui/IBitmapControl.h"

#include <cmath>

#include "gui/IGraphics.h"

IRectangle IBitmapControl::FrameRectAt(int x, int y, const IBitmapStrip& strip)
{
    return {x, y, x + strip.width, y + strip.height / strip.FrameCount()};
}

IBitmapControl::IBitmapControl(IEffectBase* plug, int x, int y, int parameterIndex, const IBitmapStrip& strip,
                               int blendMethod)
    : IBitmapControl(plug, FrameRectAt(x, y, strip), parameterIndex, strip, blendMethod)
{
}

IBitmapControl::IBitmapControl(IEffectBase* plug, int x, int y, const IBitmapStrip& strip, int blendMethod)
    : IBitmapControl(plug, x, y, -1, strip, blendMethod)
{
}

IBitmapControl::IBitmapControl(IEffectBase* plug, const IRectangle& rect, int parameterIndex,
                               const IBitmapStrip& strip, int blendMethod)
    : IControl(plug, rect, parameterIndex, IBlendSpec(blendMethod, 1.0f)), strip_(strip)
{
}

IBitmapControl::IBitmapControl(IGraphics* graphics, int x, int y, int parameterIndex,
                               const IBitmapStrip& strip, int blendMethod)
    : IBitmapControl(PlugOf(graphics), x, y, parameterIndex, strip, blendMethod)
{
}

IBitmapControl::IBitmapControl(IGraphics* graphics, int x, int y, const IBitmapStrip& strip, int blendMethod)
    : IBitmapControl(PlugOf(graphics), x, y, -1, strip, blendMethod)
{
}

bool IBitmapControl::Paint(IGraphics* graphics)
{
    if (graphics == nullptr) return false;
    return graphics->DrawBitmapFrame(strip_, rect_, FrameForValue(strip_.FrameCount(), value_), &blend_);
}

int IBitmapControl::FrameForValue(int frames, double v)
{
    if (frames < 1) frames = 1;
    if (!std::isfinite(v)) v = 0.0;
    const double nearest = std::floor((frames - 1) * v + 0.5);
    if (nearest < 0.0) return 1;
    if (nearest >= frames - 1) return frames;
    return static_cast<int>(nearest) + 1;
}
