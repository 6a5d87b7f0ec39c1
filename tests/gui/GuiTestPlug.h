// A plug-in base with a handful of parameters that records what controls ask of it: parameter
// changes, host notifications and menu-parameter choices.
#pragma once

#include <vector>

#include "framework/IEffectBase.h"

class GuiTestPlug : public IEffectBase
{
public:
    // kGain: double 0..100 (default 25, so normalised 0.25); kMode: enum of four texts; kSwitch:
    // bool; kMenu: enum "MIDI learn", "MIDI unlearn"; kHidden: int 0..10, not reported to the host.
    enum Param
    {
        kGain,
        kMode,
        kSwitch,
        kMenu,
        kHidden,
        kCount
    };
    struct Prompted
    {
        int controlListIndex, parameterIndex, menuParameterIndex, x, y;
    };
    struct HostNotice
    {
        int index;
        double value;
    };

    GuiTestPlug();

    void OnParameterChanged(int index) override { changed.push_back(index); }
    void OnPromptedParameterChange(int control, int parameter, int menuParameter, int x, int y) override
    {
        prompted.push_back({control, parameter, menuParameter, x, y});
    }
    void NotifyHostOfParameterChange(int index, double value) override
    {
        hostNotices.push_back({index, value});
    }
    void BeginParameterEdit(int) override {}
    void EndParameterEdit(int) override {}
    void NotifyHostOfPresetChange() override {}
    int64_t GetSamplePosition() override { return 0; }
    double GetHostTempo() override { return 120.0; }
    void GetTimeSignature(int*, int*) override {}
    void GetTransportInfo(ITransportInfo*) override {}
    void ResizeEditor() override {}
    bool SendMidiMessage(const IMidiMessage&) override { return true; }
    bool SendMidiMessages(const HeapBuffer&) override { return true; }

    std::vector<int> changed;
    std::vector<Prompted> prompted;
    std::vector<HostNotice> hostNotices;
};
