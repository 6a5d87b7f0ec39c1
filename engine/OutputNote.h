#pragma once

#include <cstdint>

// A generated note on its way from a key area's pattern engine through the
// note engine to the plug-in. Owned by the note engine's pool; valid until the
// processor has handed it to ProcessorListener::SendEvents and removed it.
struct OutputNote
{
    static constexpr int kNoteOn = 1;
    static constexpr int kNoteOff = 0;
    static constexpr int kControllerCount = 8;

    int note = 0;      // 0..127
    int move = 0;      // the scale move applied
    int velocity = 0;  // 0..127 (127 for note-offs)
    double time = 0.0; // sample offset within the block (a whole number)
    int kind = kNoteOn;
    int channel = 1; // MIDI out channel 1..16
    int value = 0;
    bool sendOnlyControllers = false; // the key area sends the controllers only
    bool suppressNoteOn = false;      // merged with a sounding note: no note-on message
    bool noteOffSent = false;
    bool noteOnSent = false;
    int controllers[kControllerCount] = {0, 0, 0, 0, 0, 0, 0, 0};
    int overrideNote = -1; // sent instead of note when above 0
    int keyArea = 0;
    int stepNumber = 0;              // 0..31
    bool muted = false;              // the step was muted: nothing is sent
    std::uint32_t eventSequence = 0; // the step event that made it (0: none)
};
