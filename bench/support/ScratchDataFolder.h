#pragma once

// A data folder of the benchmark program's own, so that the plug-in's settings file stays out of
// the user's: made once per process under $TMPDIR (or /tmp) with a unique name, set as
// XDG_DATA_HOME, and removed with everything in it when the program ends.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace quova::bench
{
inline void UseScratchDataFolder()
{
    struct Folder
    {
        std::string path;
        Folder()
        {
            const char* tmp = std::getenv("TMPDIR");
            std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/quova-bench-XXXXXX";
            if (::mkdtemp(pattern.data()) == nullptr) return;
            path = pattern;
            ::setenv("XDG_DATA_HOME", path.c_str(), 1);
        }
        ~Folder()
        {
            std::error_code ignored;
            if (!path.empty()) std::filesystem::remove_all(path, ignored);
        }
        Folder(const Folder&) = delete;
        Folder& operator=(const Folder&) = delete;
    };
    static Folder folder;
}
} // namespace quova::bench
