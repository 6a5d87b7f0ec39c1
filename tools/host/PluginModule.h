#pragma once
// A plug-in module loaded into the command-line host's process.
//
// Loading runs the module's static initialisers; unloading may run its
// destructors, so every effect made by the module must be closed first.

#include "platform/vst/VstAbi.h"

#include <memory>
#include <string>

namespace quova::host
{

class PluginModule
{
public:
    // Loads the shared object at path (resolving all its symbols now). Returns
    // null with a message in error when the file is missing or cannot be loaded.
    static std::unique_ptr<PluginModule> Load(const std::string& path, std::string& error);

    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // The module's entry: `VSTPluginMain`, or the older name `main`; null when
    // the module defines neither itself.
    VstPluginMainProc Entry() const;

    // Address of a symbol defined by this module (not by a library it uses or
    // by the host program), or null.
    void* Symbol(const char* name) const;

    const std::string& Path() const { return path_; }

private:
    PluginModule(void* handle, std::string path) : handle_(handle), path_(std::move(path)) {}

    void* handle_;
    std::string path_;
};

} // namespace quova::host
