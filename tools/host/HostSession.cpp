#include "tools/host/HostSession.h"

#include "tools/host/BinaryFile.h"
#include "tools/host/BlockThread.h"
#include "tools/host/EventPrinter.h"
#include "tools/host/HostEditor.h"
#include "tools/host/MidiFile.h"
#include "tools/host/StopRequest.h"
#include "tools/host/Validator.h"
#include "tools/host/VstHost.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace quova::host
{
namespace
{
constexpr int kOutputTicksPerQuarter = 960;

int Failure(std::ostream& err, const std::string& text)
{
    err << "quova_host: " << text << '\n';
    return 1;
}

bool QueueMidiFile(VstHost& host, const std::string& path, std::ostream& err)
{
    MidiFileSong song;
    std::string error;
    if (!ReadMidiFile(path, song, error))
    {
        err << "quova_host: " << error << '\n';
        return false;
    }
    const double perQuarter = host.Transport().SamplesPerQuarter();
    for (const MidiFileEvent& event : song.events)
    {
        const int64_t frame = TicksToFrames(event.tick, song.ticksPerQuarter, perQuarter);
        if (!host.QueueMidi(frame, event.bytes.data(), int(event.bytes.size())))
        {
            err << "quova_host: " << path << ": " << host.LastError() << '\n';
            return false;
        }
    }
    return true;
}

constexpr double kEditorIdleHz = 30.0;

// Plays the blocks in real time on a thread of their own with the editor open and idled at 30 Hz,
// keeps it open as asked, saves its picture. False (with the reason in err) when the editor cannot
// be shown; a picture that cannot be saved sets status to 1 (with the reason in err) and the run
// goes on, so that the files saved after it are not lost.
bool RunWithEditor(VstHost& host, const HostOptions& options, std::ostream& out, std::ostream& err,
                   int& status)
{
    using Clock = BlockThread::Clock;
    HostEditor editor(host);
    // Ctrl+C ends the run as closing the window does: what it made is saved as asked.
    StopRequest stop;
    const auto ended = [&] { return editor.Closed() || StopRequest::Requested(); };
    std::string error;
    if (!editor.Open(error))
    {
        err << "quova_host: " << error << '\n';
        return false;
    }
    // Flushed, so that a program that reads the output through a pipe learns at once that the
    // window is there.
    out << "editor open in X11 window 0x" << std::hex << editor.Window() << std::dec << " (" << editor.Width()
        << "x" << editor.Height() << "), first frame after " << editor.FirstFrameMs() << " ms" << std::endl;
    const auto idlePeriod =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / kEditorIdleHz));
    const auto keepOpen =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(options.editorSeconds));
    {
        // The editor's calls run on this thread, and a menu or dialog of the editor keeps its call
        // for as long as it is open: the blocks go on meanwhile, as a host's audio thread plays them.
        BlockThread blocks(host, options.blocks,
                           std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                               options.blockSize / options.transport.sampleRate)));
        Clock::time_point closeAt = Clock::time_point::max();
        bool played = false;
        for (Clock::time_point nextIdle = Clock::now(); !ended();)
        {
            if (!played && blocks.WaitUntil(std::min(nextIdle, closeAt)))
            {
                played = true;
                if (options.editorSeconds >= 0) closeAt = blocks.DoneAt() + keepOpen;
            }
            else if (played)
                std::this_thread::sleep_until(std::min(nextIdle, closeAt));
            const Clock::time_point now = Clock::now();
            if (now >= closeAt) break;
            if (now < nextIdle) continue;
            editor.Idle();
            // An idle that took long (a menu was open) is not made up for with a burst of idles.
            nextIdle = std::max(nextIdle + idlePeriod, Clock::now());
        }
        // When the window was closed early, the blocks that are left are played at once.
        blocks.Finish();
    }
    // The picture is taken whether the run ended by itself, by Ctrl+C or because the window was
    // closed: a window the user closes is only asked to go, and is still there.
    if (!options.editorPng.empty())
    {
        if (editor.SavePng(options.editorPng, error))
            out << "editor picture saved to " << options.editorPng << '\n';
        else
            status = Failure(err, error);
    }
    editor.Close();
    return true;
}
} // namespace

int64_t TicksToFrames(int64_t tick, int ticksPerQuarter, double samplesPerQuarter)
{
    return std::llround(double(tick) * samplesPerQuarter / ticksPerQuarter);
}

int64_t FramesToTicks(int64_t frame, int ticksPerQuarter, double samplesPerQuarter)
{
    return std::llround(double(frame) * ticksPerQuarter / samplesPerQuarter);
}

MidiFileSong EventsToSong(const std::vector<ReceivedEvent>& events, const TransportSettings& transport,
                          int ticksPerQuarter, std::size_t& skipped)
{
    MidiFileSong song;
    song.ticksPerQuarter = ticksPerQuarter;
    song.tempo = transport.tempo;
    song.numerator = transport.numerator;
    song.denominator = transport.denominator;
    skipped = 0;
    const double perQuarter = transport.sampleRate * 60.0 / transport.tempo;
    for (const ReceivedEvent& event : events)
    {
        const int length = event.bytes.empty() ? 0 : ChannelMessageLength(event.bytes[0]);
        bool valid = event.type == int32_t(ReceivedEventType::Midi) && length > 0 && event.frame >= 0 &&
                     int(event.bytes.size()) >= length;
        for (int i = 1; valid && i < length; ++i)
            valid = event.bytes[std::size_t(i)] < 0x80;
        if (!valid)
        {
            ++skipped;
            continue;
        }
        MidiFileEvent item;
        item.tick = FramesToTicks(event.frame, ticksPerQuarter, perQuarter);
        item.bytes.assign(event.bytes.begin(), event.bytes.begin() + length);
        song.events.push_back(std::move(item));
    }
    return song;
}

int RunCommandLine(const std::string& program, const std::vector<std::string>& arguments, std::ostream& out,
                   std::ostream& err)
{
    HostOptions options;
    std::string error;
    switch (ParseHostOptions(arguments, options, error))
    {
    case ParseOutcome::Help:
        out << HostUsage(program);
        return 0;
    case ParseOutcome::Error:
        err << "quova_host: " << error << "\nTry '" << program << " --help' for more information.\n";
        return 2;
    case ParseOutcome::Run:
        break;
    }
    if (!options.validate) return RunHostSession(options, out, err);
    // Ctrl+C ends the validation after its case, without leaving its data folder behind.
    StopRequest stop;
    const int status =
        RunValidation({options.modulePath, options.knownFailures, options.validateOnly}, out, err);
    out.flush();
    err.flush();
    stop.EndIfSignalled();
    return status;
}

int RunHostSession(const HostOptions& options, std::ostream& out, std::ostream& err)
{
    // The files written after the run are tried first: a run with the editor may take long, and
    // what was made in it should not be lost to a folder that is not there.
    std::string error;
    for (const std::string* path : {&options.chunkOut, &options.midiOut, &options.editorPng})
        if (!path->empty() && !CanWriteFile(*path, error)) return Failure(err, error);

    VstHost host(options.identity);
    if (!host.Transport().Configure(options.transport)) return Failure(err, "invalid transport settings");
    host.SetTimeInfoAvailable(options.timeInfo);
    if (!host.Load(options.modulePath)) return Failure(err, host.LastError());
    if (!host.Open() || !host.SetSampleRate(options.transport.sampleRate) ||
        !host.SetBlockSize(options.blockSize))
        return Failure(err, host.LastError());

    if (!options.chunkIn.empty())
    {
        std::vector<uint8_t> chunk;
        if (!ReadBinaryFile(options.chunkIn, chunk, error)) return Failure(err, error);
        if (!host.SetChunk(chunk, options.bankChunk))
            return Failure(err, options.chunkIn + ": " + host.LastError());
    }

    host.Resume();
    for (const CommandLineMidi& message : options.midi)
        if (!host.QueueMidi(message.frame, message.bytes, message.size))
            return Failure(err, host.LastError());
    if (!options.midiIn.empty() && !QueueMidiFile(host, options.midiIn, err)) return 1;

    int status = 0;
    if (options.editor)
    {
        if (!RunWithEditor(host, options, out, err, status)) return 1;
    }
    else
        host.RunBlocks(options.blocks);
    host.Suspend();

    const TransportSettings& transport = host.Transport().Settings();
    if (!options.quiet)
    {
        out << EventLineHeading() << '\n';
        for (const ReceivedEvent& event : host.Events())
            out << FormatEventLine(event, transport.numerator, transport.denominator) << '\n';
    }
    out << host.Events().size() << " events received in " << host.BlocksProcessed() << " blocks of "
        << options.blockSize << " frames";
    if (host.QueuedCount() > 0)
        out << "; " << host.QueuedCount() << " queued MIDI messages lay beyond the run";
    out << '\n';

    if (!options.chunkOut.empty())
    {
        std::vector<uint8_t> chunk;
        if (!host.GetChunk(options.bankChunk, chunk))
            status = Failure(err, host.LastError());
        else if (!WriteBinaryFile(options.chunkOut, chunk, error))
            status = Failure(err, error);
        else
            out << "chunk of " << chunk.size() << " bytes saved to " << options.chunkOut << '\n';
    }
    if (!options.midiOut.empty())
    {
        std::size_t skipped = 0;
        const MidiFileSong song = EventsToSong(host.Events(), transport, kOutputTicksPerQuarter, skipped);
        if (!WriteMidiFile(options.midiOut, song, error))
            status = Failure(err, error);
        else
        {
            out << song.events.size() << " MIDI events written to " << options.midiOut;
            if (skipped > 0) out << " (" << skipped << " other events left out)";
            out << '\n';
        }
    }
    host.Unload();
    return status;
}

} // namespace quova::host
