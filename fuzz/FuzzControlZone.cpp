// controlzone.qva in the data folder, read and turned into the zone keys'
// action list.
#include "fuzz/FuzzPlugin.h"
#include "plugin/ControlZoneFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    quova::fuzz::UsePrivateDataFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = []
    {
        ReadControlZoneFile(); // makes the data folder
        return GetControlZoneFilePath();
    }();
    if (path.empty() || !quova::fuzz::WriteWholeFile(path, data, size)) return 0;
    if (ControlZoneActionsFromLines(ReadControlZoneFile()).size() != 24) std::abort();
    return 0;
}
