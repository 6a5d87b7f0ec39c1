#pragma once
// Standard MIDI Files for the command-line host, read and written through
// libsmf. Only channel messages (status 0x80..0xEF) travel in and out; meta
// events, system exclusive and system messages in a file are skipped on
// reading, and the tempo and time signature are written as meta events.

#include <cstdint>
#include <string>
#include <vector>

namespace quova::host
{

struct MidiFileEvent
{
    int64_t tick = 0;           // position in pulses from the start of the song
    std::vector<uint8_t> bytes; // one complete channel message (2 or 3 bytes)
};

struct MidiFileSong
{
    int ticksPerQuarter = 960; // pulses per quarter note, 1..32767
    double tempo = 120.0;      // beats per minute (first tempo of the file when read)
    int numerator = 4;         // time signature (first one of the file when read)
    int denominator = 4;
    std::vector<MidiFileEvent> events; // sorted by tick, file order within a tick
};

// Reads every channel message of every track of the file, merged in time
// order. Files with SMPTE time division are refused. Returns false with a
// message in error and leaves song unchanged when the file cannot be read or
// is malformed.
bool ReadMidiFile(const std::string& path, MidiFileSong& song, std::string& error);

// Writes a format-0 file: tempo and time signature at tick 0, then the events
// in tick order (stable for equal ticks). Events that are not complete channel
// messages, or have a negative tick, are refused with false and no file is
// written. ticksPerQuarter must be 1..32767.
bool WriteMidiFile(const std::string& path, const MidiFileSong& song, std::string& error);

// The length of a channel message with the given status byte (2 or 3), or 0
// for anything that is not a channel status byte.
int ChannelMessageLength(uint8_t status);

} // namespace quova::host
