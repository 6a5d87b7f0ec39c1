#include "engine/ScaleTable.h"

namespace
{
struct ScaleEntry
{
    const char* name;
    ScaleTable::Mask mask;
};

// Generated from the semitone lists of the scales; entries 2 and 3 share a mask.
const ScaleEntry kScales[ScaleTable::kScaleCount] = {
    {"Major", {1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0, 1}},
    {"Minor", {1, 0, 1, 1, 0, 1, 0, 1, 1, 0, 1, 0}},
    {"Melodic Minor", {1, 0, 1, 1, 0, 1, 0, 1, 1, 0, 0, 1}},
    {"Harmonic Minor", {1, 0, 1, 1, 0, 1, 0, 1, 1, 0, 0, 1}},
    {"Minor Pentatonic", {1, 0, 0, 1, 0, 1, 0, 1, 0, 0, 1, 0}},
    {"Major Pentatonic", {1, 0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 0}},
    {"Blues Pentatonic", {1, 0, 0, 1, 0, 1, 1, 1, 0, 0, 1, 0}},
    {"Neut. Pentatonic", {1, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1, 0}},
    {"Dim Half", {1, 1, 0, 1, 1, 0, 1, 1, 0, 1, 1, 0}},
    {"Dim Whole", {1, 0, 1, 1, 0, 1, 1, 0, 1, 1, 0, 1}},
    {"Whole", {1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0}},
    {"Augmented", {1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 1}},
    {"Chromatic", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
    {"Roumanian Minor", {1, 0, 1, 1, 0, 0, 1, 1, 0, 1, 1, 0}},
    {"Spanish Gypsy ", {1, 1, 0, 0, 1, 1, 0, 1, 1, 0, 1, 0}},
    {"Blues", {1, 0, 0, 1, 0, 1, 1, 1, 0, 0, 1, 0}},
    {"Diatonic", {1, 0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 0}},
    {"Double Harmonic ", {1, 1, 0, 0, 1, 1, 0, 1, 1, 0, 0, 1}},
    {"Eight Tone Spanish ", {1, 1, 0, 1, 1, 1, 1, 0, 1, 0, 1, 0}},
    {"Enigmatic", {1, 1, 0, 0, 1, 0, 1, 0, 1, 0, 1, 1}},
    {"Leading Whole Tone ", {1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 1}},
    {"Lydian Augmented ", {1, 0, 1, 0, 1, 0, 1, 0, 1, 1, 0, 1}},
    {"Neoploitan Major", {1, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1}},
    {"Neopolitan Minor ", {1, 1, 0, 1, 0, 1, 0, 1, 1, 0, 1, 0}},
    {"Pelog", {1, 1, 0, 1, 0, 0, 0, 1, 1, 0, 0, 0}},
    {"Prometheus", {1, 0, 1, 0, 1, 0, 1, 0, 0, 1, 1, 0}},
    {"Promet. Neop.", {1, 1, 0, 0, 1, 0, 1, 0, 0, 1, 1, 0}},
    {"Six Tone Sym.", {1, 1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0}},
    {"Super Locrian", {1, 1, 0, 1, 1, 0, 1, 0, 1, 0, 1, 0}},
    {"Lydian Minor", {1, 0, 1, 0, 1, 0, 1, 1, 1, 0, 1, 0}},
    {"Lydian Dim", {1, 0, 1, 1, 0, 0, 1, 1, 0, 1, 0, 1}},
    {"Nine Tone Scale", {1, 0, 1, 1, 1, 0, 1, 1, 1, 1, 0, 1}},
    {"Aux Dim", {1, 0, 1, 1, 0, 1, 1, 0, 1, 1, 0, 1}},
    {"Aux Augmented", {1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0}},
    {"Aux Dim Blues", {1, 1, 0, 1, 1, 0, 1, 1, 0, 1, 1, 0}},
    {"Major Locrian", {1, 0, 1, 0, 1, 1, 1, 0, 1, 0, 1, 0}},
    {"Overtone", {1, 0, 1, 0, 1, 0, 1, 1, 0, 1, 1, 0}},
    {"Dim Whole Tone ", {1, 1, 0, 1, 1, 0, 1, 0, 1, 0, 1, 0}},
    {"Pure Minor", {1, 0, 1, 1, 0, 1, 0, 1, 1, 0, 1, 0}},
    {"Dominant 7th", {1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 1, 0}},
};
} // namespace

const ScaleTable::Mask* ScaleTable::GetMask(int index)
{
    return index >= 0 && index < kScaleCount ? &kScales[index].mask : nullptr;
}

const char* ScaleTable::GetName(int index)
{
    return index >= 0 && index < kScaleCount ? kScales[index].name : nullptr;
}
