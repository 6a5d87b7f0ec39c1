#pragma once

// The host's road to a state read, shared by the framework's and the plug-in's chunk benchmarks:
// the effect's own program chunk handed back to it through effSetChunk.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "platform/vst/VstAbi.h"

namespace quova::bench
{
// Times effSetChunk of the chunk effGetChunk gives (program chunk); an error when it is refused.
inline void TimeSetChunk(benchmark::State& state, AEffect* effect)
{
    void* data = nullptr;
    const VstIntPtr size = effect->dispatcher(effect, vst::effGetChunk, 1, 0, &data, 0.0f);
    const std::vector<uint8_t> copy(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
    for (auto _ : state)
    {
        const VstIntPtr ok =
            effect->dispatcher(effect, vst::effSetChunk, 1, size, const_cast<uint8_t*>(copy.data()), 0.0f);
        if (ok != 1) state.SkipWithError("chunk refused");
    }
}
} // namespace quova::bench
