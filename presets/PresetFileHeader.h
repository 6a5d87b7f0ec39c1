// PresetFileHeader: the 606-byte header in front of the plug-in's state in a preset file.
//
//   offset  width  field
//        0      4  big-endian u32: 1
//        4      4  big-endian u32: the plug-in's parameter count
//        8     33  name         (zero-terminated, zero-padded)
//       41     51  author
//       92    255  description
//      347    255  usage
//      602      4  big-endian u32: length of the state in bytes
//      606    var  the state
//
// Readers take the texts by position and read the state from offset 606 to the end of the data;
// the format word, the parameter count and the state length are informational only.
#pragma once

#include <cstdint>

#include "presets/PresetInfo.h"

class IStateChunk;

struct PresetFileHeader
{
    static constexpr int kNameOffset = 8;
    static constexpr int kAuthorOffset = 41;
    static constexpr int kDescriptionOffset = 92;
    static constexpr int kUsageOffset = 347;
    static constexpr int kStateLengthOffset = 602;
    static constexpr int kSize = 606;
    static constexpr uint32_t kFormatWord = 1;

    uint32_t formatWord = kFormatWord;
    uint32_t parameterCount = 0;
    PresetInfo texts;
    uint32_t stateLength = 0;

    // Appends the 606 header bytes to chunk. False (chunk size unchanged) when it cannot grow.
    bool AppendTo(IStateChunk* chunk) const;

    // Reads the fields by position from size bytes of data. Bytes the data does not reach count as
    // zero, and every text keeps at most its width - 1 characters, so the result is always
    // terminated whatever the file holds.
    static PresetFileHeader Parse(const uint8_t* data, int size);
};

// Builds a whole preset file's bytes into out: the header of texts and parameterCount, then
// state, with the state's length in the header. False when out cannot grow (out is emptied).
bool BuildPresetFileChunk(const PresetInfo& texts, uint32_t parameterCount, const IStateChunk& state,
                          IStateChunk* out);
