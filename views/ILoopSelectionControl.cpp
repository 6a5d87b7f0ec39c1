#include "views/ILoopSelectionControl.h"

#include "engine/Looper.h"
#include "gui/IGraphics.h"
#include "gui/OptionalPlugLock.h"

#include <algorithm>

namespace
{
constexpr IColorARGB kMarkerBack(20, 107, 152, 97);
} // namespace

ILoopSelectionControl::ILoopSelectionControl(IEffectBase* plug, const IRectangle& rect,
                                             const IBitmapStrip& startMarker, const IBitmapStrip& endMarker,
                                             int parameterIndex, int blendMethod)
    : IControl(plug, rect, parameterIndex, IBlendSpec(blendMethod, 1.0f)), startMarker_(startMarker),
      endMarker_(endMarker)
{
    IControl::MarkChanged(true);
}

IRectangle ILoopSelectionControl::StartMarkerRectangle() const
{
    const IRectangle& r = GetRect();
    const int x = r.left + kColumnWidth * start_;
    return IRectangle(x, r.top, x + kMarkerInset + 1, r.top + kMarkerHeight);
}

IRectangle ILoopSelectionControl::EndMarkerRectangle() const
{
    const IRectangle& r = GetRect();
    const int x = r.left + kColumnWidth * end_;
    return IRectangle(x, r.top, x + kColumnWidth, r.top + kMarkerHeight);
}

void ILoopSelectionControl::AttachLooper(Looper* looper)
{
    looper_ = looper;
    if (looper_ != nullptr)
    {
        start_ = looper_->LoopStart();
        end_ = looper_->LoopEnd() - 1;
    }
    IControl::MarkChanged(false);
}

void ILoopSelectionControl::Invalidate()
{
    IControl::MarkChanged(false);
    others_.clear();
}

void ILoopSelectionControl::AddOtherLooper(Looper* looper)
{
    if (looper != nullptr && std::find(others_.begin(), others_.end(), looper) == others_.end())
        others_.push_back(looper);
}

bool ILoopSelectionControl::Paint(IGraphics* graphics)
{
    const IRectangle startBox = StartMarkerRectangle();
    const IRectangle endBox = EndMarkerRectangle();
    graphics->PaintRectangle(kMarkerBack, startBox);
    graphics->PaintRectangle(kMarkerBack, endBox);
    const IBlendSpec copy(IBlendSpec::kMethodAlphaCopy, 1.0f);
    graphics->DrawBitmapRegion(startMarker_, startBox, 0, 0, &copy);
    graphics->DrawBitmapRegion(endMarker_, endBox, 0, 0, &copy);
    return true;
}

void ILoopSelectionControl::OnMouseButtonUp(int /*x*/, int /*y*/, const IMouseModifiers& /*modifiers*/)
{
    IControl::MarkChanged(true);
    picked_ = kNone;
}

void ILoopSelectionControl::OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers)
{
    IControl::MarkChanged(true);
    lastX_ = x;
    if (looper_ == nullptr) return;
    const IRectangle startBox = StartMarkerRectangle();
    const IRectangle endBox = EndMarkerRectangle();
    if (startBox.Contains(x, y))
    {
        picked_ = kStart;
        return;
    }
    if (endBox.Contains(x, y))
    {
        picked_ = kEnd;
        return;
    }
    if (x < startBox.left)
        picked_ = kStart;
    else if (x > endBox.left)
        picked_ = kEnd;
    else
        picked_ = modifiers.left ? kStart : kEnd;
    OnMouseDragged(x, y, 0, 0, modifiers);
}

void ILoopSelectionControl::WriteStart(Looper& looper) const
{
    looper.SetLoopStart(start_);
    looper.SetLength(looper.LoopEnd() - start_);
    looper.SetPosition(start_);
}

void ILoopSelectionControl::WriteEnd(Looper& looper) const
{
    looper.SetLoopEnd(end_ + 1);
    looper.SetLength(looper.LoopEnd() - looper.LoopStart());
}

void ILoopSelectionControl::OnMouseDragged(int x, int /*y*/, int /*dx*/, int /*dy*/,
                                           const IMouseModifiers& modifiers)
{
    IControl::MarkChanged(true);
    if (looper_ == nullptr || picked_ == kNone) return;
    const int c = (x - GetRect().left) / kColumnWidth;
    const bool startPicked = picked_ == kStart;
    const int current = startPicked ? start_ : end_;
    int delta = c - current;
    if (modifiers.alt)
    {
        // The whole range moves, and only when it stays inside the steps.
        if (start_ + delta < 0 || start_ + delta > end_) delta = 0;
        if (end_ + delta < start_ || end_ + delta > kStepCount - 1) delta = 0;
    }
    if (current == c) return;

    EditLock lock(GetPlug());
    if (startPicked || modifiers.alt)
    {
        const int previous = start_;
        start_ += delta;
        if (start_ > end_)
        {
            // The start cannot pass the end: the drag goes on with the end marker.
            start_ = previous;
            picked_ = kEnd;
            return;
        }
        start_ = std::max(start_, 0);
        WriteStart(*looper_);
        if (modifiers.control)
            for (Looper* other : others_)
                WriteStart(*other);
        if (!modifiers.alt)
        {
            lastX_ = x;
            return;
        }
    }
    const int previous = end_;
    end_ += delta;
    if (end_ < start_)
    {
        end_ = previous;
        picked_ = kStart;
        return;
    }
    end_ = std::min(end_, kStepCount - 1);
    WriteEnd(*looper_);
    if (modifiers.control)
        for (Looper* other : others_)
            WriteEnd(*other);
    lastX_ = x;
}
