#include "views/IKeyboardControl.h"

#include "engine/ChordMemory.h"
#include "framework/IParameter.h"
#include "gui/IGraphics.h"
#include "gui/OptionalPlugLock.h"

#include <cmath>

namespace
{
constexpr IColorARGB kClear(0, 0, 0, 0);
constexpr IColorARGB kKeyOn(215, 106, 166, 236);
constexpr IColorARGB kKeyOutline(250, 0, 0, 0);
} // namespace

IKeyboardControl::IKeyboardControl(ChordMemory* chords, IEffectBase* plug, const IRectangle& rect,
                                   const IBitmapStrip& rootMarker, int parameterIndex, int blendMethod)
    : IControl(plug, rect, parameterIndex, IBlendSpec(blendMethod, 1.0f)), chords_(chords),
      rootMarker_(rootMarker)
{
    SetCapturesModel(true);
}

void IKeyboardControl::LayoutKeys()
{
    for (int i = 0; i < kKeys; ++i)
    {
        const int x = kKeyWidth * i;
        keyCells_[static_cast<size_t>(i)] = IRectangle(x, 0, x + kKeyWidth, kKeyHeight);
        rootCells_[static_cast<size_t>(i)] = IRectangle(x, kRootTop, x + kKeyWidth, kRootBottom);
    }
    laidOut_ = true;
}

int IKeyboardControl::KeyNote(int key) const
{
    return static_cast<int>(12 * octaveOffset_ + firstPitchClass_) + key;
}

void IKeyboardControl::OnMouseButtonDown(int x, int y, const IMouseModifiers& /*modifiers*/)
{
    ToggleKeyAt(x, y, false);
}

void IKeyboardControl::OnMouseDragged(int x, int y, int /*dx*/, int /*dy*/,
                                      const IMouseModifiers& /*modifiers*/)
{
    ToggleKeyAt(x, y, true);
}

void IKeyboardControl::OnMouseDoubleClicked(int x, int y, const IMouseModifiers& /*modifiers*/)
{
    ToggleKeyAt(x, y, false);
}

void IKeyboardControl::ToggleKeyAt(int x, int y, bool drag)
{
    IControl::MarkChanged(true);
    if (!laidOut_) LayoutKeys();
    if (chords_ == nullptr) return;
    const int rx = x - GetRect().left;
    const int ry = y - GetRect().top;
    const int slot = static_cast<int>(slot_);
    EditLock lock(GetPlug());
    for (int i = 0; i < kKeys; ++i)
    {
        const IRectangle& key = keyCells_[static_cast<size_t>(i)];
        if (key.Contains(rx, ry) && !drag)
        {
            const int note = KeyNote(i);
            chords_->SetSlotNote(slot, note, !chords_->SlotHasNote(slot, note));
            return;
        }
        const IRectangle& root = rootCells_[static_cast<size_t>(i)];
        if (rx >= root.left && rx < root.right && ry >= root.top)
        {
            chords_->SetSlotRootNote(slot, i);
            return;
        }
    }
}

void IKeyboardControl::CaptureModel()
{
    const ChordMemorySlot* slot = chords_ != nullptr ? chords_->GetSlot(static_cast<int>(slot_)) : nullptr;
    hasSlot_ = slot != nullptr;
    shownRoot_ = slot != nullptr ? slot->Chord().RootNote() : -1;
    for (int i = 0; i < kKeys; ++i)
        keyOn_[static_cast<size_t>(i)] = slot != nullptr && slot->Chord().Contains(KeyNote(i));
}

IRectangle IKeyboardControl::GetRectangle() const
{
    const IRectangle& r = GetRect();
    return IRectangle(r.left, r.top, r.right + 1, r.bottom);
}

bool IKeyboardControl::Paint(IGraphics* graphics)
{
    if (!laidOut_) LayoutKeys();
    const IRectangle& r = GetRect();
    graphics->PaintRectangle(kClear, r);
    if (chords_ == nullptr) return true;
    const int root = shownRoot_;
    for (int i = 0; i < kKeys; ++i)
    {
        const int note = KeyNote(i);
        const int x = r.left + kKeyWidth * i;
        if (note == root)
            graphics->DrawBitmapRegion(
                rootMarker_, IRectangle(x, r.top + kMarkerTop, x + kKeyWidth, r.top + kMarkerBottom), 0, 0,
                &blend_);
        if (hasSlot_ && keyOn_[static_cast<size_t>(i)])
        {
            graphics->PaintRectangle(kKeyOn, IRectangle(x, r.top, x + kKeyWidth, r.top + kKeyHeight));
            graphics->DrawRectangleOutline(kKeyOutline,
                                           IRectangle(x, r.top, x + kKeyWidth, r.top + kKeyHeight - 1));
        }
    }
    return true;
}

void IKeyboardControl::ShowSlot(int slot)
{
    if (slot < 0 || slot >= ChordMemory::kSlotCount) return;
    slot_ = static_cast<unsigned>(slot);
    if (chords_ != nullptr)
    {
        OptionalPlugLock lock(GetPlug());
        chords_->SetCurrentSlot(slot);
    }
    IControl::MarkChanged(true);
}

void IKeyboardControl::OnSubjectChanged(ISubject* subject)
{
    const IControl* control = dynamic_cast<const IControl*>(subject);
    if (control == nullptr) return;
    double value;
    if (const IParameter* parameter = control->GetParameter())
        value = parameter->Value();
    else
        value = std::round(control->GetValue() * (ChordMemory::kSlotCount - 1));
    if (!std::isfinite(value)) return;
    ShowSlot(static_cast<int>(value));
}

void IKeyboardControl::OnSubjectMouseEvent(ISubject* subject, int /*x*/, int /*y*/, int /*kind*/,
                                           const IMouseModifiers& /*modifiers*/)
{
    if (subject != nullptr && subject->GetTag(1) == kSelectionTag) OnSubjectChanged(subject);
    IControl::MarkChanged(true);
}
