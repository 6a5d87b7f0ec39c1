#include "framework/VstEntry.h"

#include <mutex>

namespace
{

// The module-wide entry lock: serialises plug-in construction across host threads. A function-
// local static is made exactly once, thread-safely, and destroyed when the module unloads.
std::recursive_mutex& EntryLock()
{
    static std::recursive_mutex lock;
    return lock;
}

} // namespace

AEffect* RunVstEntry(VstHostCallback host, IEffectFactory factory) noexcept
{
    if (factory == nullptr) return nullptr;
    IEffectVST* plug = nullptr;
    try
    {
        std::lock_guard<std::recursive_mutex> guard(EntryLock());
        plug = factory(host);
        if (plug == nullptr) return nullptr;
        plug->FillEmptyPresets();
        AEffect* effect = plug->GetEffect();
        if (effect->numPrograms < 1) effect->numPrograms = 1;
        return effect;
    }
    catch (...)
    {
        delete plug;
        return nullptr;
    }
}
