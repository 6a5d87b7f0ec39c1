// Input dispatch of the editor object: the window layer hands over mouse and key events in client
// coordinates; they go to the captured control or to the topmost control under the pointer.
#include "framework/IEffectBase.h"
#include "gui/IControl.h"
#include "gui/IGraphics.h"

namespace
{

bool HasParameter(const IControl* control)
{
    return control->GetParameterIndex() >= 0 && control->GetParameter() != nullptr;
}

} // namespace

int IGraphics::HitSearch(int x, int y, bool forHover) const
{
    for (int i = controls_.Count() - 1; i >= 0; --i)
    {
        const IControl* control = controls_.Get(i);
        if (control->IsHidden()) continue;
        if (control->IsGreyed() && !(forHover && control->HoversWhenGreyed())) continue;
        if (control->ContainsPoint(x, y)) return i;
    }
    return -1;
}

int IGraphics::CapturedOrHit(int x, int y) const
{
    return controls_.Get(captured_) != nullptr ? captured_ : HitSearch(x, y, false);
}

IControl* IGraphics::PressTaker(int x, int y, const IMouseModifiers& modifiers)
{
    return plug_ != nullptr ? controls_.Get(plug_->GetMouseCaptureControl(x, y, modifiers)) : nullptr;
}

void IGraphics::DispatchMouseDown(int x, int y, const IMouseModifiers& modifiers)
{
    ApplyPostedChanges();
    // A control the plug-in names (an open overlay box) takes every press, without capture and
    // without an edit gesture; the box acts at the press, and its release reaches nobody.
    IControl* box = PressTaker(x, y, modifiers);
    captured_ = lastX_ = lastY_ = -1;
    boxTookPress_ = box != nullptr;
    if (boxTookPress_)
    {
        box->OnMouseButtonDown(x, y, modifiers);
        return;
    }
    const int hit = HitSearch(x, y, false);
    IControl* control = controls_.Get(hit);
    if (control == nullptr) return;
    captured_ = hit;
    lastX_ = x;
    lastY_ = y;
    const bool parameter = HasParameter(control);
    if (parameter) lastClickedParameter_ = control->GetParameterIndex();
    if (plug_ != nullptr && plug_->GetPluginApi() == kApiVST3 && modifiers.right && parameter)
    {
        captured_ = -1;
        plug_->ShowHostParameterMenu(control->GetParameterIndex(), x, y);
        return;
    }
    control->OnMouseButtonDown(x, y, modifiers);
    // A popup menu opened by the press ends the capture and takes the button's release itself, so no
    // release would end an edit begun now: the edit gesture is left out then.
    if (parameter && plug_ != nullptr && captured_ == hit)
        plug_->BeginParameterEdit(control->GetParameterIndex());
}

void IGraphics::DispatchMouseUp(int x, int y, const IMouseModifiers& modifiers)
{
    ApplyPostedChanges();
    if (boxTookPress_)
    {
        boxTookPress_ = false;
        return;
    }
    IControl* control = controls_.Get(CapturedOrHit(x, y));
    captured_ = -1;
    lastX_ = -1;
    if (control == nullptr) return;
    control->OnMouseButtonUp(x, y, modifiers);
    if (HasParameter(control) && plug_ != nullptr) plug_->EndParameterEdit(control->GetParameterIndex());
}

void IGraphics::DispatchMouseDrag(int x, int y, const IMouseModifiers& modifiers)
{
    ApplyPostedChanges();
    IControl* control = controls_.Get(captured_);
    if (control == nullptr) return;
    const int dx = x - lastX_;
    const int dy = y - lastY_;
    if (dx == 0 && dy == 0) return;
    lastX_ = x;
    lastY_ = y;
    control->OnMouseDragged(x, y, dx, dy, modifiers);
}

bool IGraphics::DispatchDoubleClick(int x, int y, const IMouseModifiers& modifiers)
{
    ApplyPostedChanges();
    captured_ = -1;
    const int hit = HitSearch(x, y, false);
    IControl* control = controls_.Get(hit);
    if (control == nullptr) return false;
    if (!control->IsDoubleClickAsClick())
    {
        control->OnMouseDoubleClicked(x, y, modifiers);
        return false;
    }
    captured_ = hit;
    lastX_ = x;
    lastY_ = y;
    control->OnMouseButtonDown(x, y, modifiers);
    return true;
}

bool IGraphics::DispatchMouseMove(int x, int y, const IMouseModifiers& modifiers)
{
    ApplyPostedChanges();
    if (!hoverTracking_) return false;
    const int target = controls_.Get(captured_) != nullptr ? captured_ : HitSearch(x, y, true);
    IControl* control = controls_.Get(target);
    if (control == nullptr) return true;
    lastX_ = x;
    lastY_ = y;
    control->OnMouseHover(x, y, modifiers);
    if (hovered_ != target)
    {
        if (IControl* previous = controls_.Get(hovered_)) previous->OnMouseLeft();
    }
    hovered_ = target;
    return hoverTracking_;
}

void IGraphics::DispatchMouseLeave()
{
    ApplyPostedChanges();
    for (int i = 0; i < controls_.Count(); ++i)
        controls_.Get(i)->OnMouseLeft();
    hovered_ = -1;
}

void IGraphics::DispatchMouseWheel(int x, int y, const IMouseModifiers& modifiers, int notches)
{
    ApplyPostedChanges();
    // An open box takes the wheel as it takes presses: nothing behind it turns.
    if (IControl* box = PressTaker(x, y, modifiers))
    {
        box->OnInputTakenAsPress(x, y, modifiers, false);
        return;
    }
    if (IControl* control = controls_.Get(CapturedOrHit(x, y)))
        control->OnMouseWheelTurned(x, y, modifiers, notches);
}

bool IGraphics::DispatchKeyDown(int x, int y, int key)
{
    ApplyPostedChanges();
    // An open box takes the keys as it takes presses: neither the plug-in's key actions nor a
    // control behind it see them.
    if (IControl* box = PressTaker(x, y, IMouseModifiers()))
    {
        box->OnInputTakenAsPress(x, y, IMouseModifiers(), true);
        return true;
    }
    if (key < 0) return false;
    const bool handled = plug_ != nullptr && plug_->OnKeyPressed(x, y, key);
    const int target = CapturedOrHit(x, y);
    if (target > 0) return controls_.Get(target)->OnKeyPressed(x, y, key) || handled;
    if (keyCatcher_ != nullptr) return keyCatcher_->OnKeyPressed(x, y, key) || handled;
    return handled;
}
