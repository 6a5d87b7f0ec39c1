// A small demonstration of what the engine does so far.
#include "engine/EngineVersion.h"

#include <cstdio>

int main()
{
    std::printf("Quova %d.%d.%d\n", quova::kVersionMajor, quova::kVersionMinor, quova::kVersionPatch);
    return 0;
}
