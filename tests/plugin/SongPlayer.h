// Plays a song (parameters set once, MIDI at host frames, a playing transport) through the plug-in's
// effect record in blocks of chosen sizes and collects what the plug-in sends, at host frames.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "tests/plugin/PluginTestSupport.h"

namespace quova::test
{

struct Message
{
    int64_t frame = 0; // host frame: block start + offset
    uint8_t status = 0, data1 = 0, data2 = 0;
    bool operator==(const Message& o) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Message& m)
{
    return out << "{@" << m.frame << " " << std::hex << int(m.status) << std::dec << " " << int(m.data1)
               << " " << int(m.data2) << "}";
}

struct Song
{
    double sampleRate = 44100.0;
    double tempo = 120.0;
    int64_t frames = 0;
    std::vector<std::pair<int, double>> parameters; // index, value in the parameter's own units
    std::vector<Message> input;                     // in frame order
    // Parameter changes made by the host before the block that starts at a frame; index
    // kLaterState gives the plug-in laterState as its program chunk there.
    static constexpr int kLaterState = -1;
    struct Change
    {
        int64_t frame;
        int index;
        double value;
    };
    std::vector<Change> changes; // in frame order
    // The host's transport stops for the frames in [stopFrom, stopUntil).
    int64_t stopFrom = -1, stopUntil = -1;
    // What the host's transport does at a frame: a new tempo (value in beats per minute), a stop, a
    // start (from where it stopped), or a jump of the song position to value quarter notes. Or a
    // host that misbehaves in one block: it plays the last value samples of the block before again
    // (kRepeat: the block starts that much earlier and is that much longer), or it reports the
    // block's position value samples early (kJitter: the block itself is as it was). positions:
    // which positions it moves (1 the sample position, 2 the musical position, 3 both).
    struct Transport
    {
        enum Kind
        {
            kTempo,
            kStop,
            kStart,
            kJump,
            kRepeat,
            kJitter
        };
        int64_t frame;
        Kind kind;
        double value = 0.0;
        int positions = 3;
    };
    std::vector<Transport> transport; // in frame order
    // The host's cycle in quarter notes, reported as active while cycleEnd > cycleStart (the host
    // jumps back only where a kJump says so).
    double cycleStart = 0.0, cycleEnd = 0.0;
    // How the host reports its musical position: as it should, not flagged valid, as NaN, or from
    // its sample position in single precision (a counter of the host's that is a float).
    enum class Ppq
    {
        kGiven,
        kNotValid,
        kNaN,
        kFromFloat
    } ppq = Ppq::kGiven;
    // The host's sample position at the song's first frame (its musical position follows).
    double startSample = 0.0;
    // The host's product name, which names its family (one family's own clock starts from its
    // sample position while it stands).
    std::string host = "Fake Host";
    // A host whose clock is not clean: called before every block with what the host would report
    // (block: the block's number in this rendering, start: its song frame), it changes that as such
    // a host does (a sample position that stands still or runs at another rate, a position that
    // stands still while the host plays, values no host should give).
    std::function<void(size_t block, int64_t start, VstTimeInfo& time)> hostClock;
    // A state given to the plug-in as the host's program chunk before the parameters are set.
    std::vector<uint8_t> state;
    std::vector<uint8_t> laterState;
    // Controller numbers of key area 1's controller lanes 0..7 (-1: the lane sends nothing), as the
    // MIDI-learn menu sets them.
    std::vector<int> controllerNumbers;
    // The data folder's files when the plug-in is made ("" leaves a file missing): the global
    // options (settings.qva) and the control-zone keys (controlzone.qva).
    std::string settingsFile, controlZoneFile;
};

// The frames at which every slicing of a song starts a new block, as a host does at a transport
// change: the transport's changes, the stop range and the parameter changes.
inline std::vector<int64_t> BlockCuts(const Song& song)
{
    std::vector<int64_t> cuts;
    for (const Song::Transport& t : song.transport)
        cuts.push_back(t.frame);
    for (const Song::Change& c : song.changes)
        cuts.push_back(c.frame);
    cuts.push_back(song.stopFrom);
    cuts.push_back(song.stopUntil);
    std::sort(cuts.begin(), cuts.end());
    return cuts;
}

// Plays a song with blocks of the given sizes (repeated until the song ends, each cut short at the
// song's block cuts) and returns what the plug-in sent, each message at its song frame.
inline std::vector<Message> Play(const Song& song, const std::vector<int>& sizes)
{
    TempDataFolder folder;
    if (!song.settingsFile.empty()) folder.WriteSettings(song.settingsFile);
    if (!song.controlZoneFile.empty())
    {
        std::filesystem::create_directories(folder.SettingsFile().parent_path());
        std::ofstream(folder.SettingsFile().parent_path() / "controlzone.qva", std::ios::binary)
            << song.controlZoneFile;
    }
    FakeHost host;
    host.product = song.host;
    host.time.sampleRate = song.sampleRate;
    host.time.tempo = song.tempo;
    host.time.flags |= vst::kVstTransportPlaying;
    if (song.cycleEnd > song.cycleStart)
    {
        host.time.flags |= vst::kVstTransportCycleActive | vst::kVstCyclePosValid;
        host.time.cycleStartPos = song.cycleStart;
        host.time.cycleEndPos = song.cycleEnd;
    }
    Tobel plug(&FakeHost::Callback);
    AEffect* effect = plug.GetEffect();
    const int largest = *std::max_element(sizes.begin(), sizes.end());
    effect->dispatcher(effect, vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(song.sampleRate));
    effect->dispatcher(effect, vst::effSetBlockSize, 0, largest, nullptr, 0.0f);
    effect->dispatcher(effect, vst::effMainsChanged, 0, 1, nullptr, 0.0f);
    const auto setState = [&](const std::vector<uint8_t>& state)
    {
        // A program chunk: its header, then the state.
        std::vector<uint8_t> chunk = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
        chunk.insert(chunk.end(), state.begin(), state.end());
        EXPECT_EQ(effect->dispatcher(effect, vst::effSetChunk, 1, static_cast<VstIntPtr>(chunk.size()),
                                     chunk.data(), 0.0f),
                  1)
            << "the song's state is refused";
    };
    if (!song.state.empty()) setState(song.state);
    for (size_t lane = 0; lane < song.controllerNumbers.size(); ++lane)
        plug.SetControllerLaneNumber(static_cast<int>(lane), song.controllerNumbers[lane]);
    for (const auto& [index, value] : song.parameters)
        effect->setParameter(effect, index, static_cast<float>(plug.GetParameter(index)->Normalize(value)));

    const std::vector<int64_t> cuts = BlockCuts(song);
    // The host's clock: its song position in whole samples moves on while it plays; the position in
    // quarter notes follows from the last tempo change or jump (the anchor), the same in every
    // slicing.
    double samplePosition = song.startSample, anchorSample = song.startSample;
    const auto samplesPerBeat = [&] { return song.sampleRate * 60.0 / host.time.tempo; };
    double anchorQuarters = song.startSample / samplesPerBeat();
    const auto quarters = [&] { return anchorQuarters + (samplePosition - anchorSample) / samplesPerBeat(); };
    bool playing = true;
    std::vector<double> left, right;
    std::vector<Message> sent;
    size_t next = 0, nextChange = 0, nextTransport = 0;
    size_t block = 0;
    for (int64_t start = 0; start < song.frames; ++block)
    {
        for (; nextChange < song.changes.size() && song.changes[nextChange].frame <= start; ++nextChange)
        {
            const Song::Change& c = song.changes[nextChange];
            if (c.index == Song::kLaterState)
            {
                setState(song.laterState);
                continue;
            }
            effect->setParameter(effect, c.index,
                                 static_cast<float>(plug.GetParameter(c.index)->Normalize(c.value)));
        }
        int repeat = 0, early = 0, moved = 0;
        for (; nextTransport < song.transport.size() && song.transport[nextTransport].frame <= start;
             ++nextTransport)
        {
            const Song::Transport& t = song.transport[nextTransport];
            if (t.kind == Song::Transport::kStop || t.kind == Song::Transport::kStart)
            {
                playing = t.kind == Song::Transport::kStart;
                continue;
            }
            if (t.kind == Song::Transport::kRepeat || t.kind == Song::Transport::kJitter)
            {
                (t.kind == Song::Transport::kRepeat ? repeat : early) = static_cast<int>(t.value);
                moved = t.positions;
                continue;
            }
            const double now = quarters();
            if (t.kind == Song::Transport::kTempo)
                host.time.tempo = t.value;
            else
                samplePosition =
                    std::max(0.0, std::round(samplePosition + (t.value - now) * samplesPerBeat()));
            anchorSample = samplePosition;
            anchorQuarters = t.kind == Song::Transport::kJump ? t.value : now;
        }
        int64_t end = std::min<int64_t>(start + sizes[block % sizes.size()], song.frames);
        if (const auto cut = std::upper_bound(cuts.begin(), cuts.end(), start);
            cut != cuts.end() && *cut < end)
            end = *cut;
        // A repeating host hands the last frames of the block before again, ahead of this block's.
        const int frames = static_cast<int>(end - start) + repeat;
        // The messages of this block, as the host's event list.
        std::vector<VstMidiEvent> midi;
        for (; next < song.input.size() && song.input[next].frame < end; ++next)
        {
            VstMidiEvent e{};
            e.type = vst::kVstMidiType;
            e.byteSize = sizeof(VstMidiEvent);
            e.deltaFrames = static_cast<VstInt32>(song.input[next].frame - start + repeat);
            e.midiData[0] = static_cast<char>(song.input[next].status);
            e.midiData[1] = static_cast<char>(song.input[next].data1);
            e.midiData[2] = static_cast<char>(song.input[next].data2);
            midi.push_back(e);
        }
        if (!midi.empty())
        {
            std::vector<VstIntPtr> storage(2 + midi.size() + 1);
            auto* list = reinterpret_cast<VstEvents*>(storage.data());
            list->numEvents = static_cast<VstInt32>(midi.size());
            for (size_t i = 0; i < midi.size(); ++i)
                list->events[i] = reinterpret_cast<VstEvent*>(&midi[i]);
            effect->dispatcher(effect, vst::effProcessEvents, 0, 0, list, 0.0f);
        }
        const bool stopped = !playing || (start >= song.stopFrom && start < song.stopUntil);
        if (stopped)
            host.time.flags &= ~vst::kVstTransportPlaying;
        else
            host.time.flags |= vst::kVstTransportPlaying;
        const int back = repeat + early;
        host.time.samplePos = samplePosition - ((moved & 1) != 0 ? back : 0);
        host.time.ppqPos = quarters() - ((moved & 2) != 0 ? back / samplesPerBeat() : 0.0);
        if (song.ppq == Song::Ppq::kNaN) host.time.ppqPos = std::nan("");
        if (song.ppq == Song::Ppq::kFromFloat)
            host.time.ppqPos =
                static_cast<double>(static_cast<float>(host.time.samplePos)) / samplesPerBeat();
        if (song.ppq == Song::Ppq::kNotValid) host.time.flags &= ~vst::kVstPpqPosValid;
        if (song.hostClock) song.hostClock(block, start, host.time);
        left.resize(static_cast<size_t>(frames));
        right.resize(static_cast<size_t>(frames));
        double* outputs[2] = {left.data(), right.data()};
        host.processing = true;
        effect->processDoubleReplacing(effect, nullptr, outputs, frames);
        host.processing = false;
        // The host gets each block's messages while the plug-in processes it (checked at the end),
        // inside the block and in time order.
        for (size_t i = 0; i < host.midi.size(); ++i)
        {
            const VstMidiEvent& e = host.midi[i];
            EXPECT_TRUE(e.deltaFrames >= 0 && e.deltaFrames < frames &&
                        (i == 0 || host.midi[i - 1].deltaFrames <= e.deltaFrames))
                << "block at " << start << ": event " << i << " at offset " << e.deltaFrames << " of "
                << frames;
            sent.push_back({start - repeat + e.deltaFrames, static_cast<uint8_t>(e.midiData[0]),
                            static_cast<uint8_t>(e.midiData[1]), static_cast<uint8_t>(e.midiData[2])});
        }
        host.midi.clear();
        if (!stopped) samplePosition += static_cast<double>(end - start);
        start = end;
    }
    EXPECT_EQ(host.sentOutsideProcessing, 0) << "events sent outside the processing call";
    return sent;
}

inline int CountOfKind(const std::vector<Message>& messages, uint8_t kind)
{
    return static_cast<int>(std::count_if(messages.begin(), messages.end(),
                                          [kind](const Message& m) { return (m.status & 0xF0) == kind; }));
}

// The first message where two renderings part, for a readable failure.
inline ::testing::AssertionResult SameMidi(const std::vector<Message>& expected,
                                           const std::vector<Message>& actual)
{
    const size_t n = std::min(expected.size(), actual.size());
    for (size_t i = 0; i < n; ++i)
        if (!(expected[i] == actual[i]))
            return ::testing::AssertionFailure()
                   << "message " << i << ": expected " << expected[i] << ", got " << actual[i];
    if (expected.size() != actual.size())
        return ::testing::AssertionFailure()
               << expected.size() << " messages expected, got " << actual.size();
    return ::testing::AssertionSuccess();
}

} // namespace quova::test
