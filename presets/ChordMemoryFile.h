// The chord-memory set file (".cmb"): raw little-endian signed 32-bit integers: the slot count N,
// then for each slot its root note, its note count M and its M notes in the slot's order.
//
// Reading parses the whole file into a ChordMemorySet first and applies nothing unless the file is
// complete and sane, so a truncated or hostile file leaves the chord memory as it was.
//
// Parsing and writing touch no shared state (any thread); ApplyChordMemorySet and
// WriteChordMemorySet read or change the engine's chord memory: callers hold the plug-in's lock.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <vector>

class ChordMemory;

struct ChordMemorySet
{
    // Bounds a file must keep: at most the engine's slot count, and a slot can hold no more notes
    // than there are MIDI notes.
    static constexpr int kMaxSlots = 16;
    static constexpr int kMaxNotesPerSlot = 128;

    struct Slot
    {
        int32_t root = 12;
        std::vector<int32_t> notes;
    };
    std::vector<Slot> slots;
};

// Reads a set from in. Nothing (and no partial result) when the data ends early, when N lies
// outside 0..16 or a note count outside 0..128. Note numbers are kept as read; applying skips
// those outside 0..127.
std::optional<ChordMemorySet> ParseChordMemorySet(std::istream& in);

// Clears every slot (roots back to 12), then gives slot i < N its root and its notes (added in
// file order; notes outside 0..127 and notes the slot refuses are skipped).
void ApplyChordMemorySet(const ChordMemorySet& set, ChordMemory* memory);

// The chord memory as a set: all sixteen slots, notes in slot order.
ChordMemorySet CaptureChordMemorySet(const ChordMemory& memory);

// Writes set to out in the file layout. False when the stream fails.
bool WriteChordMemorySet(const ChordMemorySet& set, std::ostream& out);
