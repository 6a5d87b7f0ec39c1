// ICustomSwitchControl: the program's switch. It is drawn either as an image (a frame per value,
// as ISwitchControl) or, in its font form, as the bound parameter's display text in a bitmap
// font. Besides a plain switch it can be:
//   - a value field: a press opens the value prompt instead of stepping (a field that takes typed
//     values, i.e. has IControl's text-entry flag, opens it on a double click instead, and is
//     changed by dragging);
//   - display-only: a press does nothing (dragging still changes it);
//   - on-only: a press does nothing once the value is 1.0.
//
// Mouse behaviour:
//   press (any button but the right): nothing for a control that takes typed values; the value
//     prompt for a value field; else, unless display-only or on-only at 1.0, the switch step (next
//     frame, wrapping; the plug-in informed) and the observers told (kind 0);
//   right press: the menu parameter's prompt;
//   drag: ignored by a value field that does not take typed values; otherwise the value moves by
//     dy / (top - bottom) / g, g = 50 with Shift or Control held, else 5 (dragging upward raises
//     it), and the plug-in is informed. A control of zero height does not move;
//   double click: the value prompt for a control that takes typed values (not with the right
//     button); nothing otherwise;
//   release: the IControl behaviour (observers told, kind 1).
// Typed text (with IControl's own-parser flag) is matched against the parameter's display texts,
// ignoring letter case and spaces.
//
// Editor thread. Non-copyable (controls).
#pragma once

#include "gui/ISwitchControl.h"

class BitmapFont;

class ICustomSwitchControl : public ISwitchControl
{
public:
    // Drag gearing: the pointer distance, in control heights, for the whole range.
    static constexpr double kDragGearing = 5.0;
    static constexpr double kFineDragGearing = 50.0;

    // Image form, on rect: drawn as the strip's frames; blend {blendMethod, 1.0}.
    ICustomSwitchControl(IEffectBase* plug, const IRectangle& rect, int parameterIndex,
                         const IBitmapStrip& strip, bool valueField = false, bool displayOnly = false,
                         int blendMethod = IBlendSpec::kMethodAlphaCopy);
    ICustomSwitchControl(IGraphics* graphics, const IRectangle& rect, int parameterIndex,
                         const IBitmapStrip& strip, bool valueField = false, bool displayOnly = false,
                         int blendMethod = IBlendSpec::kMethodAlphaCopy);
    // Font form: drawn as the parameter's display text in font (not owned; may be null, then
    // nothing is drawn); the strip is the font's glyph image.
    ICustomSwitchControl(IEffectBase* plug, const IRectangle& rect, int parameterIndex,
                         const BitmapFont* font, bool valueField = false, bool displayOnly = false,
                         int blendMethod = IBlendSpec::kMethodAlphaCopy);
    ICustomSwitchControl(IGraphics* graphics, const IRectangle& rect, int parameterIndex,
                         const BitmapFont* font, bool valueField = false, bool displayOnly = false,
                         int blendMethod = IBlendSpec::kMethodAlphaCopy);

    // Nothing while not visible; the image form draws the value's frame; the font form draws the
    // display text of trunc(parameter value) centred in rect, the value as CaptureModel copied it.
    bool Paint(IGraphics* graphics) override;
    // The font form draws text, which is not cut to the clip: the whole control.
    IRectangle WholePartsOf(const IRectangle& /*area*/) const override { return GetRectangle(); }
    // The font form: copies the parameter's value for the next paint.
    void CaptureModel() override;
    void OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers) override;
    void OnMouseDragged(int x, int y, int dx, int dy, const IMouseModifiers& modifiers) override;
    void OnMouseDoubleClicked(int x, int y, const IMouseModifiers& modifiers) override;
    // *value := the value of the parameter's display text that equals text when letter case and
    // spaces are ignored; untouched when none does (or text is empty).
    void ParseEnteredText(const char* text, int* value) override;

    const BitmapFont* GetLabelFont() const { return labelFont_; }
    bool DrawsAsBitmap() const { return drawAsBitmap_; }
    bool IsValueField() const { return valueField_; }
    bool IsDisplayOnly() const { return displayOnly_; }
    void SetDisplayOnly(bool on) { displayOnly_ = on; }
    bool IsVisible() const { return visible_; }
    // A switch that is not visible draws nothing (it still takes the mouse; see IControl::Hide for
    // a control that does neither).
    void SetVisible(bool on);
    bool IsOnOnly() const { return onOnly_; }
    void SetOnOnly(bool on) { onOnly_ = on; }

private:
    const BitmapFont* labelFont_ = nullptr;
    // The parameter's value as the last CaptureModel found it (the font form paints it).
    double shownValue_ = 0.0;
    bool drawAsBitmap_ = true;
    bool displayOnly_;
    bool visible_ = true;
    bool onOnly_ = false;
    bool valueField_;
};
