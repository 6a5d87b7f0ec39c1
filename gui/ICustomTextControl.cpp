#include "gui/ICustomTextControl.h"

#include "gui/BitmapFont.h"

ICustomTextControl::ICustomTextControl(IEffectBase* plug, const IRectangle& rect, const BitmapFont* font)
    : ITextControl(plug, rect), font_(font)
{
}

ICustomTextControl::ICustomTextControl(IGraphics* graphics, const IRectangle& rect, const BitmapFont* font)
    : ICustomTextControl(PlugOf(graphics), rect, font)
{
}

bool ICustomTextControl::Paint(IGraphics* graphics)
{
    if (font_ == nullptr || graphics == nullptr) return false;
    return font_->DrawString(graphics, text_.Get(), rect_);
}
