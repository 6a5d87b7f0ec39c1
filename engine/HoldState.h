#pragma once

#include <vector>

// One of a key area's two note-input states: the hold state (serves while
// hold is on) and the play state (serves while hold is off and hold sync on).
//
// It keeps the chord that sounds (its keys, with whether each is still down)
// and a new chord being collected. A key pressed while the sounding chord has
// a key down joins that chord at once; a key pressed when all of the chord's
// keys are up starts collecting a new chord, which takes the old one's place
// at the next hold-sync point. With the keep flag (hold transpose) the first
// chord is remembered, and later chords transpose it instead of replacing it.
class HoldState
{
public:
    enum Phase
    {
        kIdle = 0,
        kCollecting = 1,
        kPlaying = 2,
    };

    struct Key
    {
        int note = 0;
        int velocity = 0;
        bool down = true;
    };

    // Room for every note is made here, so that keys arriving on the audio
    // thread never grow the lists.
    HoldState();

    // A key went down. True when the note joins the sounding chord now (the
    // key area plays it); false when it is collected for the next sync point.
    bool Add(int note, int velocity);
    // A key went up. True when the state keeps the key (a key of the chord or
    // of the collected chord), false when it does not know it.
    bool Release(int note);
    // Takes a key out of the state altogether (true when it was there).
    bool Remove(int note);

    bool AnyChordKeyDown() const;
    bool InCollect(int note) const;
    bool InChord(int note) const;

    // Makes the collected chord the sounding one (collect list emptied).
    void TakeCollected();
    // Empties both lists and the remembered chord; phase idle.
    void Clear();

    Phase GetPhase() const { return phase_; }
    // Sets the keep flag and forgets the remembered chord.
    void SetKeep(bool keep);
    // The first chord, remembered for hold transpose (empty until a second
    // chord arrives while the keep flag is set).
    const std::vector<Key>& Remembered() const { return remembered_; }
    const std::vector<Key>& Chord() const { return chord_; }
    const std::vector<Key>& Collect() const { return collect_; }
    // Starts the sounding chord from a list of notes (keys down).
    void SetChord(const std::vector<Key>& keys);

private:
    Phase phase_ = kIdle;
    std::vector<Key> chord_;
    std::vector<Key> collect_;
    std::vector<Key> remembered_;
    bool keep_ = false;
    bool full_ = false; // the first chord has been remembered
};
