// Writes the bank chunk of a module whose state differs from a fresh one, for the third-party host
// test: two octaves and a gate of +50 % in key area 1, pattern 1, so that the notes played show
// whether the state reached the plug-in.
//   ardour_varied_chunk MODULE OUTPUT
#include <cstdio>
#include <fstream>
#include <vector>

#include "tools/host/VstHost.h"
#include "views/ParameterIndex.h"

namespace
{

// setParameter with a value in the parameter's own units over its range.
void Set(AEffect* effect, int index, double value, double minimum, double maximum)
{
    effect->setParameter(effect, index, static_cast<float>((value - minimum) / (maximum - minimum)));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: %s MODULE OUTPUT\n", argv[0]);
        return 2;
    }
    using namespace quova::param;
    quova::host::VstHost host;
    std::vector<uint8_t> chunk;
    if (!host.Load(argv[1]) || !host.Open())
    {
        std::fprintf(stderr, "%s\n", host.LastError().c_str());
        return 1;
    }
    Set(host.Effect(), kOctaves + Slot(0, 0), 2.0, 1.0, 5.0);
    Set(host.Effect(), kPatternGate + Slot(0, 0), 50.0, -100.0, 100.0);
    if (!host.GetChunk(true, chunk) || chunk.empty())
    {
        std::fprintf(stderr, "no chunk: %s\n", host.LastError().c_str());
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
    return out ? 0 : 1;
}
