#include "plugin/GlobalSettings.h"

#include "plugin/DataFolder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace
{
constexpr const char* kSettingsFileName = "settings.qva";
} // namespace

std::string GetSettingsFilePath()
{
    const std::string folder = GetDataFolderPath("data");
    return folder.empty() ? std::string() : folder + kSettingsFileName;
}

bool ReadSettingsFile(std::string lines[GlobalSettings::kOptionCount])
{
    for (int i = 0; i < GlobalSettings::kOptionCount; ++i)
        lines[i].clear();
    const std::string path = GetSettingsFilePath();
    if (path.empty() || !EnsureFolderExists(GetDataFolderPath("data"))) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open())
    {
        const std::string defaults[GlobalSettings::kOptionCount] = {"false", "false", "false", "false",
                                                                    "false", "false", "false"};
        WriteSettingsFile(defaults, GlobalSettings::kOptionCount);
        return false;
    }
    std::string line;
    for (int i = 0; i < GlobalSettings::kOptionCount && std::getline(in, line); ++i)
    {
        // A file edited on another system may end its lines with CR LF.
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines[i] = line;
    }
    return true;
}

void ReadGlobalSettings(GlobalSettings* settings)
{
    if (settings == nullptr) return;
    std::string lines[GlobalSettings::kOptionCount];
    ReadSettingsFile(lines);
    for (int i = 0; i < GlobalSettings::kOptionCount; ++i)
        settings->options[i] = lines[i] == "true" ? 1 : 0;
}

bool WriteSettingsFile(const std::string* lines, int count)
{
    const std::string path = GetSettingsFilePath();
    if (path.empty() || lines == nullptr || count < 0 || !EnsureFolderExists(GetDataFolderPath("data")))
        return false;
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out.is_open()) return false;
        for (int i = 0; i < count; ++i)
            out << lines[i] << '\n';
        out.flush();
        if (!out.good())
        {
            out.close();
            std::remove(temporary.c_str());
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error)
    {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool WriteGlobalSettings(const GlobalSettings& settings)
{
    std::string lines[GlobalSettings::kOptionCount];
    for (int i = 0; i < GlobalSettings::kOptionCount; ++i)
        lines[i] = settings.options[i] != 0 ? "true" : "false";
    return WriteSettingsFile(lines, GlobalSettings::kOptionCount);
}
