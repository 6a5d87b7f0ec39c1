#include "gui/ICustomSwitchControl.h"

#include <cctype>
#include <cmath>
#include <string>

#include "framework/IParameter.h"
#include "gui/BitmapFont.h"
#include "gui/IGraphics.h"

namespace
{

IBitmapStrip GlyphStripOf(const BitmapFont* font)
{
    return font != nullptr && font->GetBitmap() != nullptr ? *font->GetBitmap() : IBitmapStrip();
}

// The text without spaces, in lower case: the form typed texts and display texts are compared in.
std::string Folded(const char* text)
{
    std::string folded;
    for (const char* p = text; *p != '\0'; ++p)
    {
        if (*p == ' ') continue;
        folded += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    }
    return folded;
}

} // namespace

ICustomSwitchControl::ICustomSwitchControl(IEffectBase* plug, const IRectangle& rect, int parameterIndex,
                                           const IBitmapStrip& strip, bool valueField, bool displayOnly,
                                           int blendMethod)
    : ISwitchControl(plug, rect, parameterIndex, strip, blendMethod), displayOnly_(displayOnly),
      valueField_(valueField)
{
}

ICustomSwitchControl::ICustomSwitchControl(IGraphics* graphics, const IRectangle& rect, int parameterIndex,
                                           const IBitmapStrip& strip, bool valueField, bool displayOnly,
                                           int blendMethod)
    : ICustomSwitchControl(PlugOf(graphics), rect, parameterIndex, strip, valueField, displayOnly,
                           blendMethod)
{
}

ICustomSwitchControl::ICustomSwitchControl(IEffectBase* plug, const IRectangle& rect, int parameterIndex,
                                           const BitmapFont* font, bool valueField, bool displayOnly,
                                           int blendMethod)
    : ISwitchControl(plug, rect, parameterIndex, GlyphStripOf(font), blendMethod), labelFont_(font),
      drawAsBitmap_(false), displayOnly_(displayOnly), valueField_(valueField)
{
    // The text form shows its parameter's value, which other threads set while the editor paints.
    SetCapturesModel(true);
}

ICustomSwitchControl::ICustomSwitchControl(IGraphics* graphics, const IRectangle& rect, int parameterIndex,
                                           const BitmapFont* font, bool valueField, bool displayOnly,
                                           int blendMethod)
    : ICustomSwitchControl(PlugOf(graphics), rect, parameterIndex, font, valueField, displayOnly, blendMethod)
{
}

void ICustomSwitchControl::SetVisible(bool on)
{
    if (visible_ == on) return;
    visible_ = on;
    MarkChanged(false);
}

void ICustomSwitchControl::CaptureModel()
{
    if (parameter_ != nullptr) shownValue_ = parameter_->Value();
}

bool ICustomSwitchControl::Paint(IGraphics* graphics)
{
    if (!visible_ || graphics == nullptr) return false;
    if (drawAsBitmap_) return IBitmapControl::Paint(graphics);
    if (labelFont_ == nullptr || parameter_ == nullptr) return false;
    char text[IParameter::kTextSize * 2];
    parameter_->FormatValue(std::trunc(shownValue_), false, text, sizeof text, true);
    return labelFont_->DrawString(graphics, text, rect_);
}

void ICustomSwitchControl::OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers)
{
    if (modifiers.right)
    {
        OpenMenuParameterPrompt(x, y);
        return;
    }
    if (UsesTextEntry()) return;
    if (valueField_)
    {
        OpenValuePrompt(x, y);
        return;
    }
    if (displayOnly_) return;
    if (onOnly_ && value_ == 1.0) return;
    StepValue();
    NotifyMouseEvent(x, y, IObserverInterface::kMouseDown, modifiers);
}

void ICustomSwitchControl::OnMouseDragged(int /*x*/, int /*y*/, int /*dx*/, int dy,
                                          const IMouseModifiers& modifiers)
{
    if (valueField_ && !UsesTextEntry()) return;
    const double height = static_cast<double>(rect_.top) - rect_.bottom;
    if (height == 0.0) return;
    const double g = modifiers.shift || modifiers.control ? kFineDragGearing : kDragGearing;
    value_ += dy / height / g;
    MarkChanged(true);
}

void ICustomSwitchControl::OnMouseDoubleClicked(int x, int y, const IMouseModifiers& modifiers)
{
    if (!modifiers.right && UsesTextEntry()) OpenValuePrompt(x, y);
}

void ICustomSwitchControl::ParseEnteredText(const char* text, int* value)
{
    if (text == nullptr || value == nullptr || parameter_ == nullptr) return;
    const std::string typed = Folded(text);
    if (typed.empty()) return;
    for (int i = 0; i < parameter_->CountValueTexts(); ++i)
    {
        int entryValue = 0;
        const char* entry = parameter_->GetValueTextAt(i, &entryValue);
        if (Folded(entry) == typed)
        {
            *value = entryValue;
            return;
        }
    }
}
