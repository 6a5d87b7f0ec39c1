#pragma once

#include <array>

// The forty named scales: a twelve-step mask each (1 = the semitone belongs
// to the scale) with its display name, exactly as shown to the user
// (some names end in a blank).
class ScaleTable
{
public:
    static constexpr int kScaleCount = 40;
    static constexpr int kSteps = 12;
    using Mask = std::array<int, kSteps>;

    // The mask of scale index, or null outside 0..39.
    static const Mask* GetMask(int index);
    // The display name of scale index, or null outside 0..39.
    static const char* GetName(int index);
};
