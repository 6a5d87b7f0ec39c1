// IGraphics: the editor object. It owns the list of controls (index 0 is the background, painted
// first; later controls lie on top of earlier ones and take the mouse first), the drawing bitmap
// the controls paint into, and reaches the module-wide caches of images and fonts. At every timer
// tick it collects what changed (CollectChangedArea); when the window paints it repaints that
// area (PaintArea). It dispatches mouse and key input to the right control, opens value prompts
// (a popup of a parameter's display texts, or a text field), and keeps controls in step with
// parameter values arriving from the host.
//
// It is platform-neutral: everything that needs the window system is an abstract operation that
// the window layer implements (IEditorWindow).
//
// Changed set: the editor keeps the list indices of the controls that may need painting (dirty, a
// second paint pending, or polled at every tick) and of the controls that are shown, as the
// controls report their changes. A tick visits only the first set; a paint looks for overlapping
// controls among the shown ones and marks drawn only the first set. SetFullScan(true) switches to
// the reference path, which walks the whole control list at every tick and paint, as the sets'
// shortcut must behave; both give the same areas and pixels (the tests compare them).
//
// Threads: the window's thread (window messages and its timer) owns the controls while the window
// is open (BindEditorThread .. UnbindEditorThread). Every other thread reaches controls under the
// plug lock and posts its changes (MustPost, PostChange); the editor applies them at its next tick
// and before it dispatches input, under the plug lock, then paints without it, so a thread that
// changes a control never waits for a paint. Controls that show what other threads write (the
// engine's model, a parameter's value) paint from a copy taken under the plug lock before their
// paint (IControl::CaptureModel): a paint takes the copies of all the controls it draws under one
// hold of the lock, and the lock is held for the copies only. While no window is
// open, changes apply at once. The two module-wide caches have their own locks. The window and the
// drawing bitmap belong to the editor's thread alone: while a window is open, the window-layer
// operations, the drawing operations, PaintArea and SetEditorSize refuse every other thread
// (OffEditorThread), which posts a call instead (PostCall).
// Lifetime: made by the plug-in's constructor, handed to IEffectBase::AttachEditor, which owns it
// from then on. Owns its controls, the keyCatcher and both bitmaps. Non-copyable.
//
// Index of the sections below: construction; window-layer operations; control list; parameter
// road; resources and caches; drawing (IGraphicsDrawing.cpp); input (IGraphicsInput.cpp); paint
// and prompts.
#pragma once

#include <atomic>
#include <cassert>
#include <cstdint>
#include <mutex>
#include <vector>

#include "framework/EffectEditor.h"
#include "framework/IString.h"
#include "framework/PtrList.h"
#include "gui/BlendMethod.h"
#include "gui/ControlBitSet.h"
#include "gui/IBitmapStrip.h"
#include "gui/IColorARGB.h"
#include "gui/IMouseModifiers.h"
#include "gui/IRectangle.h"
#include "gui/ITextStyle.h"

class CachedFont;
class DibBitmap;
class IControl;
class IParameter;
class IEffectBase;
class IPopupMenu;
class MemoryBitmap;
class RasterBitmap;

class IGraphics : public IEffectEditor
{
public:
    static constexpr int kDefaultFramesPerSecond = 30;

    // ---- construction ------------------------------------------------------------------------------
    // framesPerSecond of 0 or less gives 30. The drawing bitmaps are made by PrepareDrawing (when the
    // plug-in attaches the editor).
    IGraphics(IEffectBase* plug, int width, int height, int framesPerSecond);
    // Deletes the keyCatcher, every control from the last to the first, and both bitmaps.
    ~IGraphics() override;

    // ---- window-layer operations (virtual) ----------------------------------------------------------
    // Grouped by what they serve: drawing (present, measure), the window's own state (text entry,
    // size, open, name), then what the controls ask of the desktop (alerts, menus, text fields,
    // folders, dialogs, links).
    // Copies rect of the drawing bitmap to the same place of the window; true when it did.
    virtual bool PresentBackBuffer(const IRectangle& rect) = 0;
    // DrawStyledText in measuring mode: rect becomes the box the text takes.
    virtual bool MeasureStyledText(ITextStyle* style, const char* text, IRectangle* rect);
    // Asks the open text field (if any) to close without applying at the next tick.
    virtual void EndTextEntry() = 0;
    // New editor size: the drawing bitmaps are made again, capture and hover forgotten, and the
    // plug-in resizes the host's editor rectangle. The window layer also resizes its window.
    virtual void SetEditorSize(int width, int height);
    // True while the window exists.
    virtual bool IsWindowOpen();
    // The name of the window system; the empty text here.
    virtual const char* GetGuiApiName();
    // A message box owned by the host's main window; returns the button pressed.
    virtual int ShowAlert(const char* text, const char* caption, uint32_t type) = 0;
    // Shows menu with its top-left corner at (rect.left, rect.bottom) and waits for the user. The
    // menu (with its chosen id set) when the user chose an entry; null when dismissed, when the menu
    // is empty or when no window is open.
    virtual IPopupMenu* ShowPopupMenu(IPopupMenu* menu, const IRectangle& rect) = 0;
    // Opens a text field over rect showing text, for typing a value of parameter into control.
    // Nothing when a field is already open.
    virtual void ShowTextEntry(IControl* control, const ITextStyle& style, const IRectangle& rect,
                               const char* text, IParameter* parameter) = 0;
    // The folder of the host's program, or of this module, with a trailing separator; empty on
    // failure.
    virtual void GetHostPath(IString* path) = 0;
    virtual void GetPluginPath(IString* path) = 0;
    // The desktop folder (at most 255 characters); empty on failure.
    virtual void GetDesktopPath(IString* path) = 0;
    // An open (or save) dialog over startFolder (the desktop when null or empty), filtered by a
    // space-separated list of extensions ("png txt"); the chosen path goes to *path. False when the
    // user cancels.
    virtual bool ShowFileDialog(bool save, const char* extensions, const char* startFolder,
                                IString* path) = 0;
    // A colour dialog starting at *colour; on success its red, green and blue are replaced.
    virtual bool ShowColorDialog(IColorARGB* colour) = 0;
    // Opens url (after a yes to confirmText when one is given); false, with errorText shown when
    // given, when it cannot be opened.
    virtual bool OpenWebLink(const char* url, const char* caption, const char* confirmText,
                             const char* errorText) = 0;
    // Reserved slot.
    virtual int Reserved15() { return 0; }
    // (OpenEditorWindow is declared by IEffectEditor.)
    virtual void Reserved17() {}
    virtual void Reserved18() {}
    // (CloseEditorWindow is declared by IEffectEditor.)
    // The window, or null while closed.
    virtual void* GetWindowHandle() = 0;
    // Hide the pointer (remembering where it was) and bring it back. Base: nothing.
    virtual void HideCursor() {}
    virtual void RestoreCursor() {}
    // The zero-terminated text of the module's text resource id; null when it is missing.
    virtual const char* FindTextResource(int id, const char* name) = 0;
    // Decodes the module's image resource id (name tells its format); the caller owns the result.
    // Null when it is missing or not an image this editor can read.
    virtual RasterBitmap* DecodeBitmapResource(int id, const char* name) = 0;

    // ---- IEffectEditor ----------------------------------------------------------------------------------
    // drawing := a new DibBitmap of width x height; scratch := a new empty MemoryBitmap. The paint
    // clip becomes the whole editor.
    void PrepareDrawing() override;
    void UpdateParameterControls(int index, double value, bool isNormalised) override;
    // Passes over the controls that already hold their value without calling them, and fetches the
    // controls ahead of their turn (a state read updates tens of thousands, most of them unchanged).
    void UpdateParameterControlsBlock(int first, int count, const double* normalised) override;
    void RefreshParameterControls() override;
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // True inside an InputScope of the user's input on the calling thread.
    bool HandlesUserInput() const override
    {
        return userInputThread_.load(std::memory_order_acquire) == ThisThreadTag();
    }

    // What the editor's thread does for its lifetime is the user's input (user true: the window
    // layer opens one around each input message and around a typed value it applies) or is not
    // (false: a timer tick, applying what other threads posted), whatever an enclosing scope says;
    // the enclosing one holds again afterwards. The editor's thread.
    class InputScope
    {
    public:
        InputScope(IGraphics& editor, bool user)
            : editor_(editor), enclosing_(editor.userInputThread_.load(std::memory_order_relaxed))
        {
            editor_.userInputThread_.store(user ? ThisThreadTag() : nullptr, std::memory_order_release);
        }
        ~InputScope() { editor_.userInputThread_.store(enclosing_, std::memory_order_release); }
        InputScope(const InputScope&) = delete;
        InputScope& operator=(const InputScope&) = delete;

    private:
        IGraphics& editor_;
        const void* enclosing_;
    };

    // ---- control list ---------------------------------------------------------------------------------
    // Appends control (owned from then on), sets its list index and returns it; -1 (control not
    // taken) for null or when the list cannot grow.
    int AddControl(IControl* control);
    // Loads the image (one frame) and inserts a plain-copy IBitmapControl of its size at index 0;
    // the list indices of the controls already added move up by one. Returns false (nothing
    // inserted) when the control cannot be added.
    bool AttachBackgroundBitmap(int resourceId, const char* name);
    int NControls() const { return controls_.Count(); }
    // The control at index i, or null.
    IControl* GetControl(int i) const { return controls_.Get(i); }
    // MarkChanged(false) on every control (the window opened).
    void MarkAllControlsChanged();
    // captured := -1, lastX := -1.
    void ReleaseMouseCapture();
    // The control that receives key presses nobody else takes (owned; an earlier one is deleted).
    void SetKeyCatcherControl(IControl* control);
    IControl* GetKeyCatcherControl() const { return keyCatcher_; }
    // strict on: every paint repaints the background and everything over the painted area (the
    // default); off: only the dirty controls and what lies under them. Marks every control changed.
    void SetStrictPaint(bool strict);
    bool IsStrictPaint() const { return strictPaint_; }
    // SetGreyed, Hide or SetValueByUser on every control bound to parameter index.
    void SetParameterControlsGreyed(int index, bool grey);
    void SetParameterControlsHidden(int index, bool hide);
    void SetParameterControlsValue(int index, double normalisedValue);
    // Sets the clamp range of every control bound to parameter index.
    void ClampParameterControls(int index, double low, double high);
    // The topmost control that takes the mouse at (x, y) (not hidden, not greyed); -1 when none.
    int FindControlAt(int x, int y) const;
    // The parameter index of the last control pressed, then forgets it (-1 when none).
    int TakeLastClickedParameter();
    // The drawing bitmap's pixel at (x, y); 0 outside or without a bitmap.
    uint32_t GetPixelColor(int x, int y);
    void SetHoverTracking(bool on) { hoverTracking_ = on; }
    bool IsHoverTracking() const { return hoverTracking_; }
    int GetCapturedControl() const { return captured_; }
    int GetHoveredControl() const { return hovered_; }
    int GetFramesPerSecond() const { return framesPerSecond_; }
    IEffectBase* GetPlug() const { return plug_; }
    // The bitmap the controls paint into (null before PrepareDrawing).
    DibBitmap* GetDrawingBitmap() const { return drawing_; }
    MemoryBitmap* GetScratchBitmap() const { return scratch_; }
    // Bitmap drawing is clipped to this rectangle (the area being painted).
    const IRectangle& GetPaintClip() const { return paintClip_; }

    // ---- resources and caches -----------------------------------------------------------------------
    // The image resource id from the module-wide cache, decoding it on first use. The strip is
    // {bitmap, its width, its height, frames, false}. A missing image gives {null, 0, 0, frames,
    // false} and is not cached (the next call tries again).
    IBitmapStrip LoadBitmapResource(int resourceId, const char* name, int frames = 1);
    // FindTextResource.
    const char* LoadTextResource(int id, const char* name);
    // The font for style: the one the style holds, else the cached one of the same size,
    // orientation, style number and face, else a new one (stored in the style). Null when the
    // platform cannot make it.
    CachedFont* GetCachedFont(ITextStyle* style);
    // Deletes every cached bitmap and font of the process (module unload; no editor may be alive).
    static void ReleaseModuleCaches();
    // Entries in the module-wide caches.
    static int CachedBitmapCount();
    static int CachedFontCount();

    // ---- drawing (IGraphicsDrawing.cpp) ------------------------------------------------------------
    // Every operation draws into the drawing bitmap; a null blend means method 0 at weight 1.0.
    // Copies strip pixels from (srcX, srcY) into dest, clipped to the paint clip.
    bool DrawBitmapRegion(const IBitmapStrip& strip, const IRectangle& dest, int srcX, int srcY,
                          const IBlendSpec* blend = nullptr);
    // Frame (1-based) of the strip into rect.
    bool DrawBitmapFrame(const IBitmapStrip& strip, const IRectangle& rect, int frame,
                         const IBlendSpec* blend = nullptr);
    // Text in the style's font into rect (aligned by the style); with measure, nothing is drawn and
    // rect becomes the box the text takes. False without a font.
    bool DrawStyledText(ITextStyle* style, const char* text, IRectangle* rect, bool measure = false);
    bool PaintRectangle(const IColorARGB& colour, const IRectangle& rect, const IBlendSpec* blend = nullptr);
    // One-pixel outline on the rect's edges, right and bottom lines on the exclusive coordinates.
    bool DrawRectangleOutline(const IColorARGB& colour, const IRectangle& rect);
    bool DrawVerticalLine(const IColorARGB& colour, int x, int y1, int y2);
    bool DrawHorizontalLine(const IColorARGB& colour, int y, int x1, int x2);
    // A line across rect at fraction 0..1 of its height (horizontal) or width (vertical).
    bool DrawHorizontalLineInRect(const IColorARGB& colour, const IRectangle& rect, float fraction);
    bool DrawVerticalLineInRect(const IColorARGB& colour, const IRectangle& rect, float fraction);
    bool DrawLine(const IColorARGB& colour, int x1, int y1, int x2, int y2, const IBlendSpec* blend = nullptr,
                  bool antialias = false);
    bool DrawPoint(const IColorARGB& colour, int x, int y, const IBlendSpec* blend = nullptr);
    // A line from radius rMin to rMax around (cx, cy) at angle (radians, 0 up, clockwise).
    bool DrawRadialLine(const IColorARGB& colour, float cx, float cy, float angle, float rMin, float rMax,
                        const IBlendSpec* blend = nullptr, bool antialias = false);
    // Angles in radians, 0 up, clockwise.
    bool DrawArc(const IColorARGB& colour, float cx, float cy, float r, float minAngle, float maxAngle,
                 const IBlendSpec* blend = nullptr, bool antialias = false);
    bool DrawCircle(const IColorARGB& colour, float cx, float cy, float r, const IBlendSpec* blend = nullptr,
                    bool antialias = false);
    bool PaintCircle(const IColorARGB& colour, float cx, float cy, float r, const IBlendSpec* blend = nullptr,
                     bool antialias = false);
    // x and y hold count vertices (at least 3).
    bool PaintConvexPolygon(const IColorARGB& colour, const int* x, const int* y, int count,
                            const IBlendSpec* blend = nullptr);
    bool PaintTriangle(const IColorARGB& colour, int x1, int y1, int x2, int y2, int x3, int y3,
                       const IBlendSpec* blend = nullptr);
    // A filled rectangle with disc corners of the radius (at most half the shorter side): three bands
    // and four discs, which overlap, so the shape is exact for opaque colours only.
    bool PaintRoundRectangle(const IColorARGB& colour, const IRectangle& rect, int radius,
                             const IBlendSpec* blend = nullptr, bool antialias = false);
    // The outline of a rectangle with rounded corners.
    bool DrawRoundRectangle(const IColorARGB& colour, const IRectangle& rect, int radius,
                            const IBlendSpec* blend = nullptr, bool antialias = false);
    // The strip's first frame rotated by angle (radians, clockwise) about its centre, drawn centred
    // on (cx, cy) with bilinear filtering.
    bool PaintRotatedBitmap(const IBitmapStrip& strip, int cx, int cy, float angle,
                            const IBlendSpec* blend = nullptr);

    // ---- input (IGraphicsInput.cpp); client coordinates ----------------------------------------------
    // A press goes to the control the plug-in names (GetMouseCaptureControl, an open overlay box; no
    // capture, no edit, and its release goes nowhere), else to the topmost control under the
    // pointer, which is captured; its parameter's edit gesture begins after the press unless a popup
    // menu opened by it ended the capture (the menu takes the release). In a VST3 host a right press
    // on a control with a parameter opens the host's menu.
    void DispatchMouseDown(int x, int y, const IMouseModifiers& modifiers);
    // The captured control (else the one under the pointer) gets the release; the edit ends. The
    // release of a press an overlay box took reaches no control.
    void DispatchMouseUp(int x, int y, const IMouseModifiers& modifiers);
    // Only with a captured control, and only when the pointer moved.
    void DispatchMouseDrag(int x, int y, const IMouseModifiers& modifiers);
    // True when the control was captured (it takes double clicks as presses): the window then
    // captures the mouse.
    bool DispatchDoubleClick(int x, int y, const IMouseModifiers& modifiers);
    // True when hover tracking is on: the window then asks for a leave notice.
    bool DispatchMouseMove(int x, int y, const IMouseModifiers& modifiers);
    // Every control is told the pointer left.
    void DispatchMouseLeave();
    // The captured control, else the one under the pointer. An overlay box that takes every press
    // takes the wheel too (IControl::OnInputTakenAsPress): no other control gets it.
    void DispatchMouseWheel(int x, int y, const IMouseModifiers& modifiers, int notches);
    // The plug-in first, then the captured control or the one under the pointer (not the
    // background), else the keyCatcher. True when any of them handled the key. An overlay box that
    // takes every press takes the key instead (IControl::OnInputTakenAsPress; true): neither the
    // plug-in nor another control gets it. key -1 (a key without a key code) reaches only such a
    // box; false without one.
    bool DispatchKeyDown(int x, int y, int key);

    // ---- changed set and the road from other threads (IGraphicsChanges.cpp) -----------------------------
    // What a posted change does when the editor applies it (IControl::ApplyPosted).
    enum PostedChangeKind : int
    {
        kPostReceiveValue = 0, // ReceiveValue(value)
        kPostUserValue,        // the control side of SetValueByUser(value)
        kPostHide,             // IControl::Hide(value != 0)
        kPostGreyed,           // IControl::SetGreyed(value != 0)
        kPostMarkChanged,      // MarkChanged(false)
        kPostRedraw,           // RequestRedraw()
        kPostPending,          // the control's paint request enters the changed set
    };
    // The calling thread becomes the one that owns the controls (the window opened on it); what
    // other threads posted is applied first.
    void BindEditorThread();
    // No thread owns the controls any more (the window closed): what was posted is applied, and
    // from then on every thread changes controls directly.
    void UnbindEditorThread();
    // True when the calling thread must post its control changes: a window is open and this is not
    // its thread. Any thread.
    bool MustPost() const
    {
        const void* owner = editorThread_.load(std::memory_order_acquire);
        return owner != nullptr && owner != ThisThreadTag();
    }
    // True when the calling thread may not touch the window or the drawing bitmap: a window is open
    // and another thread owns it. Every window-layer and drawing entry point refuses then; debug
    // builds stop at the assertion, so that a path that reaches them from another thread shows in
    // the tests.
    bool OffEditorThread() const
    {
        const bool off = MustPost();
        assert(!off && "the window or the drawing bitmap touched off the editor's thread");
        return off;
    }
    // Queues a change of control for the editor's thread. Any thread (under the plug lock).
    void PostChange(IControl* control, int kind, double value);
    // A call the editor's thread makes at its next tick, in order with the posted changes, under the
    // plug lock: for views whose own setters (not IControl's) a thread that must post wants to run.
    // call(target, a, b); target must outlive the editor object or the call. Any thread.
    using PostedCall = void (*)(void* target, int a, int b);
    void PostCall(PostedCall call, void* target, int a = 0, int b = 0);
    // Applies the queued changes in the order they were posted, under the plug lock. The editor's
    // thread (the tick and input dispatch call it).
    void ApplyPostedChanges();
    // Forgets the queued changes (the editor object is going; nothing may run on its controls).
    void DiscardPostedChanges();
    // True while changes wait to be applied. Any thread.
    bool HasPostedChanges() const { return postedCount_.load(std::memory_order_acquire) != 0; }
    // The control's paint request (dirty, redraw or polled) enters the changed set; its shown state
    // is brought in step. Called by IControl on the editor's thread.
    void NotePending(IControl* control);
    void NoteVisibility(IControl* control);
    // true: the reference path (every control visited at each tick and paint); false (default): the
    // changed set.
    void SetFullScan(bool on) { fullScan_ = on; }
    bool IsFullScan() const { return fullScan_; }
    // Controls in the changed set (for tests and benchmarks).
    int PendingControlCount() const { return pending_.Count(); }

    // ---- paint and prompts ------------------------------------------------------------------------------
    // At every timer tick, under the plug lock: the changes other threads posted are applied, then
    // observers of every visible (or notify-when-hidden) control from index 1 that needs redrawing
    // are told, and *rect grows by its invalid rectangle; so it does by the area of a control hidden
    // since it was drawn (IControl::TakeAreaLeftBehind). True when any did. When parts is given,
    // each such rectangle is also added to it (so that far apart changes can be sent apart).
    bool CollectChangedArea(IRectangle* rect, std::vector<IRectangle>* parts = nullptr);
    // Paints rect (see the strict-paint flag; a strict paint first grows rect by what the controls it
    // meets draw, IControl::WholePartsOf) into the drawing bitmap and presents it, without the
    // plug lock; the controls that paint from a copy take it under the plug lock before the paint
    // begins, all under one hold (a control that only an earlier control's paint shows takes it
    // before its own paint), so no paint reads what other threads write. Changes made while
    // painting land directly; posted ones wait for the next tick.
    bool PaintArea(const IRectangle& rect);
    // A value prompt for parameter over rect: a text field when the control takes typed values,
    // otherwise a popup of the control's own menu or the parameter's display texts; the choice
    // becomes the control's value (or goes to the plug-in for a menu parameter). The editor's
    // thread; the parameter's value is read under the plug lock, which the prompt does not hold.
    void PromptForValue(IControl* control, IParameter* parameter, const IRectangle& rect);
    // A committed text field: the text becomes a value of parameter and the control's value.
    // Text that cannot be read as a value changes nothing. The editor's thread, as above.
    void ApplyEnteredText(IControl* control, IParameter* parameter, const char* text);

protected:
    // The parameter's value, read under the plug lock (other threads set it under that lock).
    double LockedValue(const IParameter* parameter) const;
    // The hit search: the topmost control that is not hidden, not greyed (unless forHover and it
    // hovers while greyed) and contains the point; -1 when none.
    int HitSearch(int x, int y, bool forHover) const;
    // The captured control, else the hit search.
    int CapturedOrHit(int x, int y) const;
    // The control the plug-in names as taking every press (an open overlay box), or null.
    IControl* PressTaker(int x, int y, const IMouseModifiers& modifiers);

    // Fields, grouped by what they serve: the control list and the plug-in; the drawing state (clip,
    // bitmaps, size, frame rate); then the pointer, hover and key state of input dispatch.
    PtrList<IControl> controls_;
    IEffectBase* plug_;
    IRectangle paintClip_;
    DibBitmap* drawing_ = nullptr;
    MemoryBitmap* scratch_ = nullptr;
    int width_;
    int height_;
    int framesPerSecond_;
    int captured_ = -1;
    // The last press went to an overlay box: its release would otherwise land on whatever lies
    // under the pointer (a control that never saw the press, or the switch that opened the box).
    bool boxTookPress_ = false;
    int hovered_ = -1;
    int lastX_ = -1;
    int lastY_ = -1;
    bool hoverTracking_ = false;
    bool strictPaint_ = true;
    IControl* keyCatcher_ = nullptr;
    int lastClickedParameter_ = -1;
    // Kept for the window layer's cursor hiding.
    bool cursorHidden_ = false;
    int savedCursorX_ = 0;
    int savedCursorY_ = 0;

private:
    struct PostedChange
    {
        IControl* control; // null for a posted call
        int kind;
        double value;
        PostedCall call;
        void* target;
        int a;
        int b;
    };

    void DeleteDrawing();
    // Paints one control; one that paints from a copy (IControl::CapturesModel) and has none of
    // this paint yet first takes it under the plug lock, which it releases before painting.
    void PaintControl(IControl* control);
    // Before a strict paint of area: the copies of every shown control it meets that paints from
    // one, under one hold of the plug lock. A paint that took the lock for each of them would wait
    // for whatever other threads do once per control.
    void CaptureModelsFor(const IRectangle& area);
    // The reference paths of CollectChangedArea and PaintArea.
    bool CollectChangedAreaFullScan(IRectangle* rect, std::vector<IRectangle>* parts);
    // Grows *rect until it holds what every shown control it meets draws (IControl::WholePartsOf).
    void CoverWholeControls(IRectangle* rect) const;
    // One control of the collecting pass: when it is shown (or looked at while hidden) and needs
    // redrawing, its observers are told and *rect grows by its invalid rectangle; true then.
    bool CollectControl(IControl* control, IRectangle* rect, std::vector<IRectangle>* parts);
    void PaintControlsFullScan(const IRectangle& rect);
    void PaintControlsFromSets(const IRectangle& rect);
    // Drops the members of the changed set that need no paint.
    void PruneChangedSet();
    // Rebuilds both sets from the control list (after indices moved).
    void RebuildControlSets();
    // Rebuilds the table of controls by parameter index from the control list.
    void RebuildParameterIndex();

    // Controls by parameter index, in list order: the controls of parameter p are
    // byParameterControls_[byParameterStart_[p] .. byParameterStart_[p + 1]). Rebuilt on first use
    // after the list changes, so a host change reaches its controls without a walk over the whole
    // list (the plug-in adds tens of thousands of controls; a state read updates many parameters).
    std::vector<int> byParameterStart_;
    std::vector<IControl*> byParameterControls_;
    bool byParameterStale_ = true;

    ControlBitSet pending_;
    ControlBitSet shown_;
    bool fullScan_ = false;
    // A word that tells threads apart at the cost of one thread-local address (MustPost runs for
    // every control change).
    static const void* ThisThreadTag()
    {
        static thread_local const char tag = 0;
        return &tag;
    }
    std::atomic<const void*> editorThread_{nullptr};
    // The thread whose work is the user's input now (InputScope), or null.
    std::atomic<const void*> userInputThread_{nullptr};
    // Changes posted by other threads; the editor swaps the list out under postMutex_ and applies it.
    mutable std::mutex postMutex_;
    std::vector<PostedChange> posted_;
    std::vector<PostedChange> applying_;
    std::atomic<int> postedCount_{0};
    // The editor's thread is applying posted changes, or painting: changes it makes then land
    // directly, without applying further posts in between.
    bool applyingPosted_ = false;
    bool painting_ = false;
    // The controls whose copies the paint running now took ahead (CaptureModelsFor).
    std::vector<IControl*> capturedForPaint_;
};
