#pragma once

#include "engine/ScaleTable.h"

// Fits notes to one of the named scales, in a key (the pitch class of the key
// note) and a rotation (which step of the scale's mask sounds on the key note,
// i.e. the mode). Scale index -1 means no scale: notes then only move by
// semitones. Every result lies in 0..127. Not thread-safe: callers hold the
// plug-in's lock.
class Scale
{
public:
    static constexpr int kNoScale = -1;

    // Scale 0 ("Major"), key 0, rotation 0.
    Scale();

    // Sets the rotation 0..11 and re-applies the scale; false (no change)
    // outside 0..11.
    bool SetRoot(int rotation);
    // Selects scale 0..39 or -1 (none); false (no change) for any other index.
    bool SetScale(int index);
    // Sets the key 0..11; false (no change) outside 0..11.
    bool SetBaseNote(int key);

    int GetRoot() const { return rotation_; }
    int GetScale() const { return index_; }
    int GetBaseNote() const { return key_; }

    // Whether a note's pitch class is in the scale (always true with no scale).
    bool Contains(int note) const;

    // Moves a note by scale degrees. Degree 0 raises a note outside the scale
    // to the next scale note; +1 then goes one degree further; -1 passes the
    // first scale note below and stops at the second. With no scale the note
    // moves by semitones. The result is limited to 0..127.
    int MoveByDegrees(int note, int degrees) const;

    // Moves a note by offset semitones and raises the result to the next note
    // of the scale at or above it, limited to 0..127.
    int Quantize(int note, int offset) const;

private:
    void RebuildRotatedMask();
    // The note's position relative to the key, 0..11.
    int Position(long long note) const;

    int rotation_ = 0;
    ScaleTable::Mask mask_{};
    ScaleTable::Mask rotated_{};
    int index_ = 0;
    int key_ = 0;
};
