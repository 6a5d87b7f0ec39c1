// A tiny plug-in module for the host's tests, written directly against the
// binary declarations. Built four ways: the echo module, one without an
// entry (ECHO_WITHOUT_ENTRY), one whose entry makes no effect
// (ECHO_NULL_EFFECT) and one whose record lacks the magic (ECHO_BAD_MAGIC).

#include "tests/tools/EchoModule.h"
#include "platform/vst/VstAbi.h"

#include <cstring>
#include <vector>

#if !defined(ECHO_WITHOUT_ENTRY)
namespace
{
struct Echo
{
    AEffect effect{};
    VstHostCallback host = nullptr;
    std::vector<VstMidiEvent> pending;
    std::vector<char> chunk;
    std::vector<EchoTimeRecord> times;
    EchoConstructionRecord construction{};
};

Echo* gNewest = nullptr;

Echo* Self(AEffect* effect)
{
    return static_cast<Echo*>(effect->object);
}

void TakeEvents(Echo* echo, const VstEvents* list)
{
    for (VstInt32 i = 0; i < list->numEvents; ++i)
    {
        VstEvent* event = list->events[i];
        if (!event) continue;
        if (event->type == vst::kVstMidiType)
        {
            echo->pending.push_back(*reinterpret_cast<VstMidiEvent*>(event));
        }
        else
        {
            // Not ours to handle: straight back to the host.
            VstEvents one{};
            one.numEvents = 1;
            one.events[0] = event;
            echo->host(&echo->effect, vst::audioMasterProcessEvents, 0, 0, &one, 0.0f);
        }
    }
}

[[maybe_unused]] VstIntPtr Dispatcher(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr value, void* ptr,
                                      float)
{
    Echo* echo = Self(effect);
    switch (opcode)
    {
    case vst::effClose:
        if (gNewest == echo) gNewest = nullptr;
        delete echo;
        return 0;
    case vst::effProcessEvents:
        if (!ptr) return 0;
        TakeEvents(echo, static_cast<const VstEvents*>(ptr));
        return 1;
    case vst::effGetChunk:
        if (!ptr) return 0;
        *static_cast<void**>(ptr) = echo->chunk.data();
        return VstIntPtr(echo->chunk.size());
    case vst::effSetChunk:
        if (!ptr || value < 4 || std::memcmp(ptr, "ECHO", 4) != 0)
        {
#ifdef ECHO_DIRTY
            echo->chunk.push_back('!'); // a careless plug-in: a refused chunk still leaves a trace
#endif
            return 0;
        }
        echo->chunk.assign(static_cast<char*>(ptr), static_cast<char*>(ptr) + value);
        return 1;
    case vst::effGetVstVersion:
        return vst::kVstVersion;
    default:
        return 0;
    }
}

[[maybe_unused]] void ProcessReplacing(AEffect* effect, [[maybe_unused]] float** inputs, float** outputs,
                                       VstInt32 frames)
{
    Echo* echo = Self(effect);
#ifdef ECHO_DIRTY
    // A careless plug-in: writes into its input and leaves the second output as it found it.
    inputs[0][frames - 1] = 0.0f;
    for (VstInt32 i = 0; i < frames; ++i)
        outputs[0][i] = 0.0f;
#else
    for (int c = 0; c < effect->numOutputs; ++c)
        for (VstInt32 i = 0; i < frames; ++i)
            outputs[c][i] = 0.0f;
#endif

    EchoTimeRecord record{};
    const auto* time = reinterpret_cast<const VstTimeInfo*>(
        echo->host(effect, vst::audioMasterGetTime, 0, 0x3E00, nullptr, 0.0f));
    if (time)
    {
        record.hadTimeInfo = 1;
        record.flags = time->flags;
        record.samplePos = time->samplePos;
        record.sampleRate = time->sampleRate;
        record.ppqPos = time->ppqPos;
        record.tempo = time->tempo;
        record.barStartPos = time->barStartPos;
        record.cycleStartPos = time->cycleStartPos;
        record.cycleEndPos = time->cycleEndPos;
        record.numerator = time->timeSigNumerator;
        record.denominator = time->timeSigDenominator;
    }
    echo->times.push_back(record);

    for (VstMidiEvent& event : echo->pending)
    {
        VstEvents one{};
        one.numEvents = 1;
        one.events[0] = reinterpret_cast<VstEvent*>(&event);
        echo->host(effect, vst::audioMasterProcessEvents, 0, 0, &one, 0.0f);
    }
    echo->pending.clear();
}

[[maybe_unused]] void SetParameter(AEffect*, VstInt32, float) {}
[[maybe_unused]] float GetParameter(AEffect*, VstInt32)
{
    return 0.0f;
}
} // namespace

extern "C" __attribute__((visibility("default"))) int EchoTestTimeLog(EchoTimeRecord* out, int max)
{
    if (!gNewest) return 0;
    const int count = int(gNewest->times.size());
    for (int i = 0; i < count && i < max; ++i)
        out[i] = gNewest->times[std::size_t(i)];
    return count;
}

extern "C" __attribute__((visibility("default"))) EchoConstructionRecord EchoTestConstruction()
{
    return gNewest ? gNewest->construction : EchoConstructionRecord{};
}

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(VstHostCallback host)
{
#if defined(ECHO_NULL_EFFECT)
    (void)host;
    return nullptr;
#elif defined(ECHO_BAD_MAGIC)
    (void)host;
    static AEffect garbled{}; // static: a host refuses it without closing it
    garbled.dispatcher = &Dispatcher;
    return &garbled;
#else
    if (!host) return nullptr;
    auto* echo = new Echo;
    echo->host = host;
    AEffect& e = echo->effect;
    e.magic = vst::kEffectMagic;
    e.dispatcher = &Dispatcher;
    e.setParameter = &SetParameter;
    e.getParameter = &GetParameter;
    e.processReplacing = &ProcessReplacing;
#ifdef ECHO_DIRTY
    e.numInputs = 2;
#else
    e.numInputs = 0;
#endif
    e.numOutputs = 2;
    e.flags = vst::effFlagsCanReplacing | vst::effFlagsProgramChunks | vst::effFlagsIsSynth;
    e.object = echo;
    e.uniqueID = vst::FourCC('e', 'c', 'h', 'o');
    e.version = 1;
    const char* initial = kEchoInitialChunk;
    echo->chunk.assign(initial, initial + std::strlen(initial));

    // Ask the host who it is before handing over the record, as real plug-ins do.
    echo->construction.hostVersionSeen = host(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f);
    char product[256] = {};
    host(&e, vst::audioMasterGetProductString, 0, 0, product, 0.0f);
    std::memcpy(echo->construction.productSeen, product, sizeof echo->construction.productSeen - 1);
    echo->construction.vendorVersionSeen = host(&e, vst::audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f);
    gNewest = echo;
    return &e;
#endif
}
#endif
