#pragma once
// One run of the command-line host: load, open, feed, process, print, save,
// close; and the command line that chooses it.

#include "tools/host/HostEvents.h"
#include "tools/host/HostOptions.h"
#include "tools/host/MidiFile.h"

#include <ostream>

namespace quova::host
{

// quova_host itself: parses the arguments after the program's name and prints the help, runs the
// validator or runs a session. A bad command line gets one line with the reason and one pointing
// to --help on err, and status 2.
int RunCommandLine(const std::string& program, const std::vector<std::string>& arguments, std::ostream& out,
                   std::ostream& err);

// Runs the plug-in as the options say. Event lines and a summary go to out,
// problems to err. Returns the exit status: 0 on success, 1 when the plug-in,
// a chunk or a MIDI file failed.
int RunHostSession(const HostOptions& options, std::ostream& out, std::ostream& err);

// Song ticks to host frames and back at a tempo given as samples per quarter
// note (rounded to the nearest frame / tick).
int64_t TicksToFrames(int64_t tick, int ticksPerQuarter, double samplesPerQuarter);
int64_t FramesToTicks(int64_t frame, int ticksPerQuarter, double samplesPerQuarter);

// The MIDI events of a run as a song at the run's tempo and time signature,
// placed by host frame. Events that are not channel messages, or lie before
// frame 0, are left out and counted in skipped.
MidiFileSong EventsToSong(const std::vector<ReceivedEvent>& events, const TransportSettings& transport,
                          int ticksPerQuarter, std::size_t& skipped);

} // namespace quova::host
