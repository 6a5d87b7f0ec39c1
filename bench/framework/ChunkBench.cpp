// effGetChunk and effSetChunk of a plug-in with 56,738 double parameters, through the effect
// record as a host calls them. Target: at most 5 ms each.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench/support/ChunkRoundTrip.h"
#include "framework/IEffectVST.h"

namespace
{

constexpr int kParameters = 56738;

class BenchPlug : public IEffectVST
{
public:
    BenchPlug()
        : IEffectVST(nullptr, 17080, kParameters, "0-2", 0, "Bench", "", "Maker", 0x00010204, 1, 2, 0, true,
                     true, true)
    {
        initialize(0, "0-2", 0, "Bench", "", "Maker");
        for (int i = 0; i < kParameters; ++i)
        {
            GetParameter(i)->DefineDouble("p", 0.5, 0.0, 1.0, 0.001);
            GetParameter(i)->SetValue((i % 997) / 997.0);
        }
    }
};

void BM_GetChunk(benchmark::State& state)
{
    BenchPlug plug;
    AEffect* effect = plug.GetEffect();
    void* data = nullptr;
    for (auto _ : state)
    {
        const VstIntPtr size = effect->dispatcher(effect, vst::effGetChunk, 1, 0, &data, 0.0f);
        benchmark::DoNotOptimize(size);
        benchmark::DoNotOptimize(data);
    }
}
BENCHMARK(BM_GetChunk)->Unit(benchmark::kMillisecond);

void BM_SetChunk(benchmark::State& state)
{
    BenchPlug plug;
    quova::bench::TimeSetChunk(state, plug.GetEffect());
}
BENCHMARK(BM_SetChunk)->Unit(benchmark::kMillisecond);

} // namespace
