#include "gui/ITextControl.h"

#include <cstring>

#include "gui/IGraphics.h"

ITextControl::ITextControl(IEffectBase* plug, const IRectangle& rect, const char* text)
    : IControl(plug, rect), text_(kTextGranularity)
{
    text_.Set(text);
}

ITextControl::ITextControl(IGraphics* graphics, const IRectangle& rect, const char* text)
    : ITextControl(PlugOf(graphics), rect, text)
{
}

bool ITextControl::Paint(IGraphics* graphics)
{
    if (graphics == nullptr) return false;
    if (text_.IsEmpty()) return true;
    IRectangle rect = rect_;
    return graphics->DrawStyledText(&GetTextStyle(), text_.Get(), &rect);
}

void ITextControl::ChangeText(const char* text)
{
    if (text == nullptr) text = "";
    if (std::strcmp(text, text_.Get()) == 0) return;
    MarkChanged(false);
    text_.Set(text);
    RequestRedraw();
}
