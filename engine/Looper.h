#pragma once

// Walks an index through a loop range [loop start, loop end) in one of four
// modes, wrapping (Up, Down) or bouncing (Up Alt, Down Alt) at the ends.
// It is the base of the pattern stepper's step position and of every lane
// looper. Not thread-safe: callers hold the plug-in's lock.
//
// Ranges set from outside (states, presets, the editor) are clamped to
// 0 <= loop start <= 31 and loop start + 1 <= loop end <= 32, so that every
// index this looper hands out addresses one of the 32 steps.
class Looper
{
public:
    enum Mode
    {
        kUp = 0,
        kDown = 1,
        kUpAlt = 2,
        kDownAlt = 3,
    };
    static constexpr int kModeCount = 4;
    static constexpr int kMaxPositions = 32;

    // Display texts of the modes ("Direction" choice), or null outside 0..3.
    static const char* ModeName(int mode);

    // loopEnd: one past the last position (clamped to 1..32). The index is
    // placed by the first Reset; until then it is 0.
    explicit Looper(int loopEnd);
    virtual ~Looper() = default;
    Looper(const Looper&) = default;
    Looper& operator=(const Looper&) = default;

    // Forgets the peeked position and the started state and places the index
    // at the start of the range for forward modes, at its end for backward
    // modes, with the matching direction.
    virtual void Reset();

    // Stores the mode and resets as above. Modes outside 0..3 are refused
    // (false) and change nothing.
    bool SetMode(int mode);

    // Moves the index one position in the current direction, wrapping or
    // bouncing at the ends; true when the step left the range.
    bool Advance();

    // The position a lane plays now: the current index on the first call
    // after the index changed; on the next call the position after it; then
    // the current index again, and so on.
    int PeekNext();

    // Marks the looper started; true when one more step in the current
    // direction would leave the range.
    bool WouldLeaveRange();

    // Range and index setters used by the owners (clamped as stated above).
    // Setting the start keeps the end above it; changing the range never
    // moves the index (the next advance brings it back into the range).
    void SetLoopRange(int start, int end);
    void SetLoopStart(int start);
    void SetLoopEnd(int end);
    // Sets the index (clamped to 0..31); does not reset the peeked position.
    void SetPosition(int index);
    // The stored length word (the number of positions the range covers).
    void SetLength(int length) { length_ = length; }

    int LoopStart() const { return loopStart_; }
    int LoopEnd() const { return loopEnd_; }
    int Position() const { return current_; }
    int GetMode() const { return static_cast<int>(mode_); }
    int Length() const { return length_; }
    bool IsStarted() const { return started_; }
    bool IsBackward() const { return direction_ == 1; }

private:
    bool IsBouncing() const { return mode_ == kUpAlt || mode_ == kDownAlt; }
    bool IsForwardMode() const { return mode_ == kUp || mode_ == kUpAlt; }
    // Brings an index one step outside the range back into it: past the end
    // it wraps with the overshoot (Up), goes to the last position (Down) or
    // reflects; below the start it goes to the start (Up), the last position
    // (Down) or reflects. A reflection stores the direction it turns to.
    int WrapIndex(int index, unsigned& direction) const;

    unsigned direction_ = 0; // 0 forward, 1 backward
    int peeked_ = -1;
    int loopStart_ = 0;
    int loopEnd_;
    unsigned mode_ = kUp;
    int current_ = 0;
    bool started_ = false;
    int length_ = kMaxPositions;
};

// The looper of one lane of one pattern: a Looper over 32 steps with the
// lane's on flag, its reset-on-pattern-reset flag and a spare value.
class ControlLooper : public Looper
{
public:
    ControlLooper();

    bool IsLaneOn() const { return laneOn_; }
    void SetLaneOn(bool on) { laneOn_ = on; }
    bool ResetsOnPatternReset() const { return resetOnPatternReset_; }
    void SetResetOnPatternReset(bool on) { resetOnPatternReset_ = on; }
    int Value() const { return value_; }
    void SetValue(int value) { value_ = value; }

private:
    bool laneOn_ = true;
    bool resetOnPatternReset_ = false;
    int value_ = 0;
};
