#include "presets/VisitedFolders.h"

#include <sys/stat.h>

bool VisitedFolders::Enter(const std::string& path)
{
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
    return entered_.emplace(static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)).second;
}
