#pragma once

#include "gui/IBitmapStrip.h"
#include "gui/IControl.h"
#include "gui/IObserverInterface.h"

#include <array>

class ChordMemory;

// The three-octave keyboard on which a chord-memory slot is edited: each of
// its 36 keys (16 pixels wide, 31 high) toggles one note 0..35 of the slot's
// chord, and the strip of cells under the keys (from 32 pixels down) sets the
// slot's root note. It shows the slot chosen by the chord-memory selection
// control, which it observes.
//
// Threads: the editor's thread. The chord memory is also used by the engine
// on the audio thread, so every edit of it here holds the plug-in's lock, and
// Paint shows the copy CaptureModel takes under that lock before each paint.
// Lifetime: made by the plug-in with the engine's chord memory, which
// outlives it; owned by the editor. Non-copyable.
class IKeyboardControl : public IControl, public IObserverInterface
{
public:
    static constexpr int kKeys = 36;
    static constexpr int kKeyWidth = 16;
    static constexpr int kKeyHeight = 31;
    static constexpr int kRootTop = 32;
    static constexpr int kRootBottom = 38;
    static constexpr int kMarkerTop = 35;
    static constexpr int kMarkerBottom = 45;
    // The second tag of the chord-memory selection control.
    static constexpr int kSelectionTag = 10;

    // chords: the engine's chord memory (may be null: the keyboard shows and
    // edits nothing). rootMarker: drawn under the root key.
    IKeyboardControl(ChordMemory* chords, IEffectBase* plug, const IRectangle& rect,
                     const IBitmapStrip& rootMarker, int parameterIndex = -1,
                     int blendMethod = IBlendSpec::kMethodAlphaCopy);

    // ---- IControl ------------------------------------------------------------------------------
    // A press on a key toggles its note; a press in the root strip sets the root.
    void OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers) override;
    void OnMouseButtonUp(int, int, const IMouseModifiers&) override {}
    // A drag only moves the root note, never the chord.
    void OnMouseDragged(int x, int y, int dx, int dy, const IMouseModifiers& modifiers) override;
    void OnMouseDoubleClicked(int x, int y, const IMouseModifiers& modifiers) override;
    bool Paint(IGraphics* graphics) override;
    // The rectangle and one pixel column right of it, where the last key's outline stands (an
    // outline takes the pixels on its right coordinate).
    IRectangle GetRectangle() const override;
    IRectangle GetInvalidRectangle() const override { return GetRectangle(); }
    // Copies the shown slot's root note and which keys' notes its chord holds.
    void CaptureModel() override;

    // ---- IObserverInterface (the chord-memory selection control) ---------------------------------
    // Shows and selects the slot the control's parameter value names.
    void OnSubjectChanged(ISubject* subject) override;
    // From the selection control (second tag 10): as OnSubjectChanged.
    void OnSubjectMouseEvent(ISubject* subject, int x, int y, int kind,
                             const IMouseModifiers& modifiers) override;

    // Shows and edits slot 0..15 (others refused) and makes it the engine's
    // selected slot.
    void ShowSlot(int slot);
    int GetShownSlot() const { return static_cast<int>(slot_); }
    // The note key i shows.
    int KeyNote(int key) const;
    // Toggles the note or sets the root at (x, y) (editor coordinates).
    void ToggleKeyAt(int x, int y, bool drag);

private:
    void LayoutKeys();

    ChordMemory* chords_;
    unsigned slot_ = 0;
    unsigned octaveOffset_ = 0;
    unsigned firstPitchClass_ = 0;
    bool laidOut_ = false;
    std::array<IRectangle, kKeys> keyCells_{};
    std::array<IRectangle, kKeys> rootCells_{};
    IBitmapStrip rootMarker_;
    // The shown slot as CaptureModel last found it: whether it exists, its
    // root note (-1 without a slot) and the keys its chord holds.
    bool hasSlot_ = false;
    int shownRoot_ = -1;
    std::array<bool, kKeys> keyOn_{};
};
