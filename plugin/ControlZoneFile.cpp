#include "plugin/ControlZoneFile.h"

#include "engine/ControlTargetTable.h"
#include "plugin/DataFolder.h"

#include <algorithm>
#include <fstream>

namespace
{
constexpr const char* kControlZoneFileName = "controlzone.qva";
} // namespace

std::string GetControlZoneFilePath()
{
    const std::string folder = GetDataFolderPath("data");
    return folder.empty() ? std::string() : folder + kControlZoneFileName;
}

std::vector<std::string> ReadControlZoneFile()
{
    std::vector<std::string> lines;
    const std::string path = GetControlZoneFilePath();
    if (path.empty() || !EnsureFolderExists(GetDataFolderPath("data"))) return lines;
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) return lines;
    std::string line;
    while (std::getline(in, line))
    {
        // A file edited on another system may end its lines with CR LF.
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<int> ControlZoneActionsFromLines(const std::vector<std::string>& lines)
{
    std::vector<int> ids(ControlTargetTable::kKeyCount, 0);
    const size_t n = std::min(lines.size(), ids.size());
    for (size_t i = 0; i < n; ++i)
        ids[i] = ControlTargetTable::TargetIdForWord(lines[i]);
    return ids;
}

void BuildControlZoneActions(ControlTargetTable& table)
{
    table.SetActions(ControlZoneActionsFromLines(ReadControlZoneFile()));
}

std::vector<std::string> SplitString(const std::string& text, char delimiter)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;)
    {
        const size_t end = text.find(delimiter, start);
        if (end == std::string::npos)
        {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}
