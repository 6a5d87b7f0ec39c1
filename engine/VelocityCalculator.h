#pragma once

class NoteList;
class PatternEngine;
struct NoteRecord;

// Gives each generated note its velocity: a base velocity chosen by the mode
// plus the step's accent (percent of 127). The result is not limited; the
// pattern engine adds the key area's volume and limits the sum to 0..127.
class VelocityCalculator
{
public:
    enum Mode
    {
        kFixed = 0,   // 127
        kNote = 1,    // the note's own velocity
        kFirst = 2,   // the held notes' first velocity
        kLast = 3,    // the held notes' last velocity
        kAverage = 4, // the held notes' average velocity
    };

    // owner: the pattern engine this calculator belongs to (may be null).
    explicit VelocityCalculator(PatternEngine* owner = nullptr, int mode = kNote);

    // Any mode is stored; modes outside 0..4 give base 0.
    void SetMode(int mode) { mode_ = mode; }
    int GetMode() const { return mode_; }

    // base + accent / 100 x 127, truncated toward zero. The held list's
    // velocities are those of its last NoteList::ComputeOrder.
    int Velocity(const NoteList& held, const NoteRecord& record) const;

private:
    int mode_;
    PatternEngine* owner_; // part of the class's interface, unread here
};
