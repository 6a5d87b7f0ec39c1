// IGraphics: the changed set (which controls a tick must look at), the shown set (which controls a
// paint may draw), their reference paths, and the road by which other threads post control
// changes to the editor's thread.
#include <algorithm>
#include <mutex>

#include "framework/EffectLock.h"
#include "framework/IEffectBase.h"
#include "gui/IControl.h"
#include "gui/IGraphics.h"
#include "gui/OptionalPlugLock.h"

namespace
{

bool NeedsPaintRequest(const IControl* control)
{
    return control->IsDirty() || control->IsRedrawPending() || control->IsAlwaysPolled();
}

} // namespace

// ---- the road from other threads --------------------------------------------------------------------

void IGraphics::BindEditorThread()
{
    OptionalPlugLock guard(plug_);
    editorThread_.store(ThisThreadTag(), std::memory_order_release);
    ApplyPostedChanges();
}

void IGraphics::UnbindEditorThread()
{
    OptionalPlugLock guard(plug_);
    editorThread_.store(nullptr, std::memory_order_release);
    ApplyPostedChanges();
}

void IGraphics::PostChange(IControl* control, int kind, double value)
{
    if (control == nullptr) return;
    std::lock_guard<std::mutex> guard(postMutex_);
    posted_.push_back(PostedChange{control, kind, value, nullptr, nullptr, 0, 0});
    postedCount_.store(static_cast<int>(posted_.size()), std::memory_order_release);
}

void IGraphics::PostCall(PostedCall call, void* target, int a, int b)
{
    if (call == nullptr) return;
    std::lock_guard<std::mutex> guard(postMutex_);
    posted_.push_back(PostedChange{nullptr, 0, 0.0, call, target, a, b});
    postedCount_.store(static_cast<int>(posted_.size()), std::memory_order_release);
}

void IGraphics::DiscardPostedChanges()
{
    std::lock_guard<std::mutex> lock(postMutex_);
    posted_.clear();
    postedCount_.store(0, std::memory_order_release);
}

void IGraphics::ApplyPostedChanges()
{
    if (!HasPostedChanges() || applyingPosted_ || painting_) return;
    OptionalPlugLock guard(plug_);
    // What other threads posted is theirs, also when it is applied during the user's input.
    InputScope notTheUsers(*this, false);
    applyingPosted_ = true;
    {
        std::lock_guard<std::mutex> lock(postMutex_);
        applying_.swap(posted_);
        postedCount_.store(0, std::memory_order_release);
    }
    // Applied on this thread now (MustPost is false here), in the order posted; a change that
    // applying makes (a derived control's own reaction) lands directly.
    for (const PostedChange& change : applying_)
    {
        if (change.control != nullptr)
        {
            change.control->ApplyPosted(change.kind, change.value);
        }
        else
        {
            change.call(change.target, change.a, change.b);
        }
    }
    for (const PostedChange& change : applying_)
        if (change.control != nullptr) change.control->ForgetPosted();
    applying_.clear();
    applyingPosted_ = false;
}

// ---- the changed set and the shown set -----------------------------------------------------------------

void IGraphics::NotePending(IControl* control)
{
    const int index = control->GetListIndex();
    if (controls_.Get(index) != control) return; // not (or no longer) in this editor's list
    pending_.Grow(controls_.Count());
    pending_.Set(index);
}

void IGraphics::NoteVisibility(IControl* control)
{
    const int index = control->GetListIndex();
    if (controls_.Get(index) != control) return;
    shown_.Grow(controls_.Count());
    if (control->IsHidden())
    {
        shown_.Clear(index);
    }
    else
    {
        shown_.Set(index);
    }
}

void IGraphics::RebuildControlSets()
{
    const int count = controls_.Count();
    pending_.Reset(count);
    shown_.Reset(count);
    for (int i = 0; i < count; ++i)
    {
        const IControl* control = controls_.Get(i);
        if (NeedsPaintRequest(control)) pending_.Set(i);
        if (!control->IsHidden()) shown_.Set(i);
    }
}

void IGraphics::PruneChangedSet()
{
    for (int i = pending_.NextFrom(0); i >= 0; i = pending_.NextFrom(i + 1))
    {
        if (!NeedsPaintRequest(controls_.Get(i))) pending_.Clear(i);
    }
}

bool IGraphics::CollectChangedArea(IRectangle* rect, std::vector<IRectangle>* parts)
{
    OptionalPlugLock guard(plug_);
    // The thread that ticks (and so paints) owns the controls, also when a host ticks the editor on
    // another thread than the one that opened it.
    if (MustPost()) editorThread_.store(ThisThreadTag(), std::memory_order_release);
    ApplyPostedChanges();
    if (fullScan_) return CollectChangedAreaFullScan(rect, parts);
    bool changed = false;
    // Members added while observers run are met when they lie ahead, as in the full scan.
    for (int i = pending_.NextFrom(1); i >= 0; i = pending_.NextFrom(i + 1))
    {
        IControl* control = controls_.Get(i);
        if (!NeedsPaintRequest(control))
        {
            pending_.Clear(i);
            continue;
        }
        changed = CollectControl(control, rect, parts) || changed;
    }
    return changed;
}

void IGraphics::CoverWholeControls(IRectangle* rect) const
{
    // The paint draws every control the area meets, and only the background is cut to the area: the
    // area takes in what each such control would draw outside it (and what that brings in), so that
    // nothing is drawn again over its own pixels.
    for (bool grown = !rect->IsEmpty(); grown;)
    {
        grown = false;
        for (int i = shown_.NextFrom(1); i >= 0; i = shown_.NextFrom(i + 1))
        {
            const IControl* control = controls_.Get(i);
            if (control->IsHidden() || !rect->Meets(control->GetRectangle())) continue;
            const IRectangle grownRect = rect->Union(control->WholePartsOf(*rect));
            if (grownRect == *rect) continue;
            *rect = grownRect;
            grown = true;
        }
    }
}

bool IGraphics::CollectChangedAreaFullScan(IRectangle* rect, std::vector<IRectangle>* parts)
{
    bool changed = false;
    for (int i = 1; i < controls_.Count(); ++i)
        changed = CollectControl(controls_.Get(i), rect, parts) || changed;
    return changed;
}

bool IGraphics::CollectControl(IControl* control, IRectangle* rect, std::vector<IRectangle>* parts)
{
    if (control->IsHidden() && !control->NotifiesWhenHidden())
    {
        // Its observers hear nothing, but the area a hidden control drew in is painted again once,
        // from what lies below, or its picture would stay on the screen.
        const IRectangle left = control->TakeAreaLeftBehind();
        if (left.IsEmpty()) return false;
        if (parts != nullptr) parts->push_back(left);
        if (rect != nullptr) *rect = rect->Union(left);
        return true;
    }
    if (!control->NeedsRedraw()) return false;
    control->NotifyChanged();
    if (parts != nullptr)
    {
        const IRectangle invalid = control->AddInvalidParts(parts);
        if (rect != nullptr) *rect = rect->Union(invalid);
    }
    else if (rect != nullptr)
    {
        *rect = rect->Union(control->GetInvalidRectangle());
    }
    return true;
}

void IGraphics::CaptureModelsFor(const IRectangle& area)
{
    capturedForPaint_.clear();
    OptionalPlugLock guard(plug_);
    const auto capture = [this, &area](int i)
    {
        IControl* control = controls_.Get(i);
        if (control == nullptr || !control->CapturesModel()) return;
        if (i > 0 && (control->IsHidden() || !area.Meets(control->GetRectangle()))) return;
        control->CaptureModel();
        capturedForPaint_.push_back(control);
    };
    capture(0);
    if (fullScan_)
    {
        for (int i = 1; i < controls_.Count(); ++i)
            capture(i);
    }
    else
    {
        for (int i = shown_.NextFrom(1); i >= 0; i = shown_.NextFrom(i + 1))
            capture(i);
    }
}

void IGraphics::PaintControl(IControl* control)
{
    if (control->CapturesModel() &&
        std::find(capturedForPaint_.begin(), capturedForPaint_.end(), control) == capturedForPaint_.end())
    {
        // Only the copy holds the lock; the paint runs without it.
        OptionalPlugLock guard(plug_);
        control->CaptureModel();
    }
    control->Paint(this);
    control->NoteDrawn();
}

// A control overlaps the painted area when area.Meets(control rect): a control that only touches the
// area's right or bottom edge from outside counts, one touching its left or top edge does not.
void IGraphics::PaintControlsFullScan(const IRectangle& rect)
{
    IControl* background = controls_.Get(0);
    if (strictPaint_)
    {
        paintClip_ = rect;
        PaintControl(background);
        for (int i = 1; i < controls_.Count(); ++i)
        {
            IControl* control = controls_.Get(i);
            if (!control->IsHidden() && rect.Meets(control->GetRectangle())) PaintControl(control);
        }
        for (int i = 1; i < controls_.Count(); ++i)
            controls_.Get(i)->MarkDrawn();
    }
    else if (background->NeedsRedraw())
    {
        paintClip_ = background->GetRectangle();
        for (int i = 0; i < controls_.Count(); ++i)
        {
            IControl* control = controls_.Get(i);
            if (!control->IsHidden()) PaintControl(control);
            control->MarkDrawn();
        }
    }
    else
    {
        for (int i = 1; i < controls_.Count(); ++i)
        {
            IControl* dirty = controls_.Get(i);
            if (!dirty->NeedsRedraw()) continue;
            paintClip_ = dirty->GetRectangle();
            for (int j = 0; j < controls_.Count(); ++j)
            {
                IControl* control = controls_.Get(j);
                if (control->IsHidden()) continue;
                if (j == i || paintClip_.Meets(control->GetRectangle())) PaintControl(control);
            }
            dirty->MarkDrawn();
        }
    }
    PruneChangedSet();
}

// The same order of paints and marks as the full scan: a control hidden or shown by an earlier
// control's paint is met (or passed) as there, since each step asks the sets afresh. Controls
// outside the changed set need no MarkDrawn (it would leave both flags clear).
void IGraphics::PaintControlsFromSets(const IRectangle& rect)
{
    IControl* background = controls_.Get(0);
    if (strictPaint_)
    {
        paintClip_ = rect;
        PaintControl(background);
        for (int i = shown_.NextFrom(1); i >= 0; i = shown_.NextFrom(i + 1))
        {
            IControl* control = controls_.Get(i);
            if (!control->IsHidden() && rect.Meets(control->GetRectangle())) PaintControl(control);
        }
        for (int i = pending_.NextFrom(1); i >= 0; i = pending_.NextFrom(i + 1))
        {
            IControl* control = controls_.Get(i);
            control->MarkDrawn();
            if (!NeedsPaintRequest(control)) pending_.Clear(i);
        }
    }
    else if (background->NeedsRedraw())
    {
        // A full repaint: every control is visited anyway.
        PaintControlsFullScan(rect);
    }
    else
    {
        for (int i = pending_.NextFrom(1); i >= 0; i = pending_.NextFrom(i + 1))
        {
            IControl* dirty = controls_.Get(i);
            if (!dirty->NeedsRedraw()) continue;
            paintClip_ = dirty->GetRectangle();
            for (int j = shown_.NextFrom(0); j >= 0; j = shown_.NextFrom(j + 1))
            {
                IControl* control = controls_.Get(j);
                if (control->IsHidden()) continue;
                if (j == i || paintClip_.Meets(control->GetRectangle())) PaintControl(control);
            }
            dirty->MarkDrawn();
            if (!NeedsPaintRequest(dirty)) pending_.Clear(i);
        }
    }
}
