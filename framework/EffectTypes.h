// Small records of the plug-in base: channel configurations, channels, the host's transport, and
// the host and plug-in API codes.
#pragma once

#include <cstdint>

#include "framework/HeapBuffer.h"
#include "framework/IString.h"

// One legal channel configuration ("inputs-outputs").
struct IChannelIO
{
    int32_t inputs = 0;
    int32_t outputs = 0;
};

// One input or output channel. Owned by IEffectBase; non-copyable.
struct IChannel
{
    IChannel() : scratch(4096), label(128) {}
    IChannel(const IChannel&) = delete;
    IChannel& operator=(const IChannel&) = delete;

    bool connected = false;
    double** slot = nullptr;        // this channel's entry in the input or output pointer array
    float* hostFloatDest = nullptr; // output channels: the host's float buffer of the current block
    HeapBuffer scratch;             // blockSize doubles
    IString label;

    double* ScratchData() const { return static_cast<double*>(scratch.Data()); }
};

// The host's transport as GetTransportInfo reports it. The caller sets defaults; only what the
// host reports is overwritten.
struct ITransportInfo
{
    double tempo = 120.0; // beats per minute
    double samplePosition = 0.0;
    double ppqPosition = 0.0;  // quarter notes
    double lastBarStart = 0.0; // quarter notes
    double cycleStart = 0.0;   // quarter notes
    double cycleEnd = 0.0;     // quarter notes
    int32_t numerator = 4;
    int32_t denominator = 4;
    bool playing = false;
    bool cycleActive = false;
};

// Plug-in interface codes.
enum IEffectApi : int32_t
{
    kApiVST2 = 0,
    kApiVST3 = 1,
    kApiAU = 2,
    kApiRTAS = 3,
    kApiAAX = 4,
    kApiStandalone = 5,
};

// Host codes (see HostId.h for how a product text maps to one).
enum IHostId : int32_t
{
    kHostUninit = -1,
    kHostUnknown = 0,
    kHostReaper = 1,
    kHostProTools = 2,
    kHostCubase = 3,
    kHostNuendo = 4,
    kHostSonar = 5,
    kHostFL = 7,
    kHostSamplitude = 8,
    kHostLive = 9,
    kHostMelodyne = 12,
    kHostVstManLib = 13,
    kHostAULab = 14,
    kHostForte = 15,
    kHostChainer = 16,
    kHostAudition = 17,
    kHostOrion = 18,
    kHostSAWStudio = 20,
    kHostLogic = 21,
    kHostGarageBand = 22,
    kHostDigital = 23,
    kHostStandalone = 24,
    kHostAudioMulch = 25,
    kHostPresonus = 26,
    kHostVST3TestHost = 27,
    kHostArdour = 28,
};
