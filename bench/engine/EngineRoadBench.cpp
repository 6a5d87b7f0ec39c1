// The whole engine under heavy load: four key areas on, eight notes held in
// each, rate 1/32, every lane on, DIV 2 on every step, 44100 Hz, 512-frame
// blocks at 120 beats per minute. Reports the real-time factor (seconds of
// audio per second of CPU) and the heap allocations per block once the
// engine's pools have warmed up.
#include "bench/support/HeavyLoad.h"
#include "engine/EngineDefaults.h"
#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/Lanes.h"
#include "engine/NoteEngine.h"
#include "engine/OutputNote.h"
#include "engine/PatternEngine.h"
#include "engine/Processor.h"
#include "engine/TransportState.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<long long> g_allocations{0};
} // namespace

void* operator new(std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

// Memory from the counting operator new above comes from malloc.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace
{
constexpr double kSampleRate = 44100.0;
constexpr double kSamplesPerBeat = 22050.0;
constexpr int kFrames = 512;

class CountingListener : public ProcessorListener
{
public:
    void SendEvents(std::vector<OutputNote*>& notes) override
    {
        for (OutputNote* n : notes)
        {
            (n->kind == OutputNote::kNoteOn ? n->noteOnSent : n->noteOffSent) = true;
            ++sent;
        }
    }
    long long sent = 0;
};

struct HeavyEngine
{
    HeavyEngine()
    {
        transport.sampleRate = kSampleRate;
        quova::ApplyDefaultParameterState(host);
        KeyAreaList& areas = *host.GetKeyAreas();
        for (int a = 0; a < KeyAreaList::kAreaCount; ++a)
        {
            quova::bench::ConfigureHeavyArea(*areas.GetArea(a), a);
            for (int i = 0; i < 8; ++i)
                host.GetNoteEngine()->NoteOn(a + 1, 40 + 5 * i, 64 + i, 0);
        }
    }

    void Block()
    {
        transport.samplePosition = position;
        transport.beatPosition = position / kSamplesPerBeat;
        app.ProcessBlock(position, 0.0, kSamplesPerBeat, true, false, 0.0, -1.0, kFrames, false);
        position += kFrames;
    }

    TransportState transport;
    EngineHost host{transport};
    CountingListener listener;
    TobelApp app{transport, listener, host};
    double position = 0.0;
};

void WholeEngineHeavyLoad(benchmark::State& state)
{
    HeavyEngine engine;
    // Warm-up: one pass over the 32 steps of 1/32 (4 beats) fills every pool.
    for (int i = 0; i < 200; ++i)
        engine.Block();
    const long long allocationsBefore = g_allocations.load();
    long long blocks = 0;
    for (auto _ : state)
    {
        engine.Block();
        ++blocks;
    }
    const long long allocations = g_allocations.load() - allocationsBefore;
    state.counters["allocs_per_block"] = blocks > 0 ? static_cast<double>(allocations) / blocks : 0.0;
    // Seconds of audio per second of CPU: one block is 512 / 44100 s of audio.
    state.counters["realtime_factor"] = benchmark::Counter(static_cast<double>(kFrames) / kSampleRate,
                                                           benchmark::Counter::kIsIterationInvariantRate);
    state.counters["notes_per_block"] =
        blocks > 0 ? static_cast<double>(engine.listener.sent) / (blocks + 200) : 0.0;
}
BENCHMARK(WholeEngineHeavyLoad);

// The same load while notes arrive: in every block one held key of one area
// goes up and comes down again at another offset, so that note events are
// recorded, delivered and released all the time. The audio thread is to
// allocate nothing here either.
void WholeEngineNotesArriving(benchmark::State& state)
{
    HeavyEngine engine;
    NoteEngine& notes = *engine.host.GetNoteEngine();
    long long n = 0;
    auto block = [&]
    {
        const int area = static_cast<int>(n % KeyAreaList::kAreaCount);
        const int note = 40 + 5 * static_cast<int>((n / KeyAreaList::kAreaCount) % 8);
        notes.NoteOff(area + 1, note, static_cast<int>((n * 37) % 200));
        notes.NoteOn(area + 1, note, 90, 250 + static_cast<int>((n * 53) % 250));
        engine.Block();
        ++n;
    };
    for (int i = 0; i < 400; ++i)
        block();
    const long long allocationsBefore = g_allocations.load();
    long long blocks = 0;
    for (auto _ : state)
    {
        block();
        ++blocks;
    }
    const long long allocations = g_allocations.load() - allocationsBefore;
    state.counters["allocs_per_block"] = blocks > 0 ? static_cast<double>(allocations) / blocks : 0.0;
    state.counters["realtime_factor"] = benchmark::Counter(static_cast<double>(kFrames) / kSampleRate,
                                                           benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(WholeEngineNotesArriving);
} // namespace
