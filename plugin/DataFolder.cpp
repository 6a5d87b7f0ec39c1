#include "plugin/DataFolder.h"

#include "platform/win32/Shell.h"

#include <filesystem>
#include <system_error>

std::string GetDataFolderPath(const std::string& subFolder)
{
    char root[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, root, CSIDL_COMMON_APPDATA, FALSE) || root[0] == 0) return {};
    std::string path = root;
    if (path.back() != '/') path += '/';
    path += "Tobel/Quova/";
    path += subFolder;
    if (path.back() != '/') path += '/';
    return path;
}

bool EnsureFolderExists(const std::string& path)
{
    if (path.empty()) return false;
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return true;
    std::filesystem::create_directories(path, error);
    return !error && std::filesystem::is_directory(path, error);
}
