#pragma once

#include "views/ParameterIndex.h"

#include <string>
#include <vector>

class IEffectBase;

// The definitions of every plug-in parameter: names, types, ranges, steps,
// defaults and display texts, in the plug-in's fixed definition order (later
// definitions of an index replace earlier ones, which matters only where the
// step on/off switches overlap). Indices and formulas: ParameterIndex.h.

namespace quova
{
// " T%d" (area + 1) for per-key-area names; with pattern >= 0 also " P%d"
// (pattern + 1) for per-pattern names.
std::string MakeAreaSuffix(int area, int pattern = -1);

// The display name of a note value: "%s %d" with the pitch name of value mod
// 12 and the octave value / 12, one lower in the hosts that number octaves
// from -2 (host ids 3, 9 and 21).
std::string FormatNoteName(int value, int hostId);

// Whether a host numbers octaves one lower (ids 3, 9, 21).
bool HostNamesOctavesLower(int hostId);

// Whether index is one of the editor's momentary buttons (a press sets 1.0, the release 0.0, and
// the press acts): the step tools, panic, the preset and chord-memory box buttons. A state read
// never presses them and leaves them at 0.
inline constexpr int kMomentaryButtons[] = {param::kRandomize,
                                            param::kCopyTool,
                                            param::kPasteTool,
                                            param::kClearTool,
                                            param::kPanicTool,
                                            param::kBoxLeft,
                                            param::kBoxRight,
                                            param::kBoxInfo,
                                            param::kBoxSettings,
                                            param::kChordMemoryBoxLeft,
                                            param::kChordMemoryBoxRight,
                                            param::kChordMemoryCopy,
                                            param::kChordMemoryPaste,
                                            param::kChordMemoryClear,
                                            param::kChordMemoryApply,
                                            param::kChordMemoryInvertRight,
                                            param::kChordMemoryInvertLeft};
bool IsMomentaryButton(int index);

// Defines all parameters of the plug-in on plug (which must hold at least
// param::kCount parameters, after the framework's second construction phase).
// hostId decides the octave of the note names; chordNames are the rows of the
// chord table in order (the texts of "Chord memory apply chord selection").
// The five lock parameters are flagged kept out of preset loads. Indices that
// no definition touches keep a freshly made parameter's state.
// Returns false (and defines nothing) when plug has too few parameters.
bool DefineParameters(IEffectBase& plug, int hostId, const std::vector<std::string>& chordNames);
} // namespace quova
