// IControl: the base of every element of the editor. A control has a drawing rectangle and a hit
// rectangle, may be bound to a parameter (and to a second, menu parameter), holds a normalised
// value 0..1 within its clamp range, knows whether it must be repainted, and turns mouse input
// into value changes that reach the plug-in through IEffectBase::SetParameterFromGUI. As an
// ISubject it tells its observers of value changes (at the editor's timer ticks) and of mouse
// events (at once).
//
// Two roads carry values:
//   - from the user or the program: SetValueByUser / MarkChanged(true): the parameter, the host
//     (automation) and the plug-in's change handler follow;
//   - from the parameter side (host automation, state loads, RefreshParameterControls):
//     ReceiveValue, which never echoes back to the parameter. The first value received becomes
//     the default that a double click restores.
//
// Redraw bookkeeping: `dirty` asks for a paint at the next paint; `redraw` asks for one more after
// it (MarkDrawn moves redraw into dirty), so a value change paints on two successive ticks.
//
// Changed set: every request for a paint (dirty, redraw, polled at every tick) is reported to the
// owning editor object, which keeps the set of controls it must look at on its timer tick, so a tick
// visits only those. A derived control that overrides NeedsRedraw to report state of its own must
// call SetAlwaysPolled(true); one that sets its flags uses SetDirty and RequestRedraw.
//
// Threads: the editor's thread owns the control while the editor's window is open. Other threads
// (the host's, the audio thread, the preset loader) reach controls only under the plug lock: for them
// ReceiveValue, SetValueByUser, Hide, SetGreyed, MarkChanged and RequestRedraw post the change to the
// editor object (IGraphics::MustPost), which applies it on its thread at the next tick; the plug-in
// side of SetValueByUser (the parameter, the host, the change handler) still happens at once.
// GetValue and IsHidden answer such a thread with the value it posted last. While the window is
// closed every thread changes controls directly, under the plug lock.
// Lifetime: made by the plug-in's constructor, owned by the editor object. Non-copyable.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gui/BlendMethod.h"
#include "gui/IKeyCode.h"
#include "gui/IMouseModifiers.h"
#include "gui/IRectangle.h"
#include "gui/ISubject.h"
#include "gui/ITextStyle.h"
#include "gui/RelaxedValue.h"

class IGraphics;
class IParameter;
class IEffectBase;
class IPopupMenu;

class IControl : public ISubject
{
public:
    // The text field's character limit after construction.
    static constexpr int kDefaultEntryMaxChars = 7;
    // Size of the prompt box OpenCentredValuePrompt opens for numbers.
    static constexpr int kCentredPromptWidth = 36;
    static constexpr int kCentredPromptHeight = 16;
    // Blend weight of a greyed control.
    static constexpr float kGreyedWeight = 0.25f;

    // Binds the control to parameter parameterIndex of plug (-1 for none). When the plug-in has that
    // parameter, the control takes its normalised value as value and default. plug may be null (a
    // control that informs nobody). hitRect starts as rect; the control starts dirty.
    IControl(IEffectBase* plug, const IRectangle& rect, int parameterIndex = -1,
             const IBlendSpec& blend = IBlendSpec());
    // Deletes the owned menu; the ISubject part frees the observer list.
    ~IControl() override;

    // ---- virtual operations (overridable defaults) -------------------------------------------------
    // Turns typed text into an integer value; the base leaves *value untouched. Used when
    // ownTextParser is set.
    virtual void ParseEnteredText(const char* text, int* value);
    // A popup entry was chosen while customMenuResult is set. Base: nothing.
    virtual void OnPopupMenuChosen(IPopupMenu* menu);
    // Tells the observers (kind 0); a right press on a control with a parameter and prompts enabled
    // opens the value prompt and asks for one more paint.
    virtual void OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers);
    // Tells the observers (kind 1).
    virtual void OnMouseButtonUp(int x, int y, const IMouseModifiers& modifiers);
    // Base: nothing.
    virtual void OnMouseDragged(int x, int y, int dx, int dy, const IMouseModifiers& modifiers);
    // Tells the observers (kind 2); when a default exists, returns to it and informs the plug-in.
    virtual void OnMouseDoubleClicked(int x, int y, const IMouseModifiers& modifiers);
    // value += notches x 0.01 (x 0.001 with shift or control), clamped, and the plug-in informed.
    virtual void OnMouseWheelTurned(int x, int y, const IMouseModifiers& modifiers, int notches);
    // True when the control handled the key. Base: false.
    virtual bool OnKeyPressed(int x, int y, int key);
    // A wheel notch, or a key (fromKey), that reached this control at the pointer's point (x, y)
    // because it takes every press of the editor (an open box the plug-in names,
    // IEffectBase::GetMouseCaptureControl). Such input reaches no control: a key closes the box, a
    // wheel notch acts as a press where a press would close it. Base: a press (OnMouseButtonDown),
    // for a box that closes at any press.
    virtual void OnInputTakenAsPress(int x, int y, const IMouseModifiers& modifiers, bool fromKey);
    // Base: nothing.
    virtual void OnMouseHover(int x, int y, const IMouseModifiers& modifiers);
    // Base: nothing.
    virtual void OnMouseLeft();
    // Draws the control through the editor object's drawing operations; false when it drew nothing.
    virtual bool Paint(IGraphics* graphics) = 0;
    // The road from the parameter side; see the class comment. Non-finite values are ignored.
    virtual void ReceiveValue(double value);
    // The rectangle used for overlap tests when painting. Base: rect.
    virtual IRectangle GetRectangle() const;
    // What is repainted when the control is dirty. Base: rect.
    virtual IRectangle GetInvalidRectangle() const;
    // GetInvalidRectangle, and the pieces inside it whose pixels a paint of it changes appended to
    // parts (what must reach the screen; the rest of the area is painted as it was). Base: the
    // invalid rectangle itself, when not empty.
    virtual IRectangle AddInvalidParts(std::vector<IRectangle>* parts) const;
    // Reserved slot; never called.
    virtual void Reserved15() {}
    // hidden := hide, one more paint, MarkChanged(false). The value is kept.
    virtual void Hide(bool hide);
    // greyed := grey; blend weight 0.25 when greyed, else 1.0; MarkChanged(false).
    virtual void SetGreyed(bool grey);
    // True when hitRect is not empty and holds the point.
    virtual bool ContainsPoint(int x, int y) const;
    // Limits value to clampLow..clampHigh (a value that is not a number becomes clampLow), marks
    // the control dirty and changed for its observers; with informPlug, a plug-in and a parameter
    // index >= 0, hands the value to IEffectBase::SetParameterFromGUI.
    virtual void MarkChanged(bool informPlug);
    // dirty := redraw, redraw := false (after each paint).
    virtual void MarkDrawn();
    // dirty.
    virtual bool NeedsRedraw() const;
    // Reserved slot; nothing calls it.
    virtual void Reserved22() {}
    // Copies what Paint shows of state that other threads write (the engine's model, a parameter's
    // value), so that Paint reads only the copy and never that state. The editor object calls it on
    // its thread under the plug lock just before each Paint of a control that asked for it
    // (SetCapturesModel). Base: nothing.
    virtual void CaptureModel() {}
    // The part of the control a paint clipped to area (which meets the control) must cover, so that
    // the paint draws nothing outside the clip over pixels already drawn. Base: the whole draw
    // rectangle, since fills, lines and text are not cut to the clip (only bitmaps are).
    virtual IRectangle WholePartsOf(const IRectangle& /*area*/) const { return GetRectangle(); }

    // ---- value changes and prompts ----------------------------------------------------------------
    // When v differs from the value: value := v, MarkChanged(true), one more paint. The way the
    // program sets a control so that the parameter, the host and the plug-in follow.
    void SetValueByUser(double v);
    // When the plug-in has parameter index: opens the editor's value prompt for it over
    // GetPromptRectangle(x, y).
    void PromptForParameter(int x, int y, int index);
    // With a parameter index >= 0 and prompts enabled: PromptForParameter(x, y, parameterIndex) and
    // one more paint.
    void OpenValuePrompt(int x, int y);
    // The same for the menu parameter.
    void OpenMenuParameterPrompt(int x, int y);
    // With a bound parameter and prompts enabled: the prompt over GetCentredPromptRectangle() and
    // one more paint.
    void OpenCentredValuePrompt();
    // True when parameter is the plug-in's parameter at menuParameterIndex (also when both are
    // absent).
    bool IsMenuParameter(const IParameter* parameter) const;
    // A value chosen from the menu parameter's prompt: IEffectBase::SetParameterFromGUIPrompt(listIndex,
    // parameterIndex, menuParameterIndex, normalisedValue, x, y).
    void SendMenuChoiceToPlug(double normalisedValue, int x, int y);
    // rect, with its left edge replaced by x when clickSetsLeft and its bottom edge by y when
    // clickSetsBottom.
    IRectangle GetPromptRectangle(int x, int y) const;
    // For a parameter without value texts, or with textEntry set: a 36 x 16 box centred on rect
    // (centre = (left + right) / 2, (top + bottom) / 2, truncated); otherwise rect.
    IRectangle GetCentredPromptRectangle() const;

    // ---- fields -------------------------------------------------------------------------------------
    IEffectBase* GetPlug() const { return plug_; }
    IParameter* GetParameter() const { return parameter_; }
    int GetParameterIndex() const { return parameterIndex_; }
    int GetMenuParameterIndex() const { return menuParameterIndex_; }
    void SetMenuParameterIndex(int index) { menuParameterIndex_ = index; }
    int GetListIndex() const { return listIndex_; }
    // Set by the editor object when the control is added to its list.
    void SetListIndex(int index) { listIndex_ = index; }

    // The value; to a thread that must post (see the class comment), the one it posted last.
    // True when ReceiveValue(value) would change nothing on the editor's thread: a value was received
    // before and value is the one held. Reads only the value fields, which share a cache line.
    bool HoldsValue(double value) const
    {
        return defaultValue_ >= 0.0 && value == static_cast<double>(value_);
    }
    void PrefetchValue() const { __builtin_prefetch(&value_); }
    double GetValue() const
    {
        return hasPostedValue_ != 0 && PostsFromThisThread() ? postedValue_ : static_cast<double>(value_);
    }
    // -1.0 until the first value arrives from the parameter side.
    double GetDefaultValue() const { return defaultValue_; }
    double GetClampLow() const { return clampLow_; }
    double GetClampHigh() const { return clampHigh_; }
    // The range MarkChanged limits the value to (low <= high; values are limited to 0..1).
    void SetClamp(double low, double high);

    const IRectangle& GetRect() const { return rect_; }
    void SetRect(const IRectangle& rect) { rect_ = rect; }
    const IRectangle& GetHitRect() const { return hitRect_; }
    void SetHitRect(const IRectangle& rect) { hitRect_ = rect; }
    const IBlendSpec& GetBlend() const { return blend_; }
    void SetBlend(const IBlendSpec& blend) { blend_ = blend; }
    // The text style; a control that never asks for a writable one reads the default style and
    // stores none (most controls draw no system-font text).
    ITextStyle& GetTextStyle();
    const ITextStyle& GetTextStyle() const;
    void SetTextStyle(const ITextStyle& style) { GetTextStyle() = style; }

    // Hidden; to a thread that must post, as it posted last.
    bool IsHidden() const
    {
        return hasPostedHidden_ != 0 && PostsFromThisThread() ? postedHidden_ != 0 : hidden_ != 0;
    }
    bool IsGreyed() const { return greyed_ != 0; }
    bool IsDirty() const { return dirty_ != 0; }
    // True while one more paint after the next is requested.
    bool IsRedrawPending() const { return redraw_ != 0; }
    // Asks for one more paint after the next (see MarkDrawn).
    void RequestRedraw();
    // The editor object painted the control (its pixels are in the drawing).
    void NoteDrawn() { drawn_ = 1; }
    // Once after a control that was drawn is hidden: the area it drew in (GetRectangle), which must
    // be painted again from what lies below; empty otherwise. The editor's thread.
    IRectangle TakeAreaLeftBehind();
    // For controls whose NeedsRedraw answers from state of their own: the editor asks them at every
    // tick. Set before the control is added to the editor, or on the editor's thread.
    void SetAlwaysPolled(bool on);
    bool IsAlwaysPolled() const { return alwaysPolled_ != 0; }
    // For controls that paint from a copy (CaptureModel): the editor calls CaptureModel before each
    // of their paints.
    void SetCapturesModel(bool on) { capturesModel_ = on ? 1 : 0; }
    bool CapturesModel() const { return capturesModel_ != 0; }
    // Set by the editor object when the control is added to its list (null: not in an editor).
    void SetOwner(IGraphics* owner) { owner_ = owner; }
    IGraphics* GetOwner() const { return owner_; }
    // Carries out a change another thread posted (see the class comment); the editor object calls it
    // on its thread. kind is one of the IGraphics::PostedChange kinds.
    void ApplyPosted(int kind, double value);
    // The posted value and hidden flag are no longer pending (all posts applied).
    void ForgetPosted()
    {
        hasPostedValue_ = 0;
        hasPostedHidden_ = 0;
    }

    // The owned menu that value prompts show instead of the parameter's display texts. The control
    // takes ownership; an earlier menu is deleted (passing the current one again changes nothing).
    void SetOwnMenu(IPopupMenu* menu);
    IPopupMenu* GetOwnMenu() const { return ownMenu_; }

    bool NotifiesWhenHidden() const { return notifyWhenHidden_ != 0; }
    void SetNotifyWhenHidden(bool on) { notifyWhenHidden_ = on ? 1 : 0; }
    bool HasOwnTextParser() const { return ownTextParser_ != 0; }
    void SetOwnTextParser(bool on) { ownTextParser_ = on ? 1 : 0; }
    bool UsesTextEntry() const { return textEntry_ != 0; }
    void SetTextEntry(bool on) { textEntry_ = on ? 1 : 0; }
    int GetEntryMaxChars() const { return entryMaxChars_; }
    void SetEntryMaxChars(int chars) { entryMaxChars_ = chars; }
    bool ClickSetsLeft() const { return clickSetsLeft_ != 0; }
    bool ClickSetsBottom() const { return clickSetsBottom_ != 0; }
    void SetClickSetsEdges(bool left, bool bottom)
    {
        clickSetsLeft_ = left ? 1 : 0;
        clickSetsBottom_ = bottom ? 1 : 0;
    }
    bool ArePromptsDisabled() const { return promptsDisabled_ != 0; }
    void SetPromptsDisabled(bool on) { promptsDisabled_ = on ? 1 : 0; }
    bool IsDoubleClickAsClick() const { return doubleClickAsClick_ != 0; }
    void SetDoubleClickAsClick(bool on) { doubleClickAsClick_ = on ? 1 : 0; }
    bool HoversWhenGreyed() const { return hoverWhenGreyed_ != 0; }
    void SetHoverWhenGreyed(bool on) { hoverWhenGreyed_ = on ? 1 : 0; }
    bool HasCustomMenuResult() const { return customMenuResult_ != 0; }
    void SetCustomMenuResult(bool on) { customMenuResult_ = on ? 1 : 0; }

protected:
    // Asks for a paint at the next paint (dirty := true) and reports it to the editor.
    void SetDirty();

    // Opens the editor object's value prompt (a menu of display texts or a text field) for
    // parameter over rect.
    void ShowValuePrompt(IParameter* parameter, const IRectangle& rect);

    // Fields, the flags first and then by size, so that the tens of thousands of controls an editor
    // holds carry little padding (the flags fill the end of the subject part).
    uint8_t notifyWhenHidden_ = 0;
    RelaxedValue<uint8_t> hidden_{0};
    uint8_t ownTextParser_ = 0;
    uint8_t textEntry_ = 0;
    uint8_t clickSetsLeft_ = 0;
    uint8_t clickSetsBottom_ = 0;
    RelaxedValue<uint8_t> greyed_{0};
    uint8_t promptsDisabled_ = 0;
    uint8_t doubleClickAsClick_ = 0;
    uint8_t hoverWhenGreyed_ = 0;
    uint8_t customMenuResult_ = 0;
    IParameter* parameter_ = nullptr;
    IPopupMenu* ownMenu_ = nullptr;
    IEffectBase* plug_;
    std::unique_ptr<ITextStyle> textStyle_; // null: the default style
    RelaxedValue<double> value_{0.0};
    double defaultValue_ = -1.0;
    double clampLow_ = 0.0;
    double clampHigh_ = 1.0;
    IRectangle rect_;
    IRectangle hitRect_;
    IBlendSpec blend_;
    int32_t listIndex_ = -1;
    int32_t entryMaxChars_ = kDefaultEntryMaxChars;
    int32_t parameterIndex_;
    int32_t menuParameterIndex_ = -1;

private:
    // Redraw bookkeeping; reach them through SetDirty, RequestRedraw and MarkDrawn, which keep the
    // editor's changed set in step.
    uint8_t dirty_ = 1;
    uint8_t redraw_ = 0;
    uint8_t alwaysPolled_ = 0;
    uint8_t capturesModel_ = 0;
    // Drawn since it was last hidden; hidden after it was drawn, its area not yet repainted.
    uint8_t drawn_ = 0;
    uint8_t leftBehind_ = 0;
    // What a posting thread last posted (written and read under the plug lock). The two has-flags are
    // also read by the editor's thread, to skip the thread test while nothing is posted.
    RelaxedValue<uint8_t> hasPostedValue_{0};
    uint8_t postedHidden_ = 0;
    RelaxedValue<uint8_t> hasPostedHidden_{0};
    IGraphics* owner_ = nullptr;
    double postedValue_ = 0.0;

    // True when this thread must post its changes (IGraphics::MustPost).
    bool PostsFromThisThread() const;
    // Off the editor's thread: posts (kind, value) and answers true. On it: applies what other
    // threads posted first, so that changes land in the order they were made, and answers false.
    bool RouteChange(int kind, double value);
    // Reports a paint request to the editor (the changed set).
    void NotePending();
    // value limited to clampLow..clampHigh as MarkChanged limits it.
    double Clamped(double value) const;
};

// The plug-in of an editor object, or null for a null editor. Controls built by the plug-in's
// constructor are handed the editor object; they are bound to its plug-in.
IEffectBase* PlugOf(IGraphics* graphics);
