#include "tools/host/HostSession.h"

#include "tools/host/BinaryFile.h"
#include "tools/host/EventPrinter.h"
#include "tools/host/HostEditor.h"
#include "tools/host/MidiFile.h"
#include "tools/host/StopRequest.h"
#include "tools/host/Validator.h"
#include "tools/host/VstHost.h"

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

// Plays the blocks in real time with the editor open and idled at 30 Hz, keeps it open as asked,
// saves its picture. False (with the reason in err) when the editor cannot be shown.
bool RunWithEditor(VstHost& host, const HostOptions& options, std::ostream& out, std::ostream& err)
{
    using Clock = std::chrono::steady_clock;
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
    out << "editor open in X11 window 0x" << std::hex << editor.Window() << std::dec << " (" << editor.Width()
        << "x" << editor.Height() << "), first frame after " << editor.FirstFrameMs() << " ms\n";
    const auto idlePeriod = std::chrono::duration<double>(1.0 / kEditorIdleHz);
    const auto blockPeriod = std::chrono::duration<double>(options.blockSize / options.transport.sampleRate);
    const auto start = Clock::now();
    auto nextIdle = start;
    auto nextBlock = start;
    int64_t played = 0;
    const auto waitUntil = [&](Clock::time_point until)
    {
        while (!ended())
        {
            const auto now = Clock::now();
            if (now >= until) return;
            if (now >= nextIdle)
            {
                editor.Idle();
                nextIdle += std::chrono::duration_cast<Clock::duration>(idlePeriod);
                continue;
            }
            std::this_thread::sleep_for(std::min(until, nextIdle) - now);
        }
    };
    while (played < options.blocks && !ended())
    {
        waitUntil(nextBlock);
        host.RunBlocks(1);
        ++played;
        nextBlock += std::chrono::duration_cast<Clock::duration>(blockPeriod);
    }
    if (options.editorSeconds < 0)
        waitUntil(Clock::time_point::max());
    else
        waitUntil(Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                     std::chrono::duration<double>(options.editorSeconds)));
    if (played < options.blocks)
        host.RunBlocks(options.blocks - played); // the window was closed early: the rest at once
    if (!options.editorPng.empty() && !editor.Closed())
    {
        if (!editor.SavePng(options.editorPng, error))
        {
            err << "quova_host: " << error << '\n';
            return false;
        }
        out << "editor picture saved to " << options.editorPng << '\n';
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

    if (options.editor)
    {
        if (!RunWithEditor(host, options, out, err)) return 1;
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

    int status = 0;
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
