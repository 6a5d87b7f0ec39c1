// Plays a song (parameters set once, MIDI at host frames, a playing transport) through the plug-in's
// effect record in blocks of chosen sizes and collects what the plug-in sends, at host frames.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
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
    // Parameter changes made by the host before the first block that starts at or after a frame.
    struct Change
    {
        int64_t frame;
        int index;
        double value;
    };
    std::vector<Change> changes; // in frame order
    // The host's transport stops for the blocks that start in [stopFrom, stopUntil).
    int64_t stopFrom = -1, stopUntil = -1;
    // Controller numbers of key area 1's controller lanes 0..7 (-1: the lane sends nothing), as the
    // MIDI-learn menu sets them.
    std::vector<int> controllerNumbers;
    // The data folder's files when the plug-in is made ("" leaves a file missing): the global
    // options (settings.qva) and the control-zone keys (controlzone.qva).
    std::string settingsFile, controlZoneFile;
};

// Plays a song with blocks of the given sizes (repeated until the song ends) and returns what the
// plug-in sent, each message at its host frame.
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
    host.time.sampleRate = song.sampleRate;
    host.time.tempo = song.tempo;
    host.time.flags |= vst::kVstTransportPlaying;
    Tobel plug(&FakeHost::Callback);
    AEffect* effect = plug.GetEffect();
    const int largest = *std::max_element(sizes.begin(), sizes.end());
    effect->dispatcher(effect, vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(song.sampleRate));
    effect->dispatcher(effect, vst::effSetBlockSize, 0, largest, nullptr, 0.0f);
    effect->dispatcher(effect, vst::effMainsChanged, 0, 1, nullptr, 0.0f);
    for (size_t lane = 0; lane < song.controllerNumbers.size(); ++lane)
        plug.SetControllerLaneNumber(static_cast<int>(lane), song.controllerNumbers[lane]);
    for (const auto& [index, value] : song.parameters)
        effect->setParameter(effect, index, static_cast<float>(plug.GetParameter(index)->Normalize(value)));

    const double samplesPerBeat = song.sampleRate * 60.0 / song.tempo;
    std::vector<double> left(static_cast<size_t>(largest)), right(static_cast<size_t>(largest));
    double* outputs[2] = {left.data(), right.data()};
    std::vector<Message> sent;
    size_t next = 0;
    size_t nextChange = 0;
    size_t block = 0;
    for (int64_t start = 0; start < song.frames; ++block)
    {
        for (; nextChange < song.changes.size() && song.changes[nextChange].frame <= start; ++nextChange)
        {
            const Song::Change& c = song.changes[nextChange];
            effect->setParameter(effect, c.index,
                                 static_cast<float>(plug.GetParameter(c.index)->Normalize(c.value)));
        }
        const int frames =
            static_cast<int>(std::min<int64_t>(sizes[block % sizes.size()], song.frames - start));
        // The messages of this block, as the host's event list.
        std::vector<VstMidiEvent> midi;
        for (; next < song.input.size() && song.input[next].frame < start + frames; ++next)
        {
            VstMidiEvent e{};
            e.type = vst::kVstMidiType;
            e.byteSize = sizeof(VstMidiEvent);
            e.deltaFrames = static_cast<VstInt32>(song.input[next].frame - start);
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
        if (start >= song.stopFrom && start < song.stopUntil)
            host.time.flags &= ~vst::kVstTransportPlaying;
        else
            host.time.flags |= vst::kVstTransportPlaying;
        host.time.samplePos = static_cast<double>(start);
        host.time.ppqPos = static_cast<double>(start) / samplesPerBeat;
        effect->processDoubleReplacing(effect, nullptr, outputs, frames);
        for (const VstMidiEvent& e : host.midi)
            sent.push_back({start + e.deltaFrames, static_cast<uint8_t>(e.midiData[0]),
                            static_cast<uint8_t>(e.midiData[1]), static_cast<uint8_t>(e.midiData[2])});
        host.midi.clear();
        start += frames;
    }
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
