#include "tools/host/PluginModule.h"

#include "tools/host/BinaryFile.h"

#include <cerrno>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <unistd.h>

namespace quova::host
{

std::unique_ptr<PluginModule> PluginModule::Load(const std::string& path, std::string& error)
{
    if (path.empty())
    {
        error = "no module path given";
        return nullptr;
    }
    // A path without a slash would make the loader search the library path;
    // the host means a file, so it names it relative to the working folder.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    // A file that is missing or unreadable is told with the system's reason, which the loader
    // words as if a library had been searched for.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
    {
        error = FileError("cannot open module", path, errno);
        return nullptr;
    }
    ::close(fd);
    dlerror();
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
    {
        // The loader's text starts with the file's name, which the message names already.
        const char* said = dlerror();
        std::string text = said ? said : "unknown error";
        if (text.rfind(file + ": ", 0) == 0) text.erase(0, file.size() + 2);
        error = "cannot load module " + path + ": " + text;
        return nullptr;
    }
    return std::unique_ptr<PluginModule>(new PluginModule(handle, path));
}

PluginModule::~PluginModule()
{
    dlclose(handle_);
}

void* PluginModule::Symbol(const char* name) const
{
    if (!name) return nullptr;
    void* address = dlsym(handle_, name);
    if (!address) return nullptr;
    // dlsym also finds symbols of the libraries the module depends on; an
    // entry found there (say, a `main` of some other object) is not the module's.
    struct link_map* ownMap = nullptr;
    struct link_map* foundMap = nullptr;
    Dl_info info;
    if (dlinfo(handle_, RTLD_DI_LINKMAP, &ownMap) != 0 ||
        !dladdr1(address, &info, reinterpret_cast<void**>(&foundMap), RTLD_DL_LINKMAP) || foundMap != ownMap)
        return nullptr;
    return address;
}

VstPluginMainProc PluginModule::Entry() const
{
    void* address = Symbol("VSTPluginMain");
    if (!address) address = Symbol("main");
    return reinterpret_cast<VstPluginMainProc>(address);
}

} // namespace quova::host
