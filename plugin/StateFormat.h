#pragma once

#include "presets/PresetInfo.h"

#include <cstdint>
#include <vector>

class IStateChunk;

// The plug-in state, format version 5, byte by byte (integers little-endian
// except the version word):
//
//   0    u32 big-endian version (5)
//   4    u8  editor-size flag (1 at the compact height; readers skip it)
//   5    preset name (33), author (51), description (255), usage (255)
//   599  name shown by the chord-memory box (32 bytes, the rest zero)
//   631  i32 slot count S, then per slot: i32 root note, i32 note count M, M x i32 notes
//   +    32 x i32 controller-lane numbers (lane + 8 x key area; -1 none)
//   +    816 x { i32 loop start, i32 loop end, u8 lane on } (area, pattern, lane order; packed)
//   +    3 x f64 option switches (MIDI note names, start notes immediately, only ORDER on/off)
//   +    the parameter block: one f64 per parameter in index order
//
// Older versions: a first word of 0 is a version-1 state without a version
// word (the body starts at the same position); a word of 101 or more is
// byte-swapped; versions 1 and 2 carry only the first two switch values; in
// versions 3 to 5 the third is present only when it lies in 0..1 (otherwise
// the parameter block starts there).
namespace quova::state
{
constexpr int kCurrentVersion = 5;
constexpr int kChordNameSize = 32;
constexpr int kChordSlotCount = 16;
constexpr int kMaxChordNotes = 8;
constexpr int kControllerLaneCount = 32;
constexpr int kLoopCount = 4 * 12 * 17;
constexpr int kSwitchCount = 3;
constexpr int kSwitchOffsetFromLoops = kLoopCount * 9; // bytes of the loop records

struct ChordSlot
{
    int32_t root = 12;
    std::vector<int32_t> notes;
};

struct LaneLoop
{
    int32_t start = 0;
    int32_t end = 32;
    uint8_t on = 1;
};

// A state as it is stored, apart from the parameter values.
struct StateImage
{
    int version = kCurrentVersion;
    uint8_t editorCompact = 0;
    PresetInfo info;
    char chordMemoryName[kChordNameSize + 1] = {}; // always terminated
    std::vector<ChordSlot> slots;
    int32_t controllerLanes[kControllerLaneCount];
    LaneLoop loops[kLoopCount];
    double switches[kSwitchCount] = {0.0, 0.0, 0.0};
    bool hasThirdSwitch = true;
    // Where the parameter block starts and where the state ends (set by ParseState).
    int parameterPos = -1;
    int endPos = -1;

    StateImage();
};

// Index of a lane's loop record.
constexpr int LoopIndex(int area, int pattern, int lane)
{
    return (area * 12 + pattern) * 17 + lane;
}

// Appends everything before the parameter block. The chord-memory name is cut
// to 32 bytes; the version written is always 5.
void AppendStateHead(IStateChunk& chunk, const StateImage& image);

// Parses and checks a state of version 1 to 5 at pos with parameterCount
// parameter values. Nothing is applied anywhere. Refused (false, out in an
// unspecified state) when:
//   - pos is -1 or fewer than 4 bytes remain; the version is outside 1..5;
//   - any field runs past the end of the data, the parameter block included;
//   - a preset-information text has no terminator within its width;
//   - the slot count is outside 0..16, a note count outside 0..8, a root note
//     or a note outside 0..127;
//   - a controller-lane number is outside -1..127;
//   - a loop range is not 0 <= start < end <= 32;
//   - a switch value or a parameter value is not finite.
bool ParseState(const IStateChunk& chunk, int pos, int parameterCount, StateImage* out);
} // namespace quova::state
