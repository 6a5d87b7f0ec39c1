#pragma once

#include "engine/NoteRecord.h"

#include <cstdint>
#include <vector>

// The timing record of one step position of the current pattern.
struct StepTiming
{
    bool started = false;
    bool ended = false;
    double startBeat = 0.0;
    double endBeat = 0.0;
    double startTime = -1.0; // host sample position of the start beat; -1.0 unset
};

// One timed note event of a step. Made one step ahead by the stepper,
// completed (lanes evaluated, gate, LENGTH, SHIFT and DIV applied) when it
// starts, and reused from the stepper's pool once it has ended.
struct StepEvent
{
    // A note the event sounds: the output note number, whether its note-off
    // is still due, and the MIDI channel its note-on went out on (the
    // note-off goes there too, whatever the key area's channel is by then).
    struct Sounding
    {
        int note = 0;
        bool active = true;
        int channel = 1;
    };

    int stepIndex = 0; // the SHIFT lane's position when the event was made
    bool started = false;
    bool hasRecord = false;  // the lanes have been evaluated into record
    double sampleTime = 0.0; // block offset of the last start or end, in samples
    NoteRecord record;       // the step's evaluated lane values
    std::vector<Sounding> sounding;
    // Beat times (kept in double precision: single precision drifts by samples
    // after a few thousand beats).
    double start = 0.0;          // shifted or swung start
    double unshiftedStart = 0.0; // the step boundary the event belongs to
    double end = 0.0;            // the note's end
    double shift = 0.0;          // whole-number SHIFT of the step, percent
    bool divided = false;
    int divisionIndex = 0;
    int divisionCount = 1;
    std::uint32_t sequence = 0; // from the sequence shared by all steppers
};
