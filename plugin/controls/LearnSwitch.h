// ICustomInvisibleSwitchControl: a switch that draws nothing. The plug-in uses it for the 128
// MIDI-learn switches (one per controller number, parameters 30478 + number, on the empty
// rectangle (-1, -1, -1, -1) so they never show or take a press; the value names the control the
// controller drives) and for invisible click areas. A press toggles the value (0.5 or more gives
// 0.0, else 1.0) and informs the plug-in, without observer notice or value prompt.
//
// Until the toolkit's stock invisible switch exists this derives IControl directly; its behaviour
// is that of the stock control. Editor thread for input; values also arrive under the plug lock.
// Owned by the editor object. Non-copyable.
#pragma once

#include "gui/IControl.h"

class ICustomInvisibleSwitchControl : public IControl
{
public:
    ICustomInvisibleSwitchControl(IPlugBase* plug, const IRectangle& rect, int parameterIndex);

    // Draws nothing; true.
    bool Paint(IGraphics* graphics) override;
    // Toggles the value and informs the plug-in.
    void OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers) override;
};
