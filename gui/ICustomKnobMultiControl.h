// ICustomKnobMultiControl: the program's image knob. Dragging turns it only when drag-enabled
// (each step informs the plug-in, then turns it by the stock rule, which informs it again); a
// right press opens the menu parameter's prompt when the menu flag is set. Every press informs
// the plug-in of the value.
//
// Editor thread. Non-copyable (controls).
#pragma once

#include "gui/IKnobControl.h"

class ICustomKnobMultiControl : public IKnobMultiControl
{
public:
    // As IKnobMultiControl, with the two flags.
    ICustomKnobMultiControl(IEffectBase* plug, int x, int y, int parameterIndex, const IBitmapStrip& strip,
                            int direction, double gearing, bool dragEnabled = true,
                            bool menuOnRightClick = false);
    ICustomKnobMultiControl(IGraphics* graphics, int x, int y, int parameterIndex, const IBitmapStrip& strip,
                            int direction, double gearing, bool dragEnabled = true,
                            bool menuOnRightClick = false);

    // Any button but the right: the IControl behaviour (observers told, kind 0). Right: the menu
    // parameter's prompt when the menu flag is set. Then the plug-in is informed.
    void OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers) override;
    // Only when drag-enabled: the plug-in informed, then the stock knob drag.
    void OnMouseDragged(int x, int y, int dx, int dy, const IMouseModifiers& modifiers) override;

    bool IsDragEnabled() const { return dragEnabled_; }
    void SetDragEnabled(bool on) { dragEnabled_ = on; }
    bool HasMenuOnRightClick() const { return menuOnRightClick_; }
    void SetMenuOnRightClick(bool on) { menuOnRightClick_ = on; }

private:
    bool dragEnabled_;
    bool menuOnRightClick_;
};
