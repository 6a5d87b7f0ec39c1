// ICustomTextControl: a text label drawn with a bitmap font (BitmapFont::DrawString into the
// control's rectangle, centred unless the font's alignment flags say otherwise) instead of a
// system font. It starts empty; ITextControl::ChangeText sets the text.
//
// Editor thread. Non-copyable (controls).
#pragma once

#include "gui/ITextControl.h"

class BitmapFont;

class ICustomTextControl : public ITextControl
{
public:
    // font: not owned; may be null (then nothing is drawn).
    ICustomTextControl(IEffectBase* plug, const IRectangle& rect, const BitmapFont* font);
    ICustomTextControl(IGraphics* graphics, const IRectangle& rect, const BitmapFont* font);

    // The text (empty draws nothing) with the font into rect; false without a font.
    bool Paint(IGraphics* graphics) override;

    const BitmapFont* GetFont() const { return font_; }
    void SetFont(const BitmapFont* font) { font_ = font; }

private:
    const BitmapFont* font_;
};
