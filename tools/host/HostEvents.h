#pragma once
// The events the command-line host sends to a plug-in and the ones it
// collects from it.

#include <cstdint>
#include <vector>

namespace quova::host
{

// A short MIDI message queued for the plug-in, at a frame counted from the
// first sample the host processes (host time, independent of loop jumps).
struct QueuedMidi
{
    int64_t frame = 0;
    uint8_t bytes[3] = {0, 0, 0};
    int size = 0; // 1..3 bytes used
};

// Event types as the plug-in interface numbers them.
enum class ReceivedEventType : int32_t
{
    Midi = 1,
    SysEx = 6,
};

// One event the plug-in handed to the host.
struct ReceivedEvent
{
    int64_t block = -1;         // index of the block being processed, -1 outside processing
    int32_t offset = 0;         // the event's frame offset inside that block
    int64_t frame = 0;          // host time: first frame of the block + offset
    double quarters = 0.0;      // song position of the event, in quarter notes
    int32_t type = 0;           // ReceivedEventType, or another type number as received
    std::vector<uint8_t> bytes; // MIDI bytes (3 for a MIDI event) or the system-exclusive dump
};

} // namespace quova::host
