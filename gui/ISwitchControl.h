// ISwitchControl and IContactControl: image controls that the user presses.
//
// ISwitchControl steps through its frames: every press (other than a right press, which keeps the
// IControl behaviour and opens the value prompt) adds 1 / (frames - 1) to the value (1.0 for a
// strip of fewer than 2 frames) and wraps to 0.0 past 1.001, so a 3-frame switch goes 0, 0.5,
// 1.0, 0.0. A double click counts as one more press. The plug-in is informed of every step.
//
// IContactControl is a momentary button: a press sets 1.0, the release 0.0, each informing the
// plug-in and then telling the observers (kind 0, kind 1).
//
// Editor thread. Non-copyable (controls).
#pragma once

#include "gui/IBitmapControl.h"

class ISwitchControl : public IBitmapControl
{
public:
    // A stepped value above this wraps to 0.0 (a tolerance for rounding in the sum of the steps).
    static constexpr double kWrapAbove = 1.001;

    using IBitmapControl::IBitmapControl;

    void OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers) override;
    // One more press.
    void OnMouseDoubleClicked(int x, int y, const IMouseModifiers& modifiers) override;

protected:
    // The step of a press: value += 1 / (frames - 1), wrapping past kWrapAbove; informs the plug-in.
    void StepValue();
};

class IContactControl : public ISwitchControl
{
public:
    using ISwitchControl::ISwitchControl;

    // Any button: value := 1.0, the plug-in informed, then the observers told (kind 0).
    void OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers) override;
    // value := 0.0, the plug-in informed, then the observers told (kind 1).
    void OnMouseButtonUp(int x, int y, const IMouseModifiers& modifiers) override;
};
