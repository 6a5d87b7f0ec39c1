// The plug-in's processing road under the engine benchmark's heavy load, driven as a host drives
// it: MIDI through the effect record's processEvents, then processReplacing every block with the
// host's time info (120 bpm, 44100 Hz, 512-frame blocks, playing). Four key areas on, eight notes
// held in each, rate 1/32, every lane on, DIV 2 on every step, eight controller lanes sending with
// every note. Reports the real-time factor (seconds of audio per second of CPU; target 1000x)
// and the MIDI events sent per block.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/support/HeavyLoad.h"
#include "bench/support/ScratchDataFolder.h"
#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/Lanes.h"
#include "engine/PatternEngine.h"
#include "platform/vst/VstAbi.h"
#include "plugin/Tobel.h"

namespace
{

constexpr double kSampleRate = 44100.0;
constexpr double kSamplesPerBeat = 22050.0;
constexpr int kFrames = 512;

// A host that answers the time request and counts what the plug-in sends.
struct BenchHost
{
    VstTimeInfo time{};
    long long events = 0;
    static inline BenchHost* current = nullptr;

    static VstIntPtr Callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
    {
        BenchHost* host = current;
        if (host == nullptr) return 0;
        switch (opcode)
        {
        case vst::audioMasterGetTime:
            return reinterpret_cast<VstIntPtr>(&host->time);
        case vst::audioMasterProcessEvents:
            host->events += static_cast<const VstEvents*>(ptr)->numEvents;
            return 1;
        default:
            return 0;
        }
    }
};

// The engine benchmark's heavy load in every key area, with the eight controller lanes of each
// area sending controllers 20..27.
void ConfigureHeavyLoad(Tobel& plug)
{
    KeyAreaList& areas = *plug.GetEngineHost().GetKeyAreas();
    for (int a = 0; a < KeyAreaList::kAreaCount; ++a)
    {
        quova::bench::ConfigureHeavyArea(*areas.GetArea(a), a);
        for (int c = 0; c < quova::kControllerLaneCount; ++c)
            plug.SetControllerLaneNumber(a * 8 + c, 20 + c);
    }
}

void ModuleHeavyLoad(benchmark::State& state)
{
    quova::bench::UseScratchDataFolder();
    BenchHost host;
    BenchHost::current = &host;
    host.time.sampleRate = kSampleRate;
    host.time.tempo = 120.0;
    host.time.timeSigNumerator = 4;
    host.time.timeSigDenominator = 4;
    host.time.flags =
        vst::kVstTransportPlaying | vst::kVstPpqPosValid | vst::kVstTempoValid | vst::kVstTimeSigValid;
    {
        Tobel plug(&BenchHost::Callback);
        AEffect* effect = plug.GetEffect();
        effect->dispatcher(effect, vst::effOpen, 0, 0, nullptr, 0.0f);
        effect->dispatcher(effect, vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(kSampleRate));
        effect->dispatcher(effect, vst::effSetBlockSize, 0, kFrames, nullptr, 0.0f);
        effect->dispatcher(effect, vst::effMainsChanged, 0, 1, nullptr, 0.0f);
        ConfigureHeavyLoad(plug);

        // Eight held notes per key area, on the area's channel.
        std::vector<VstMidiEvent> notes;
        for (int a = 0; a < 4; ++a)
            for (int i = 0; i < 8; ++i)
            {
                VstMidiEvent e{};
                e.type = vst::kVstMidiType;
                e.byteSize = sizeof(VstMidiEvent);
                e.midiData[0] = static_cast<char>(0x90 + a);
                e.midiData[1] = static_cast<char>(40 + 5 * i);
                e.midiData[2] = static_cast<char>(64 + i);
                notes.push_back(e);
            }
        std::vector<char> listBytes(sizeof(VstEvents) + notes.size() * sizeof(VstEvent*));
        auto* list = reinterpret_cast<VstEvents*>(listBytes.data());
        list->numEvents = static_cast<VstInt32>(notes.size());
        for (size_t i = 0; i < notes.size(); ++i)
            list->events[i] = reinterpret_cast<VstEvent*>(&notes[i]);
        effect->dispatcher(effect, vst::effProcessEvents, 0, 0, list, 0.0f);

        std::vector<float> left(kFrames), right(kFrames);
        float* outputs[2] = {left.data(), right.data()};
        double position = 0.0;
        auto block = [&]
        {
            host.time.samplePos = position;
            host.time.ppqPos = position / kSamplesPerBeat;
            effect->processReplacing(effect, nullptr, outputs, kFrames);
            position += kFrames;
        };
        for (int i = 0; i < 200; ++i)
            block(); // warm-up: every pool filled
        const long long eventsBefore = host.events;
        long long blocks = 0;
        for (auto _ : state)
        {
            block();
            ++blocks;
        }
        state.counters["realtime_factor"] = benchmark::Counter(static_cast<double>(kFrames) / kSampleRate,
                                                               benchmark::Counter::kIsIterationInvariantRate);
        state.counters["events_per_block"] =
            blocks > 0 ? static_cast<double>(host.events - eventsBefore) / blocks : 0.0;
        effect->dispatcher(effect, vst::effMainsChanged, 0, 0, nullptr, 0.0f);
    }
    BenchHost::current = nullptr;
}
BENCHMARK(ModuleHeavyLoad);

} // namespace
