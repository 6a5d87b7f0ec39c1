#pragma once

#include "gui/IBitmapStrip.h"
#include "gui/IControl.h"

#include <vector>

class Looper;

// The strip above the step grid on which the loop range of the shown lane is
// set: a start marker and an end marker, each on a step column 24 pixels
// wide, dragged with the mouse. The markers write straight into the lane's
// Looper; with Control held the same range goes into the loopers of the
// pattern's other lanes; with Alt held the whole range moves.
// The strip's end is inclusive (the last step of the loop); the looper's end
// is one past it.
//
// Threads: the editor's thread. The loopers belong to the engine, which reads
// them on the audio thread: every write holds the plug-in's lock.
// Lifetime: owned by the editor; the loopers it is bound to belong to the
// engine, which outlives it. Non-copyable.
class ILoopSelectionControl : public IControl
{
public:
    static constexpr int kColumnWidth = 24;
    static constexpr int kMarkerInset = 22; // the start marker is 23 pixels wide
    static constexpr int kStepCount = 32;
    static constexpr int kMarkerHeight = 15;

    ILoopSelectionControl(IEffectBase* plug, const IRectangle& rect, const IBitmapStrip& startMarker,
                          const IBitmapStrip& endMarker, int parameterIndex = -1,
                          int blendMethod = IBlendSpec::kMethodAlphaCopy);

    // ---- IControl (mouse input is ignored while no looper is bound) ----------------------------
    // Picks the marker under the point, or the nearer one, and moves it there.
    void OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers) override;
    void OnMouseButtonUp(int x, int y, const IMouseModifiers& modifiers) override;
    // Moves the picked marker (both with Alt) to the column under x.
    void OnMouseDragged(int x, int y, int dx, int dy, const IMouseModifiers& modifiers) override;
    void OnMouseDoubleClicked(int, int, const IMouseModifiers&) override {}
    bool Paint(IGraphics* graphics) override;

    // ---- the plug-in's binding (editor thread, under the plug-in's lock) ------------------------
    // Shows and edits looper (null unbinds): start := its start, end := its end - 1.
    void AttachLooper(Looper* looper);
    // Asks for a repaint and empties the list of other loopers.
    void Invalidate();
    // Adds a looper that Control-drags write as well (null and duplicates ignored).
    void AddOtherLooper(Looper* looper);
    IRectangle StartMarkerRectangle() const;
    IRectangle EndMarkerRectangle() const;

    int GetStart() const { return start_; }
    int GetEnd() const { return end_; }
    // 0 none, 1 start, 2 end.
    int GetPicked() const { return picked_; }
    Looper* GetLooper() const { return looper_; }
    int OtherLooperCount() const { return static_cast<int>(others_.size()); }

private:
    enum Pick
    {
        kNone = 0,
        kStart = 1,
        kEnd = 2,
    };
    void WriteStart(Looper& looper) const;
    void WriteEnd(Looper& looper) const;

    std::vector<Looper*> others_;
    Looper* looper_ = nullptr;
    IBitmapStrip startMarker_;
    IBitmapStrip endMarker_;
    int start_ = 0;
    int end_ = kStepCount;
    int lastX_ = 0;
    int picked_ = kNone;
};
