#pragma once

// The heavy load the engine and plug-in benchmarks measure, set up in one
// place so that their figures stay comparable.
#include "engine/Lanes.h"
#include "engine/PatternEngine.h"

namespace quova::bench
{
// Key area `index` (0..3) under heavy load: MIDI in and out on channel
// index + 1, keys 36..96 with base note 36, enabled; every pattern at rate
// 1/32 and every step with DIV 2, accent (step % 4) x 10, transpose step % 3
// and controller values (step x 4 + lane) & 127 on all eight lanes.
inline void ConfigureHeavyArea(PatternEngine& area, int index)
{
    area.SetMidiInChannel(index + 1);
    area.SetMidiOutChannel(index + 1);
    area.SetStartNote(36);
    area.SetEndNote(96);
    area.SetBaseNote(36);
    area.SetEnabled(true);
    PatternStepper& stepper = area.GetStepper();
    for (int p = 0; p < kPatternCount; ++p)
    {
        stepper.SetPatternRate(p, 0.125); // 1/32
        for (int s = 0; s < kStepCount; ++s)
        {
            stepper.SetStepDiv(p, s, 2.0);
            stepper.SetStepAccent(p, s, (s % 4) * 10.0);
            stepper.SetStepTranspose(p, s, s % 3);
            for (int c = 0; c < kControllerLaneCount; ++c)
                stepper.SetStepCC(p, s, c, (s * 4 + c) & 127);
        }
    }
}
} // namespace quova::bench
