#pragma once

// One note of a NoteList. The same record also serves as the working record
// a step is evaluated into: the step's lane values travel with the note to
// the pattern engine, which turns it into an output note.
struct NoteRecord
{
    static constexpr int kControllerCount = 8;

    int note = -1;                        // MIDI note 0..127; -1 while empty
    int sourceNote = -1;                  // the note before the last scale move
    double times[3] = {-1.0, -1.0, -1.0}; // pattern-engine times; -1.0 = unset
    long long work64 = 0;                 // free working storage of the pattern engine
    int workWord = 0;
    bool released = false;    // hold keeps the note after its key went up
    int orderPosition = -100; // place in the current sort order; -100 until computed
    int playedSequence = 0;   // notes held before this one was added
    bool muted = false;       // set by lane evaluation
    int velocity = 127;
    double accent = 0.0; // percent, added to the velocity
    int move = 0;        // last scale move applied
    int chord = 0;       // chord-lane bit mask of the step
    int source = -1;     // chord-memory lane value of the step
    double gate = 0.0;
    double length = 1.0;
    int transpose = 0;
    int stepNumber = 0;
    double division = 1.0;
    int flags = 0;
    int controllers[kControllerCount] = {0, 0, 0, 0, 0, 0, 0, 0};
    int flags2 = 0;
    double shift = 0.0; // the step's SHIFT value
    int overrideNote = -1;
};
