#include "framework/HostId.h"

#include <cctype>
#include <cstring>

namespace
{

struct HostWord
{
    const char* word;
    IHostId id;
};

// Tested in this order; the first word found anywhere in the lower-cased text wins.
constexpr HostWord kHostWords[] = {
    {"cubase", kHostCubase},
    {"reaper", kHostReaper},
    {"nuendo", kHostNuendo},
    {"cakewalk", kHostSonar},
    {"samplitude", kHostSamplitude},
    {"fruity", kHostFL},
    {"live", kHostLive},
    {"melodyne", kHostMelodyne},
    {"vstmanlib", kHostVstManLib},
    {"aulab", kHostAULab},
    {"garageband", kHostGarageBand},
    {"forte", kHostForte},
    {"chainer", kHostChainer},
    {"audition", kHostAudition},
    {"orion", kHostOrion},
    {"sawstudio", kHostSAWStudio},
    {"logic", kHostLogic},
    {"digital", kHostDigital},
    {"audiomulch", kHostAudioMulch},
    {"presonus", kHostPresonus},
    {"vst3plugintesthost", kHostVST3TestHost},
    {"protools", kHostProTools},
    {"ardour", kHostArdour},
    {"standalone", kHostStandalone},
};

constexpr size_t kMaxConsidered = 255;

} // namespace

void ToLowerCopy(const char* text, char* out, size_t outSize)
{
    if (out == nullptr || outSize == 0) return;
    size_t i = 0;
    if (text != nullptr)
    {
        for (; text[i] != 0 && i < kMaxConsidered && i + 1 < outSize; ++i)
        {
            out[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
        }
    }
    out[i] = 0;
}

IHostId FindHostId(const char* productText)
{
    if (productText == nullptr) return kHostUnknown;
    char lower[kMaxConsidered + 1];
    ToLowerCopy(productText, lower, sizeof lower);
    for (const HostWord& entry : kHostWords)
    {
        if (std::strstr(lower, entry.word) != nullptr) return entry.id;
    }
    return kHostUnknown;
}
