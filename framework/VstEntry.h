// The module entry of a plug-in built on IEffectVST.
//
// RunVstEntry does the work of the exported entry: under a module-wide lock (made once, thread-
// safely, on first use) it constructs the plug-in through factory, fills empty presets with the
// initial values ("Empty"), raises the effect record's program count to at least 1 and returns the
// record. A factory that returns null or throws gives null; no exception leaves the function.
//
// QUOVA_VST_EXPORT_ENTRY(factory) defines the two exported symbols a host looks for:
// `VSTPluginMain` and, where the toolchain allows it, `main` (an older name of the same entry).
// `main` is given through an assembler label, because C++ does not allow a function named main
// with this signature. Use it in exactly one source file of a shared module, never in an
// executable (it would clash with the program's own main).
#pragma once

#include "framework/IEffectVST.h"
#include "platform/vst/VstAbi.h"

using IEffectFactory = IEffectVST* (*)(VstHostCallback host);

AEffect* RunVstEntry(VstHostCallback host, IEffectFactory factory) noexcept;

#if defined(__GNUC__) && defined(__ELF__)
#define QUOVA_VST_EXPORT_MAIN_ALIAS(factory)                                                                 \
    extern "C" __attribute__((visibility("default"))) AEffect* QuovaVstLegacyMain(                           \
        VstHostCallback host) __asm__("main");                                                               \
    extern "C" AEffect* QuovaVstLegacyMain(VstHostCallback host)                                             \
    {                                                                                                        \
        return RunVstEntry(host, factory);                                                                   \
    }
#else
#define QUOVA_VST_EXPORT_MAIN_ALIAS(factory)
#endif

#define QUOVA_VST_EXPORT_ENTRY(factory)                                                                      \
    extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(VstHostCallback host)           \
    {                                                                                                        \
        return RunVstEntry(host, factory);                                                                   \
    }                                                                                                        \
    QUOVA_VST_EXPORT_MAIN_ALIAS(factory)
