#pragma once

#include "engine/NoteRecord.h"

#include <array>
#include <memory>
#include <vector>

// A set of notes indexed by MIDI note number, with a list order beside the
// index. Every set of notes the engine keeps is one: held notes, notes kept by
// hold, chord-memory chords and chords moved onto a played note.
//
// The list owns its records. Invariants: a note occurs at most once; every
// record in the slots is also in the ordered list and the other way round.
// Not thread-safe: callers hold the plug-in's lock.
class NoteList
{
public:
    static constexpr int kNoteCount = 128;
    static constexpr int kDefaultLimit = 128;
    static constexpr int kChordLimit = 8;
    static constexpr int kDefaultRootNote = 12;

    // limit: the note count at which Add refuses more (at most 127 notes are
    // ever held, whatever the limit).
    explicit NoteList(int limit = kDefaultLimit);
    ~NoteList();
    NoteList(const NoteList&) = delete;
    NoteList& operator=(const NoteList&) = delete;

    // Adds note 0..127. Returns the new record, or null when the list is full,
    // the note is outside 0..127, or the note is already present. A present
    // note takes the new velocity; a released one added again with
    // released = false is taken back (its released flag is cleared and it
    // gets a new played sequence).
    NoteRecord* Add(int note, int velocity, bool released);

    // Removes a note; false when it is absent. The played sequences of the
    // remaining notes become their list positions 0, 1, 2 ...
    bool Remove(int note);

    // Moves a record of this list by d semitones. False, and nothing changes,
    // when the record is not in this list or the new note lies outside
    // 0..highest. When the new note is already present the two merge (the
    // moved record is deleted). The record keeps its place in the list order.
    bool MoveNote(NoteRecord* record, int semitones, int highest);

    // Replaces the destination's notes with this list's notes (velocity 0, in
    // list order, subject to the destination's limit) and gives it this list's
    // root note. Copying a list onto itself does nothing.
    void CopyTo(NoteList& destination) const;

    // Removes every note whose released flag is set.
    void RemoveReleased();

    // Deletes every note.
    void Clear();

    // Computes the order positions for sort mode 0 (low to high), 1 (high to
    // low), 2 (as played) or 3 (reversed); any other mode keeps the positions.
    // Then computes the first, last and average velocities. Does nothing for
    // an empty list.
    void ComputeOrder(int sortMode);

    // Over the present notes of the octave (octave x 12 .. + 11, ascending),
    // decrements each played sequence greater than sequence; returns the last
    // value written, 0 when none was.
    int CountFrom(int sequence, int octave);

    int Count() const { return static_cast<int>(ordered_.size()); }
    bool IsEmpty() const { return ordered_.empty(); }

    // The record of a note, or null when absent or outside 0..127.
    NoteRecord* Find(int note) const;
    bool Contains(int note) const { return Find(note) != nullptr; }
    // The record at a list position, or null outside 0..Count()-1.
    NoteRecord* At(int index) const;
    // The first record whose order position equals position, or null.
    NoteRecord* FindByOrderPosition(int position) const;
    // The highest order position held (0 for an empty list).
    int HighestOrderPosition() const;
    // The records with the lowest and highest note number, or null when empty.
    NoteRecord* Lowest() const;
    NoteRecord* Highest() const;

    // Makes records ahead of time, so that the first count notes added
    // allocate nothing. Removed notes keep their records for the next ones:
    // once as many notes as ever were held are back, adding allocates nothing.
    void PrepareRecords(int count);

    // The records in list order.
    const std::vector<NoteRecord*>& Ordered() const { return ordered_; }

    int FirstVelocity() const { return firstVelocity_; }
    int LastVelocity() const { return lastVelocity_; }
    int AverageVelocity() const { return averageVelocity_; }

    int RootNote() const { return rootNote_; }
    void SetRootNote(int root) { rootNote_ = root; }

private:
    static constexpr int kMaxHeld = 127;

    void Unlink(NoteRecord* record);
    std::unique_ptr<NoteRecord> TakeRecord();
    void GiveBack(std::unique_ptr<NoteRecord> record);
    void RenumberPlayedSequences();

    std::array<std::unique_ptr<NoteRecord>, kNoteCount> slots_;
    std::vector<NoteRecord*> ordered_;
    std::vector<std::unique_ptr<NoteRecord>> spare_; // records of removed notes, for reuse
    int limit_;
    int firstVelocity_ = 0;
    int lastVelocity_ = 0;
    int averageVelocity_ = 0;
    int rootNote_ = kDefaultRootNote;
};
