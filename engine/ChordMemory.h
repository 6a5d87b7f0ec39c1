#pragma once

#include "engine/NoteList.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

// One named chord of the chord table: its name and its note numbers in the
// order the table gives them.
struct ChordTableEntry
{
    std::string name;
    std::vector<int> notes;
};

// One chord slot: the chord itself (at most eight notes, with a root note)
// and the chord moved onto a played note. Non-copyable (owns note lists).
class ChordMemorySlot
{
public:
    ChordMemorySlot();
    ChordMemorySlot(const ChordMemorySlot&) = delete;
    ChordMemorySlot& operator=(const ChordMemorySlot&) = delete;

    NoteList& Chord() { return chord_; }
    const NoteList& Chord() const { return chord_; }
    NoteList& MovedChord() { return moved_; }

    // Rebuilds the moved chord: each chord note, in list order, as
    // note - root note + the played note, with the played note's velocity.
    // Notes that leave 0..127 are dropped. A null record leaves it empty.
    NoteList& MoveTo(const NoteRecord* played);

private:
    NoteList chord_;
    NoteList moved_;
};

// The engine's sixteen chord slots, the slot the editor works on, a copy
// buffer and the table of named chords. Slot indices outside 0..15 are
// refused by every operation. Not thread-safe: callers hold the plug-in's lock.
class ChordMemory
{
public:
    static constexpr int kSlotCount = 16;
    // Chord notes are edited on a three-octave keyboard: notes 0..35.
    static constexpr int kHighestChordNote = 35;

    ChordMemory();
    ChordMemory(const ChordMemory&) = delete;
    ChordMemory& operator=(const ChordMemory&) = delete;

    // The number of slots (all are created at construction).
    int SlotCount() const { return kSlotCount; }

    // The slot, or null outside 0..15.
    ChordMemorySlot* GetSlot(int slot);
    const ChordMemorySlot* GetSlot(int slot) const;

    // on: adds the note (velocity 0), result whether it was added;
    // off: removes it, result whether it was there. False for a bad slot.
    bool SetSlotNote(int slot, int note, bool on);
    // Whether the slot's chord holds the note (false for a bad slot).
    bool SlotHasNote(int slot, int note) const;
    // Sets the slot's root note; false for a bad slot.
    bool SetSlotRootNote(int slot, int root);
    // Empties a slot's chord (root kept); false for a bad slot.
    bool ClearSlot(int slot);
    // Empties every slot and sets each root note back to 12.
    void ClearAllSlots();

    // The slot the editor works on (0 at construction). Setting a slot
    // outside 0..15 is refused (false) and keeps the current one.
    int CurrentSlot() const { return currentSlot_; }
    bool SetCurrentSlot(int slot);

    // Operations on the current slot's chord.
    void ClearCurrentSlot();
    void CopyCurrentSlot();
    void PasteIntoCurrentSlot();
    // up: moves the lowest note up an octave; down: the highest note down an
    // octave. Refused (false) when the result would leave 0..35 or the chord
    // is empty; a note landing on a held note merges with it.
    bool InvertCurrentSlot(bool up);
    // Replaces the current chord with table entry index (root note 12); the
    // chord keeps at most its first eight notes. False for a bad index.
    bool ApplyChordToCurrentSlot(int index);

    // The chord table, filled by the plug-in core from its resource.
    void AddChordTableEntry(ChordTableEntry entry);
    void ClearChordTable() { chordTable_.clear(); }
    int ChordTableSize() const { return static_cast<int>(chordTable_.size()); }
    // The entry, or null outside the table.
    const ChordTableEntry* GetChordTableEntry(int index) const;

private:
    std::vector<ChordTableEntry> chordTable_;
    std::array<std::unique_ptr<ChordMemorySlot>, kSlotCount> slots_;
    int currentSlot_ = 0;
    ChordMemorySlot copyBuffer_;
};
