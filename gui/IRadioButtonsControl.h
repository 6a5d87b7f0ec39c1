// IRadioButtonsControl: n buttons of which one is on, drawn from a two-frame strip (frame 1 off,
// frame 2 on). The value is i / (n - 1) for button i; the button shown on is the integer nearest
// to (n - 1) x value, limited to 0..n - 1.
//
// Layout, for a strip of width W and frame height H = trunc(strip height / frames):
//   vertical (any direction but 1): gap = (rect.bottom - H x n - rect.top) / (n - 1) as a real
//     number; button i = (rect.left, y_i, rect.left + W, y_i + H), y_0 = rect.top and
//     y_(i+1) = y_i + H + trunc(gap);
//   horizontal (direction 1): the same along x with W.
// A set of one button has it at the rectangle's corner; a set of none has no buttons.
//
// A press (other than a right press, which keeps the IControl behaviour) on the first button
// whose rectangle holds the point selects it; every such press informs the plug-in, also when it
// hits no button (the unchanged value is sent again).
//
// Editor thread. Non-copyable (controls).
#pragma once

#include <vector>

#include "gui/IBitmapStrip.h"
#include "gui/IControl.h"

class IRadioButtonsControl : public IControl
{
public:
    enum Direction : int32_t
    {
        kVertical = 0,
        kHorizontal = 1
    };

    // buttonCount below 0 counts as 0. Blend {0, 1.0}.
    IRadioButtonsControl(IEffectBase* plug, const IRectangle& rect, int parameterIndex, int buttonCount,
                         const IBitmapStrip& strip, int direction = kVertical);

    // Every button with frame 2 for the one on and frame 1 for the others.
    bool Paint(IGraphics* graphics) override;
    void OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers) override;

    int CountButtons() const { return static_cast<int>(buttons_.size()); }
    // Button i's rectangle; the empty rectangle out of range.
    IRectangle GetButtonRect(int i) const;
    // The button shown on for the current value; -1 without buttons.
    int SelectedButton() const;
    const IBitmapStrip& GetStrip() const { return strip_; }

    // The button rectangles of the layout above.
    static std::vector<IRectangle> LayOutButtons(const IRectangle& rect, int buttonCount,
                                                 const IBitmapStrip& strip, int direction);

protected:
    // Index of the first button (from 0, up to and including lastButton; all when lastButton < 0)
    // whose rectangle is not empty and holds the point; -1 when none.
    int FindButton(int x, int y, int lastButton = -1) const;
    // value := button / (n - 1); 0 for a set of one button.
    void SelectButton(int button);

    std::vector<IRectangle> buttons_;
    IBitmapStrip strip_;
};
