// A preset file as the preset loader reads it from disk (.t2z compressed or
// .t2 plain: the same reader takes both), applied to the plug-in.
#include "fuzz/FuzzPlugin.h"

#include "plugin/Tobel.h"
#include "plugin/TobelPresetHost.h"
#include "presets/PresetLoader.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    quova::fuzz::UsePrivateDataFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TobelPresetHost host(quova::fuzz::FuzzPlug());
    static const std::string path = std::string(getenv("XDG_DATA_HOME")) + "/fuzz" + QUOVA_PRESET_EXTENSION;
    if (!quova::fuzz::WriteWholeFile(path, data, size)) return 0;
    LoadPresetFileThread(path, &host, int64_t(size));
    quova::fuzz::FuzzProcess(256);
    return 0;
}
