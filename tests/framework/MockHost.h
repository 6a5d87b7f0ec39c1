// An in-process stand-in for a host: answers the framework's audioMaster calls from fields the
// test sets, and records what the plug-in sends. One instance at a time (the callback finds it
// through a static pointer); tests are single-threaded.
#pragma once

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "framework/VstEntry.h"
#include "tests/framework/TestPlug.h"

struct MockHost
{
    struct Call
    {
        int opcode;
        int index;
        VstIntPtr value;
        float opt;
    };

    bool answerTime = true;
    VstTimeInfo time{};
    std::string product = "Mock Host";
    VstIntPtr vendorVersion = 20103;
    VstIntPtr processEventsAnswer = 1;
    std::vector<Call> calls;
    std::vector<VstMidiEvent> midiOut;  // MIDI events the plug-in sent
    std::vector<VstEvent*> returned;    // non-MIDI events handed back
    std::vector<VstIntPtr> timeFilters; // filters of every audioMasterGetTime

    static inline MockHost* current = nullptr;
    static inline TestPlugConfig config{};

    MockHost() { current = this; }
    ~MockHost() { current = nullptr; }

    int Count(int opcode) const
    {
        int n = 0;
        for (const Call& call : calls)
            n += call.opcode == opcode;
        return n;
    }

    static VstIntPtr Callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                              float opt)
    {
        MockHost* host = current;
        if (host == nullptr) return 0;
        host->calls.push_back({opcode, index, value, opt});
        switch (opcode)
        {
        case vst::audioMasterGetTime:
            host->timeFilters.push_back(value);
            return host->answerTime ? reinterpret_cast<VstIntPtr>(&host->time) : 0;
        case vst::audioMasterGetProductString:
            std::strncpy(static_cast<char*>(ptr), host->product.c_str(), 63);
            return 1;
        case vst::audioMasterGetVendorVersion:
            return host->vendorVersion;
        case vst::audioMasterProcessEvents:
        {
            const VstEvents* events = static_cast<const VstEvents*>(ptr);
            for (int i = 0; i < events->numEvents; ++i)
            {
                VstEvent* event = events->events[i];
                if (event->type == vst::kVstMidiType)
                {
                    host->midiOut.push_back(*reinterpret_cast<VstMidiEvent*>(event));
                }
                else
                {
                    host->returned.push_back(event);
                }
            }
            return host->processEventsAnswer;
        }
        default:
            return 0;
        }
    }

    static IEffectVST* Create(VstHostCallback callback) { return new TestPlug(callback, config); }

    // Runs the module entry with the given configuration.
    AEffect* MakeEffect(const TestPlugConfig& plugConfig = {})
    {
        config = plugConfig;
        return RunVstEntry(&MockHost::Callback, &MockHost::Create);
    }
};

inline TestPlug* PlugOf(AEffect* effect)
{
    return static_cast<TestPlug*>(static_cast<IEffectVST*>(effect->object));
}

inline VstIntPtr Dispatch(AEffect* effect, int opcode, int index = 0, VstIntPtr value = 0,
                          void* ptr = nullptr, float opt = 0.0f)
{
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}
