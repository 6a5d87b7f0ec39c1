// A registry of existing keys, enough to answer probes.
#include "platform/win32/Registry.h"

#include "platform/win32/ScriptState.h"

#include <cctype>
#include <string>

struct PlatformRegKey
{
    std::string path; // "HKLM\\SOFTWARE\\WINE" form
};

namespace quova::win32
{

namespace
{

std::string RootTag(HKEY root)
{
    if (root == HKEY_LOCAL_MACHINE) return "HKLM";
    if (root == HKEY_CURRENT_USER) return "HKCU";
    return {};
}

std::string Normalise(const std::string& path)
{
    std::string out;
    for (char c : path)
    {
        char u = c == '/' ? '\\' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (u == '\\' && (out.empty() || out.back() == '\\')) continue;
        out += u;
    }
    while (!out.empty() && out.back() == '\\')
        out.pop_back();
    return out;
}

std::set<HKEY>& OpenKeys()
{
    static std::set<HKEY>* keys = new std::set<HKEY>();
    return *keys;
}

std::set<std::string> DefaultKeys()
{
    return {"HKLM\\SOFTWARE\\WINE"};
}

} // namespace

std::mutex& RegistryLock()
{
    static std::mutex* lock = new std::mutex();
    return *lock;
}

std::set<std::string>& RegistryKeys()
{
    static std::set<std::string>* keys = new std::set<std::string>(DefaultKeys());
    return *keys;
}

void ResetRegistry()
{
    std::lock_guard<std::mutex> guard(RegistryLock());
    RegistryKeys() = DefaultKeys();
}

void SetRegistryKeyPresent(HKEY root, const std::string& path, bool present)
{
    std::string tag = RootTag(root);
    if (tag.empty()) return;
    std::string full = tag + "\\" + Normalise(path);
    std::lock_guard<std::mutex> guard(RegistryLock());
    if (present)
        RegistryKeys().insert(full);
    else
        RegistryKeys().erase(full);
}

} // namespace quova::win32

using namespace quova::win32;

LONG RegOpenKeyA(HKEY key, LPCSTR subKey, HKEY* result)
{
    if (!result) return static_cast<LONG>(ERROR_INVALID_PARAMETER);
    *result = nullptr;
    std::string base = RootTag(key);
    if (base.empty())
    {
        std::lock_guard<std::mutex> guard(RegistryLock());
        if (!key || !OpenKeys().count(key)) return static_cast<LONG>(ERROR_INVALID_HANDLE);
        base = key->path;
    }
    std::string sub = subKey ? Normalise(subKey) : std::string();
    std::string full = sub.empty() ? base : base + "\\" + sub;
    if (full != "HKLM" && full != "HKCU")
    {
        std::lock_guard<std::mutex> guard(RegistryLock());
        // A key exists when it or a key below it was made present.
        const auto& keys = RegistryKeys();
        auto it = keys.lower_bound(full);
        if (it == keys.end() || (*it != full && it->rfind(full + "\\", 0) != 0))
            return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
    }
    std::lock_guard<std::mutex> guard(RegistryLock());
    *result = new PlatformRegKey{full};
    OpenKeys().insert(*result);
    return static_cast<LONG>(ERROR_SUCCESS);
}

LONG RegCloseKey(HKEY key)
{
    if (!key) return static_cast<LONG>(ERROR_INVALID_HANDLE);
    if (key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER) return static_cast<LONG>(ERROR_SUCCESS);
    std::lock_guard<std::mutex> guard(RegistryLock());
    if (!OpenKeys().erase(key)) return static_cast<LONG>(ERROR_INVALID_HANDLE);
    delete key;
    return static_cast<LONG>(ERROR_SUCCESS);
}
