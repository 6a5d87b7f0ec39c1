// ICustomRadioButtonsControl: the program's row of radio buttons, laid out side by side (the
// stock horizontal layout), with a bitmap-font label on each button and three additions:
//   - an active flag: only an active row shows its chosen button on (two rows can share one
//     selection, see DoubleRadioButtonsListener);
//   - a last enabled button: buttons beyond it are drawn on (frame 2) at weight 0.15 and take no
//     clicks (-1: all enabled);
//   - an optional menu on a right press (the menu parameter's prompt, after the press has been
//     taken as a left press). The row's disabled value prompts do not hold the menu back.
// A press informs the plug-in twice (once by the hit test, once after it), also when it hits no
// button, and then tells the observers with kind 1. Double clicks do nothing; hover and leave go
// on to a linked control when there is one. The value prompts of the stock base are disabled.
//
// Editor thread. Non-copyable (controls).
#pragma once

#include <string>
#include <vector>

#include "gui/IRadioButtonsControl.h"

class BitmapFont;

class ICustomRadioButtonsControl : public IRadioButtonsControl
{
public:
    // Weight of the buttons beyond the last enabled one.
    static constexpr float kDisabledWeight = 0.15f;
    // Labels keep at most this many characters.
    static constexpr int kLabelChars = 31;

    // font: the label font (not owned; may be null, then no labels are drawn). Blend
    // {blendMethod, 1.0}; active.
    ICustomRadioButtonsControl(IEffectBase* plug, const IRectangle& rect, int parameterIndex, int buttonCount,
                               const IBitmapStrip& strip, const BitmapFont* font,
                               int blendMethod = IBlendSpec::kMethodAlphaCopy);
    ICustomRadioButtonsControl(IGraphics* graphics, const IRectangle& rect, int parameterIndex,
                               int buttonCount, const IBitmapStrip& strip, const BitmapFont* font,
                               int blendMethod = IBlendSpec::kMethodAlphaCopy);

    // Button i gets frame 2 when it is the chosen one and the row is active, or when it lies beyond
    // the last enabled button (then at weight 0.15); frame 1 otherwise. Then every label, centred
    // in its button.
    bool Paint(IGraphics* graphics) override;
    // Any button but the right: the hit test. Right: with the menu flag, the hit test as for a left
    // press and then the menu parameter's prompt. Then the plug-in is informed and the observers
    // are told (kind 1).
    void OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers) override;
    // Nothing.
    void OnMouseDoubleClicked(int x, int y, const IMouseModifiers& modifiers) override;
    // Forwarded to the linked control.
    void OnMouseHover(int x, int y, const IMouseModifiers& modifiers) override;
    // Marks the control changed, then forwarded to the linked control.
    void OnMouseLeft() override;

    // Sets the labels, one per button from the first (each cut to 31 characters); an empty list
    // draws no labels.
    void SetLabels(const std::vector<std::string>& labels);
    // Label i; "" when there is none.
    const char* GetLabel(int i) const;
    bool IsActive() const { return active_; }
    // Changing the flag repaints the row.
    void SetActive(bool active);
    int GetLastEnabledButton() const { return lastEnabled_; }
    // -1 (or below) enables every button. Repaints the row.
    void SetLastEnabledButton(int button);
    bool HasMenuOnRightClick() const { return menuOnRightClick_; }
    void SetMenuOnRightClick(bool on) { menuOnRightClick_ = on; }
    // The control that receives this one's hover and leave (not owned; null for none).
    void SetLinkedControl(IControl* control) { linked_ = control; }
    IControl* GetLinkedControl() const { return linked_; }

protected:
    // Any button but the right: the first enabled button holding the point becomes the value, and
    // the plug-in is informed whatever was hit. Right: the value prompt.
    void HitTest(int x, int y, const IMouseModifiers& modifiers);

private:
    bool IsDisabled(int button) const { return lastEnabled_ >= 0 && button > lastEnabled_; }

    const BitmapFont* labelFont_;
    bool menuOnRightClick_ = false;
    bool active_ = true;
    IControl* linked_ = nullptr;
    int lastEnabled_ = -1;
    std::vector<std::string> labels_;
};
