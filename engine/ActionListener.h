#pragma once

struct StepEvent;

// What a pattern stepper reports to its pattern engine. Called on the audio
// thread or from parameter changes, always under the plug-in's lock.
class ActionListener
{
public:
    virtual ~ActionListener() = default;

    // A step event starts: produce its notes.
    virtual void OnStep(StepEvent& event) = 0;
    // A step event ends: release its notes.
    virtual void OnStepEnd(StepEvent& event) = 0;
    // A step starts (step index, its start time in samples).
    virtual void OnCycleEnd(int /*step*/, double /*startTime*/) {}
    // The step position moved (new step, a time of the old step's timing,
    // samples per beat, sample offset of the old step's end).
    virtual void OnStepAdvanced(int /*step*/, double /*time*/, double /*samplesPerBeat*/, double /*offset*/)
    {
    }
    // The current pattern's step length was applied again.
    virtual void OnStepLengthChanged() = 0;
    // The note order restarted.
    virtual void OnReset() = 0;
};
