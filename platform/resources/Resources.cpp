// Resource lookups over a module's table.

#include "platform/resources/Resources.h"

#include "platform/resources/ResourceTable.h"

#include <cstring>
#include <functional>
#include <strings.h>

extern PlatformModule quovaPluginModule; // generated from resources/resources.txt

namespace
{

const PlatformModule* ModuleOrPlugin(HMODULE module)
{
    return module ? module : &quovaPluginModule;
}

// True when resource is one of the records of module's table.
bool Owns(const PlatformModule* module, HRSRC resource)
{
    if (!resource || !module->resources || module->count == 0) return false;
    const PlatformResource* first = module->resources;
    const PlatformResource* last = module->resources + module->count;
    return !std::less<const PlatformResource*>()(resource, first) &&
           std::less<const PlatformResource*>()(resource, last);
}

} // namespace

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type)
{
    if (!name || !type || IS_INTRESOURCE(type)) return nullptr;
    const PlatformModule* m = ModuleOrPlugin(module);
    const bool byId = IS_INTRESOURCE(name);
    const auto id = static_cast<uint16_t>(reinterpret_cast<uintptr_t>(name));
    for (size_t i = 0; i < m->count; ++i)
    {
        const PlatformResource& r = m->resources[i];
        if (strcasecmp(r.type, type) != 0) continue;
        if (byId ? r.id == id : strcasecmp(r.name, name) == 0) return const_cast<PlatformResource*>(&r);
    }
    return nullptr;
}

DWORD SizeofResource(HMODULE module, HRSRC resource)
{
    return Owns(ModuleOrPlugin(module), resource) ? *resource->size : 0;
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource)
{
    return Owns(ModuleOrPlugin(module), resource) ? resource->data : nullptr;
}

const void* LockResource(HGLOBAL data)
{
    return data;
}

HMODULE PluginModule()
{
    return &quovaPluginModule;
}
