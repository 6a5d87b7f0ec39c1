#include "fuzz/FuzzPlugin.h"

#include "framework/VstEntry.h"
#include "plugin/Tobel.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace quova::fuzz
{
namespace
{
constexpr double kRate = 44100.0;
VstTimeInfo gTime{};
double gPosition = 0.0;

VstIntPtr Callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    switch (opcode)
    {
    case vst::audioMasterVersion:
        return vst::kVstVersion;
    case vst::audioMasterGetTime:
        gTime = VstTimeInfo{};
        gTime.samplePos = gPosition;
        gTime.sampleRate = kRate;
        gTime.tempo = 120.0;
        gTime.ppqPos = gPosition / (kRate / 2.0);
        gTime.timeSigNumerator = 4;
        gTime.timeSigDenominator = 4;
        gTime.flags =
            vst::kVstTransportPlaying | vst::kVstPpqPosValid | vst::kVstTempoValid | vst::kVstTimeSigValid;
        return reinterpret_cast<VstIntPtr>(&gTime);
    case vst::audioMasterProcessEvents:
    case vst::audioMasterWantMidi:
        return 1;
    default:
        return 0;
    }
}
} // namespace

AEffect* FuzzEffect()
{
    static AEffect* effect = []
    {
        // The plug-in reads and writes its options files there: never the user's.
        UsePrivateDataFolder();
        AEffect* made = RunVstEntry(&Callback, &Tobel::Create);
        if (!made) std::abort();
        made->dispatcher(made, vst::effOpen, 0, 0, nullptr, 0.0f);
        made->dispatcher(made, vst::effSetSampleRate, 0, 0, nullptr, float(kRate));
        made->dispatcher(made, vst::effSetBlockSize, 0, 4096, nullptr, 0.0f);
        made->dispatcher(made, vst::effMainsChanged, 0, 1, nullptr, 0.0f);
        made->dispatcher(made, vst::effStartProcess, 0, 0, nullptr, 0.0f);
        return made;
    }();
    return effect;
}

Tobel& FuzzPlug()
{
    return *static_cast<Tobel*>(static_cast<IEffectVST*>(FuzzEffect()->object));
}

void FuzzProcess(int32_t frames)
{
    static float buffers[4][4096];
    float* inputs[2] = {buffers[0], buffers[1]};
    float* outputs[2] = {buffers[2], buffers[3]};
    frames = frames < 1 ? 1 : frames > 4096 ? 4096 : frames;
    AEffect* effect = FuzzEffect();
    effect->processReplacing(effect, inputs, outputs, frames);
    gPosition += frames;
}

void UsePrivateDataFolder()
{
    static const bool done = []
    {
        const char* temporary = std::getenv("TMPDIR");
        std::string folder =
            std::string(temporary && temporary[0] == '/' ? temporary : "/tmp") + "/quova-fuzz-XXXXXX";
        if (!mkdtemp(folder.data())) std::abort();
        // The data folder lies below the platform's common application-data folder.
        setenv("XDG_DATA_HOME", folder.c_str(), 1);
        return true;
    }();
    (void)done;
}

bool WriteWholeFile(const std::string& path, const uint8_t* data, std::size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

} // namespace quova::fuzz
