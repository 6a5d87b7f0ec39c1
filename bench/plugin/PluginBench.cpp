// From the module entry to a ready, opened plug-in (targets: 50 ms, 64 MB without the editor),
// and the state writer and reader (target: 5 ms each), and effSetChunk.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/resource.h>

#include "bench/support/ChunkRoundTrip.h"
#include "bench/support/ScratchDataFolder.h"
#include "framework/IStateChunk.h"
#include "framework/VstEntry.h"
#include "plugin/Tobel.h"

namespace
{

VstIntPtr QuietHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float)
{
    return 0;
}

void BM_EntryToOpenedPlugin(benchmark::State& state)
{
    quova::bench::UseScratchDataFolder();
    double heapBytes = 0.0;
    for (auto _ : state)
    {
        const size_t before = mallinfo2().uordblks;
        AEffect* effect = RunVstEntry(&QuietHost, &Tobel::Create);
        if (effect == nullptr)
        {
            state.SkipWithError("the entry returned no effect");
            break;
        }
        effect->dispatcher(effect, vst::effOpen, 0, 0, nullptr, 0.0f);
        heapBytes = static_cast<double>(mallinfo2().uordblks - before);
        state.PauseTiming();
        effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
        state.ResumeTiming();
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["heap_MB"] = heapBytes / (1024.0 * 1024.0);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_EntryToOpenedPlugin)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_StateWrite(benchmark::State& state)
{
    quova::bench::UseScratchDataFolder();
    Tobel plug(nullptr);
    IStateChunk chunk;
    for (auto _ : state)
    {
        chunk.Clear();
        benchmark::DoNotOptimize(plug.WriteState(&chunk));
    }
    state.counters["bytes"] = chunk.Size();
}
BENCHMARK(BM_StateWrite)->Unit(benchmark::kMillisecond);

void BM_StateRead(benchmark::State& state)
{
    quova::bench::UseScratchDataFolder();
    Tobel plug(nullptr);
    IStateChunk chunk;
    plug.WriteState(&chunk);
    for (auto _ : state)
        benchmark::DoNotOptimize(plug.ReadState(&chunk, 0, false));
}
BENCHMARK(BM_StateRead)->Unit(benchmark::kMillisecond);

// The host's road to the same read: effSetChunk with a program chunk (target: below the state
// read plus 0.5 ms).
void BM_EffSetChunk(benchmark::State& state)
{
    quova::bench::UseScratchDataFolder();
    AEffect* effect = RunVstEntry(&QuietHost, &Tobel::Create);
    if (effect == nullptr)
    {
        state.SkipWithError("the entry returned no effect");
        return;
    }
    effect->dispatcher(effect, vst::effOpen, 0, 0, nullptr, 0.0f);
    quova::bench::TimeSetChunk(state, effect);
    effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
}
BENCHMARK(BM_EffSetChunk)->Unit(benchmark::kMillisecond);

} // namespace
