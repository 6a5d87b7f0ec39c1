// The module's entry points: VSTPluginMain and its older twin main. Each call
// constructs one independent plug-in under the module-wide entry lock; a
// construction failure gives the host a null effect.
#include "framework/VstEntry.h"
#include "plugin/Tobel.h"

QUOVA_VST_EXPORT_ENTRY(&Tobel::Create)
