// The plug-in's state chunk as a host hands it over: effSetChunk on the
// effect record. The first byte picks a bank (odd) or a program chunk; the
// rest is the chunk. An accepted chunk must save again, and a block must play.
#include "fuzz/FuzzPlugin.h"

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    AEffect* effect = quova::fuzz::FuzzEffect();
    const int index = (data[0] & 1) ? 0 : 1;
    // A buffer of exactly the chunk's size, so reading past it is caught.
    std::vector<uint8_t> chunk(data + 1, data + size);
    const VstIntPtr accepted = effect->dispatcher(effect, vst::effSetChunk, index, VstIntPtr(chunk.size()),
                                                  chunk.empty() ? nullptr : chunk.data(), 0.0f);
    if (accepted)
    {
        void* saved = nullptr;
        if (effect->dispatcher(effect, vst::effGetChunk, index, 0, &saved, 0.0f) <= 0 || !saved) std::abort();
    }
    quova::fuzz::FuzzProcess(256);
    return 0;
}
