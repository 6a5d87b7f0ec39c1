#include "presets/PresetNames.h"

#include <Poco/Exception.h>
#include <Poco/File.h>
#include <Poco/Path.h>
#include <Poco/RegularExpression.h>

#include <vector>

#include "presets/VisitedFolders.h"

namespace
{

constexpr int kMaxFolderDepth = 16;

// Searches a folder that visited has just entered.
bool FindFileBelow(const std::string& name, const std::string& folder, int depth, VisitedFolders& visited)
{
    std::vector<std::string> names;
    try
    {
        Poco::File(folder).list(names);
    }
    catch (const Poco::Exception&)
    {
        return false;
    }
    for (const std::string& entry : names)
    {
        const std::string path = folder + "/" + entry;
        try
        {
            Poco::File file(path);
            if (file.isDirectory())
            {
                if (depth < kMaxFolderDepth && visited.Enter(path) &&
                    FindFileBelow(name, path, depth + 1, visited))
                    return true;
            }
            else if (file.isFile() && Poco::Path(path).getBaseName() == name)
            {
                return true;
            }
        }
        catch (const Poco::Exception&)
        {
            // A dangling link or an entry removed meanwhile: not a hit.
        }
    }
    return false;
}

} // namespace

std::string IsValidPresetName(const std::string& name)
{
    // match() anchors at both ends and refuses an empty subject; DOLLAR_ENDONLY keeps "$" from
    // accepting a trailing line feed. Never destroyed: a host may save from its exit handlers.
    static const auto* rule =
        new Poco::RegularExpression("^[a-zA-Z0-9_ ]*$", Poco::RegularExpression::RE_DOLLAR_ENDONLY);
    if (!name.empty() && rule->match(name)) return name;
    return "Preset 1";
}

bool FindFileRecursive(const std::string& name, const std::string& folder)
{
    std::string start = folder;
    while (start.size() > 1 && start.back() == '/')
        start.pop_back();
    VisitedFolders visited;
    return visited.Enter(start) && FindFileBelow(name, start, 0, visited);
}
