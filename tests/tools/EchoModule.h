#pragma once
// Test hooks of the echo test module (EchoModule.cpp), looked up by name in a
// loaded module. The module echoes every MIDI event it receives back to the
// host in the next processing call, at the same offset, one event per host
// call; it returns other events at once; and it keeps a small chunk. Built
// with ECHO_DIRTY it is careless, for the validator's tests: it has two inputs
// and writes into one, leaves its second output as the host filled it, and a
// chunk it refuses still changes its own.

#include <cstdint>

struct EchoTimeRecord
{
    int32_t hadTimeInfo; // 0 when the host answered the time request with nothing
    int32_t flags;
    double samplePos;
    double sampleRate;
    double ppqPos;
    double tempo;
    double barStartPos;
    double cycleStartPos;
    double cycleEndPos;
    int32_t numerator;
    int32_t denominator;
};

struct EchoConstructionRecord
{
    char productSeen[64]; // what audioMasterGetProductString gave during the entry
    int64_t vendorVersionSeen;
    int64_t hostVersionSeen; // audioMasterVersion
};

// Copies up to max time records (one per processed block, oldest first) of
// the newest instance; returns how many there are in all.
using EchoTimeLogProc = int (*)(EchoTimeRecord* out, int max);
constexpr const char* kEchoTimeLogName = "EchoTestTimeLog";

// What the newest instance saw while it was constructed.
using EchoConstructionProc = EchoConstructionRecord (*)();
constexpr const char* kEchoConstructionName = "EchoTestConstruction";

// The chunk an instance starts with; a chunk given to it must start with "ECHO".
constexpr const char* kEchoInitialChunk = "ECHO initial state";
