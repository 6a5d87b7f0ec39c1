#pragma once

#include "gui/BitmapFont.h"
#include "gui/ITextControl.h"

#include <string>
#include <vector>

// The global-settings box: a panel over the editor titled "GLOBAL SETTINGS"
// that holds the seven option switches, one per row of 30 pixels, each with
// its label in a bitmap font. It sizes itself to its rows on its first paint
// and hides and shows its switches with itself. While visible it takes every
// mouse press of the editor: a press on a switch goes to the switch, any
// other press closes the panel. A key closes it too, and so does a wheel
// notch where a press would; neither reaches a switch.
//
// Threads: the editor's thread. Lifetime: owned by the editor; the switches
// are controls of the editor too (the box only points at them); the font
// belongs to the plug-in. Non-copyable.
class SettingsControl : public ITextControl
{
public:
    static constexpr int kMargin = 5;
    static constexpr int kRowHeight = 30;
    static constexpr int kLabelIndent = 30;

    struct Option
    {
        IControl* control;
        std::string label;
    };

    // font may be null (nothing is measured or drawn but the switches).
    SettingsControl(IEffectBase* plug, const IRectangle& rect, BitmapFont* font);

    // The first switch under the point takes the press; elsewhere the panel closes.
    void OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers) override;
    // A key closes the panel; a wheel notch closes it as a press would, and over a switch does
    // nothing.
    void OnInputTakenAsPress(int x, int y, const IMouseModifiers& modifiers, bool fromKey) override;
    bool Paint(IGraphics* graphics) override;
    // Hides or shows the panel, and with it its switches (shown by the first
    // paint when the panel has not been measured yet).
    void Hide(bool hide) override;

    // Moves control (keeping its size) to the next row: x = box left + margin,
    // y = box top + 30 x (options added before + 1), and shows or hides it
    // with the panel. Null is refused.
    void AddOption(IControl* control, const char* label);
    const std::vector<Option>& GetOptions() const { return options_; }
    int GetMeasuredHeight() const { return measuredHeight_; }

private:
    // The first switch whose rectangle holds the point, or null.
    IControl* OptionAt(int x, int y) const;

    std::vector<Option> options_;
    std::vector<BitmapTextLine> titleLines_;
    BitmapFont* font_;
    int measuredHeight_ = -1;
};
