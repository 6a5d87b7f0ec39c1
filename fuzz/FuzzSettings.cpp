// settings.qva in the data folder, read into the global options.
#include "fuzz/FuzzPlugin.h"
#include "plugin/GlobalSettings.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    quova::fuzz::UsePrivateDataFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = []
    {
        GlobalSettings settings;
        ReadGlobalSettings(&settings); // makes the data folder and the file
        return GetSettingsFilePath();
    }();
    if (path.empty() || !quova::fuzz::WriteWholeFile(path, data, size)) return 0;
    GlobalSettings settings;
    ReadGlobalSettings(&settings);
    return 0;
}
