// ITextControl: a text label drawn in the control's system-font text style (IGraphics::
// DrawStyledText), bound to no parameter. ChangeText replaces the text and repaints the label
// when the text differs.
//
// Editor thread. Non-copyable (a control that owns its text).
#pragma once

#include "framework/IString.h"
#include "gui/IControl.h"

class ITextControl : public IControl
{
public:
    // Growth step of the text's buffer.
    static constexpr int kTextGranularity = 128;

    // No parameter, blend {0, 1.0}; text may be null (empty).
    ITextControl(IEffectBase* plug, const IRectangle& rect, const char* text = nullptr);
    ITextControl(IGraphics* graphics, const IRectangle& rect, const char* text = nullptr);

    // DrawStyledText of the text over rect when the text is not empty; true.
    bool Paint(IGraphics* graphics) override;

    // When text (null counts as empty) differs from the current text: MarkChanged(false), the text
    // replaced, one more paint.
    void ChangeText(const char* text);
    // The text; never null.
    const char* GetText() const { return text_.Get(); }

protected:
    IString text_;
};
