// The test plug-in as a loadable module.
#include "framework/VstEntry.h"
#include "tests/framework/TestPlug.h"

QUOVA_VST_EXPORT_ENTRY(&CreateTestPlug)
