#pragma once
// The command line of quova_host.

#include "tools/host/HostTransport.h"
#include "tools/host/VstHost.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quova::host
{

// A MIDI message from the command line, at a resolved host frame.
struct CommandLineMidi
{
    int64_t frame = 0;
    uint8_t bytes[3] = {0, 0, 0};
    int size = 0;
};

struct HostOptions
{
    std::string modulePath;
    int32_t blockSize = 512;
    int64_t blocks = 16;
    TransportSettings transport;
    bool timeInfo = true;
    HostIdentity identity;
    std::vector<CommandLineMidi> midi; // in command-line order
    std::string midiIn, midiOut;
    std::string chunkIn, chunkOut;
    bool bankChunk = false;
    bool quiet = false;
    // The editor in a real X11 window while the blocks play in real time.
    bool editor = false;
    double editorSeconds = 0.0; // kept open after the blocks; negative: until the window is closed
    std::string editorPng;      // saved just before the window closes
    // --validate: run the validator's cases on the module instead of a session.
    bool validate = false;
    std::string knownFailures; // --known-failures FILE
    std::string validateOnly;  // --case TEXT: only cases whose name contains it
};

enum class ParseOutcome
{
    Run,   // options complete
    Help,  // --help was given
    Error, // error holds the message
};

// Parses the arguments after the program name. On Error, options may be
// partly filled.
ParseOutcome ParseHostOptions(const std::vector<std::string>& arguments, HostOptions& options,
                              std::string& error);

// The usage text printed for --help.
std::string HostUsage(const std::string& program);

// Parses a note as a number 0..127 or a name with octave ("C4" = 60, "F#2",
// "Bb-1"); -1 when the text is neither.
int ParseNote(const std::string& text);

} // namespace quova::host
