// IInvisibleParameterControl: a control bound to one parameter that draws nothing. It holds the
// value, the parameter binding and the hidden and greyed flags of IControl, so the plug-in's
// display setters, the control registry (show, hide, copy and paste) and MIDI learn work on the
// same controls whether or not the editor window is open. It stands where the editor's knobs,
// switches, selectors and step cells go until the toolkit's stock controls exist; input is the
// base behaviour of IControl.
//
// Threads: as IControl. Owned by the editor object. Non-copyable.
#pragma once

#include "gui/IControl.h"

class IInvisibleParameterControl : public IControl
{
public:
    // A control over rect for parameter parameterIndex of plug (see IControl).
    IInvisibleParameterControl(IPlugBase* plug, const IRectangle& rect, int parameterIndex);

    // Draws nothing; false.
    bool Paint(IGraphics* graphics) override;
};
