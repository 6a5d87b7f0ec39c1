// Special folders, module paths, the version word, and the scripted shell and network answers.
#include "platform/win32/Shell.h"

#include "platform/win32/NativeDesktop.h"
#include "platform/win32/ScriptState.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return home;
    struct passwd entry;
    struct passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_dir &&
        found->pw_dir[0] == '/')
        return found->pw_dir;
    return {};
}

// Makes the folder and its missing parents; true when it exists afterwards.
bool MakeFolders(const std::string& path)
{
    for (size_t i = 1; i <= path.size(); ++i)
    {
        if (i == path.size() || path[i] == '/')
        {
            std::string part = path.substr(0, i);
            if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
        }
    }
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ExecutablePath()
{
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    return std::string(buffer, static_cast<size_t>(n));
}

std::string ObjectPathOf(const void* address)
{
    Dl_info info{};
    if (!dladdr(address, &info) || !info.dli_fname || !info.dli_fname[0]) return {};
    char resolved[PATH_MAX];
    if (realpath(info.dli_fname, resolved)) return resolved;
    return info.dli_fname;
}

} // namespace

BOOL SHGetSpecialFolderPathA(HWND, LPSTR path, int csidl, BOOL create)
{
    if (!path) return FALSE;
    std::string folder;
    if (csidl == CSIDL_COMMON_APPDATA)
    {
        const char* xdg = std::getenv("XDG_DATA_HOME");
        if (xdg && xdg[0] == '/')
            folder = xdg;
        else if (std::string home = HomeFolder(); !home.empty())
            folder = home + "/.local/share";
    }
    else if (csidl == CSIDL_DESKTOP || csidl == CSIDL_DESKTOPDIRECTORY)
    {
        if (std::string home = HomeFolder(); !home.empty()) folder = home + "/Desktop";
    }
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (folder.empty() || folder.size() >= static_cast<size_t>(MAX_PATH)) return FALSE;
    if (create && !MakeFolders(folder)) return FALSE;
    std::memcpy(path, folder.c_str(), folder.size() + 1);
    return TRUE;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size)
{
    if (!buffer || size == 0)
    {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    // A module handle points at the module's own record, which lives in the module's data, so the
    // object file that holds that address is the module.
    std::string path = module ? ObjectPathOf(module) : ExecutablePath();
    if (path.empty() && module) path = ObjectPathOf(reinterpret_cast<const void*>(&GetModuleFileNameA));
    if (path.empty())
    {
        SetLastError(ERROR_FILE_NOT_FOUND);
        buffer[0] = '\0';
        return 0;
    }
    if (path.size() + 1 > size)
    {
        std::memcpy(buffer, path.data(), size - 1);
        buffer[size - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

DWORD GetVersion()
{
    // Version 6.2, build 9200: the value the NT family reports to a program without a manifest.
    return (9200u << 16) | (2u << 8) | 6u;
}

HINSTANCE ShellExecuteA(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory, int)
{
    auto& scripts = quova::win32::Scripts();
    intptr_t result = scripts.shellResult;
    if (auto* desktop = quova::win32::DesktopShowing(owner))
        result = desktop->Open(operation ? operation : "open", file ? file : "");
    scripts.shellCalls.push_back(quova::win32::ShellCall{operation ? operation : "", file ? file : "",
                                                         parameters ? parameters : "",
                                                         directory ? directory : "", result});
    return reinterpret_cast<HINSTANCE>(result);
}

BOOL InternetGetConnectedState(DWORD* flags, DWORD)
{
    if (flags) *flags = 0;
    return quova::win32::Scripts().online ? TRUE : FALSE;
}
