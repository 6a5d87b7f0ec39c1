// Seeded random songs through the plug-in's effect record: random settings given as the host's state
// chunk (key areas, ranges, channels, rates, swing, gates, every step lane, lane loops and directions,
// scenes, hold modes, "Arp on note count", chord memory), random global options and a random
// control-zone file (its panic key too), random keys (chords, presses released within a block, control-zone
// keys, two channels), program changes, messages that pass through (controllers, the pitch wheel, pressure),
// panics, and the host's transport changing at frames (tempo, stop and start, a loop jumping back, jumps
// forward, and back by more than the largest block: a shorter move back repeats what was played), and the
// host changing parameters while it plays (rates, gates, key areas on and off, ranges, input and output
// channels, scale, note count, hold, or another whole state). Each song is played in blocks of 1, 64, 512,
// 4096 and 32768 frames and of random sizes, all cut at the transport's and the parameters' frames, and must
// send what blocks of one frame send, every block's messages inside it, in time order and while the host's
// processing call lasts; every note sent on is sent off once every key is up (with hold on, once hold goes
// off at the end).
//
// The CI run plays a few songs; QUOVA_RANDOM_SONGS=N plays N songs of each kind, QUOVA_RANDOM_SEED=S
// changes the seed, QUOVA_RANDOM_SONG=K plays song K alone. A failure names its seed and song.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "engine/Random.h"
#include "framework/IStateChunk.h"
#include "plugin/StateFormat.h"
#include "tests/plugin/SongPlayer.h"
#include "views/ParameterIndex.h"

namespace
{

using namespace quova::param;
using namespace quova::test;

constexpr int kCiSongs = 12;
// The largest block a song is played in.
constexpr int kLargestBlock = 32768;
constexpr uint32_t kDefaultSeed = 29;

int EnvInt(const char* name, int fallback)
{
    const char* text = std::getenv(name);
    return text != nullptr && *text != 0 ? std::atoi(text) : fallback;
}

// The state of a plug-in that nothing changed, parsed once.
struct DefaultState
{
    std::vector<uint8_t> bytes;
    quova::state::StateImage image;
};

const DefaultState& Defaults()
{
    static const DefaultState defaults = []
    {
        DefaultState d;
        TempDataFolder folder;
        FakeHost host;
        Tobel plug(&FakeHost::Callback);
        d.bytes = StateBytes(plug);
        IStateChunk chunk;
        ToChunk(d.bytes, &chunk);
        EXPECT_TRUE(quova::state::ParseState(chunk, 0, kCount, &d.image));
        return d;
    }();
    return defaults;
}

// The state of the default one with other lane loops, chords and controller numbers (the image)
// and other parameter values.
std::vector<uint8_t> StateWith(const quova::state::StateImage& image,
                               const std::vector<std::pair<int, double>>& values)
{
    const DefaultState& defaults = Defaults();
    IStateChunk chunk;
    quova::state::AppendStateHead(chunk, image);
    std::vector<uint8_t> state(chunk.Data(), chunk.Data() + chunk.Size());
    state.insert(state.end(), defaults.bytes.begin() + defaults.image.parameterPos, defaults.bytes.end());
    const size_t block = static_cast<size_t>(chunk.Size());
    for (const auto& [index, value] : values)
        std::memcpy(state.data() + block + 8 * static_cast<size_t>(index), &value, sizeof value);
    return state;
}

class SongMaker
{
public:
    SongMaker(uint32_t seed, int number, bool hold)
        : random_(seed * 1000003u + static_cast<uint32_t>(number) * 2654435761u + (hold ? 1u : 0u)),
          hold_(hold)
    {
    }

    Song Make()
    {
        song_.sampleRate = Pick(2) == 0 ? 44100.0 : 48000.0;
        song_.tempo = Uniform(100.0, 180.0);
        song_.frames = static_cast<int64_t>(Uniform(9.0, 14.0) * song_.sampleRate * 60.0 / song_.tempo);
        MakeSettings();
        MakeTransport();
        MakeKeys();
        MakeParameterChanges();
        if (!later_ && Chance(0.3))
        {
            // The host loads another sound while the song plays.
            SongMaker other(static_cast<uint32_t>(Int(0, 1 << 30)), 0, hold_);
            other.later_ = true;
            song_.laterState = other.Make().state;
            song_.changes.push_back(
                {Int(1, static_cast<int>(song_.frames - Beat())), Song::kLaterState, 0.0});
            std::stable_sort(song_.changes.begin(), song_.changes.end(),
                             [](const Song::Change& x, const Song::Change& y) { return x.frame < y.frame; });
        }
        // Every key is up half a beat before the end: hold goes off on every area there (a host's
        // parameter change), and what hold kept must end.
        if (hold_)
            for (int a = 0; a < kAreaCount; ++a)
                song_.changes.push_back({song_.frames - Beat() / 2, PerArea(kHold, a), 0.0});
        song_.state = StateWith(image_, values_);
        return song_;
    }

private:
    int Int(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    int Pick(int count) { return Int(0, count - 1); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }
    double Uniform(double low, double high)
    {
        return std::uniform_real_distribution<double>(low, high)(random_);
    }
    // A value in low..high on a grid of step.
    double Grid(double low, double high, double step)
    {
        return low + step * Int(0, static_cast<int>((high - low) / step));
    }

    void Set(int index, double value) { values_.emplace_back(index, value); }
    bool later_ = false;
    int64_t Beat() const { return static_cast<int64_t>(song_.sampleRate * 60.0 / song_.tempo); }

    void MakeSettings()
    {
        quova::state::StateImage& image = image_;
        image = Defaults().image;
        for (int a = 0; a < kAreaCount; ++a)
            MakeArea(a, image);
        Set(kGlobalVolume, Int(40, 127));
        Set(kScale, Chance(0.5) ? 0 : Int(0, 40));
        Set(kScaleKey, Int(0, 11));
        Set(kScaleMode, Int(0, 11));
        Set(kControlZoneSync, Int(0, 3));
        // Chord memory: a few chords for the CHRDMEM lane and "CM Trigger".
        for (auto& slot : image.slots)
        {
            slot.notes.clear();
            if (Chance(0.5))
                for (int n = Int(1, 4); n > 0; --n)
                    slot.notes.push_back(Int(12, 30));
        }
        for (int32_t& lane : image.controllerLanes)
            lane = Chance(0.15) ? Int(20, 30) : -1;

        // The seven global options and the control-zone file (no preset changes: they load files on a
        // thread of their own; no hold switch while hold stays off).
        for (int i = 0; i < kOptionCount; ++i)
            song_.settingsFile += Chance(0.3) ? "true\n" : "false\n";
        static const char* const kWords[] = {
            "n/a", "order", "chordmemory", "length",   "gate",     "accent",   "transpose", "div",
            "seq", "hold",  "holdbypass",  "pattern1", "pattern2", "pattern3", "pattern13", "panic"};
        for (int i = 0; i < 24; ++i)
        {
            std::string word = kWords[Pick(16)];
            if (word == "hold" && !hold_) word = "n/a";
            song_.controlZoneFile += word + "\n";
        }
    }

    void MakeArea(int a, quova::state::StateImage& image)
    {
        const bool on = a == 0 || Chance(0.6);
        if (a > 0) Set(PerArea(kKeyAreaOnOff, a), on ? 1.0 : 0.0);
        const int channel = a == 0 ? 0 : Pick(2);
        Set(PerArea(kMidiInChannel, a), channel);
        Set(PerArea(kMidiOutChannel, a), Pick(3));
        const int start = Int(10, 70), end = std::min(119, start + Int(0, 30));
        Set(PerArea(kStartNote, a), start);
        Set(PerArea(kEndNote, a), end);
        if (on) areas_.push_back({channel, start + 12, end + 13});
        Set(PerArea(kBaseNote, a), Chance(0.6) ? start : Int(0, 110));
        Set(PerArea(kVolume, a), Grid(-0.5, 0.5, 0.1));
        Set(PerArea(kVelocityMode, a), Pick(5));
        Set(PerArea(kArpOnNoteCount, a), Chance(0.8) ? 0 : Int(1, 3));
        Set(PerArea(kSceneOnOff, a), Chance(0.3) ? 1.0 : 0.0);
        Set(PerArea(kSceneEnd, a), Int(0, 16));
        Set(PerArea(kSendControllers, a), Chance(0.1) ? 1.0 : 0.0);
        Set(PerArea(kTriggerChordMemory, a), Chance(0.1) ? 1.0 : 0.0);
        Set(PerArea(kKeyAreaPatterns, a), Pick(3));
        if (hold_)
        {
            Set(PerArea(kHold, a), Chance(0.6) ? 1.0 : 0.0);
            Set(PerArea(kHoldTranspose, a), Chance(0.3) ? 1.0 : 0.0);
            Set(PerArea(kHoldBypass, a), Chance(0.2) ? 1.0 : 0.0);
            Set(PerArea(kHoldSync, a), Int(0, 31));
        }
        for (int k = 0; k < kSceneStepCount; ++k)
        {
            Set(SceneStep(kSceneStepLength, a, k), Int(0, 7));
            Set(SceneStep(kSceneStepPattern, a, k), Pick(3));
            Set(SceneStep(kSceneStepRepeat, a, k), Int(0, 2));
        }
        for (int p = 0; p < 3; ++p)
            MakePattern(a, p, image);
    }

    void MakePattern(int a, int p, quova::state::StateImage& image)
    {
        Set(PerPattern(kPatternGate, a, p), Int(-100, 100));
        Set(PerPattern(kRateFreeToggle, a, p), Chance(0.15) ? 1.0 : 0.0);
        Set(PerPattern(kRate, a, p), Int(6, 22));
        Set(PerPattern(kRateFree, a, p), Grid(1.0, 20.0, 0.1));
        Set(PerPattern(kSortOrder, a, p), Pick(8));
        Set(PerPattern(kSwing, a, p), Chance(0.5) ? 0.0 : Grid(0.0, 1.0, 0.01));
        Set(PerPattern(kOctaves, a, p), Int(1, 3));
        Set(PerPattern(kTranspose, a, p), Int(-12, 12));
        Set(PerPattern(kResetOnNewNote, a, p), Chance(0.4) ? 1.0 : 0.0);
        Set(kPatternSteps + Slot(a, p), Int(0, 31));
        for (int l = 0; l < kLaneCount; ++l)
        {
            Set(PerLane(kLaneResetOnPatternReset, a, p, l), Chance(0.4) ? 1.0 : 0.0);
            Set(PerLane(kLaneDirection, a, p, l), Chance(0.6) ? 0 : Int(1, 3));
            quova::state::LaneLoop& loop = image.loops[quova::state::LoopIndex(a, p, l)];
            loop.start = Chance(0.7) ? 0 : Int(0, 20);
            loop.end = Chance(0.7) ? 32 : Int(loop.start + 1, 32);
            loop.on = Chance(0.9) ? 1 : 0;
        }
        // Lane values: ORDER, CHRDMEM, LENGTH, GATE, ACCENT, TRANSP, DIV, SHIFT, chord, then the eight
        // controller lanes.
        const std::array<std::pair<double, double>, kNoteLaneCount> ranges = {
            {{0, 7}, {0, 3}, {1, 4}, {-100, 100}, {-100, 100}, {-24, 24}, {0, 3}, {-50, 50}, {0, 255}}};
        for (int t = 0; t < kStepCount; ++t)
        {
            for (int l = 0; l < kLaneCount; ++l)
            {
                if (Chance(0.12)) Set(StepOnOff(a, p, l, t), 0.0);
                if (!Chance(0.3)) continue;
                const double value = l < kNoteLaneCount ? Int(static_cast<int>(ranges[l].first),
                                                              static_cast<int>(ranges[l].second))
                                                        : Int(0, 127);
                if (l == 8 && Chance(0.7)) continue; // chords on fewer steps
                Set(StepValue(a, p, l, t), value);
            }
        }
    }

    // A key that is not down at the frame (on its channel) goes down there for a while.
    void Press(int64_t at, int channel, int note, int64_t length)
    {
        if (note < 0 || note > 127 || at >= song_.frames) return;
        auto& until = down_[static_cast<size_t>(channel)][static_cast<size_t>(note)];
        if (at < until) return;
        const int64_t end = std::min<int64_t>(at + std::max<int64_t>(1, length), song_.frames - 2);
        if (end <= at) return;
        until = end;
        const uint8_t status = static_cast<uint8_t>(channel);
        song_.input.push_back({at, static_cast<uint8_t>(0x90 | status), static_cast<uint8_t>(note),
                               static_cast<uint8_t>(Int(1, 127))});
        // Some releases are note-ons with velocity 0.
        song_.input.push_back(
            {end, static_cast<uint8_t>((Chance(0.2) ? 0x90 : 0x80) | status), static_cast<uint8_t>(note), 0});
    }

    // The host changes parameters while the song plays, at frames every slicing shares.
    void MakeParameterChanges()
    {
        const int64_t last = song_.frames - Beat();
        for (int n = Int(0, 6); n > 0; --n)
        {
            const int64_t at = Int(1, static_cast<int>(last));
            const int a = Pick(kAreaCount), p = Pick(3);
            int index = 0;
            double value = 0.0;
            switch (Pick(14))
            {
            case 0:
                index = PerPattern(kRate, a, p), value = Int(6, 22);
                break;
            case 1:
                index = PerPattern(kPatternGate, a, p), value = Int(-100, 100);
                break;
            case 2:
                index = PerArea(kKeyAreaOnOff, a == 0 ? 1 : a), value = Pick(2);
                break;
            case 3:
                index = kScale, value = Int(0, 40);
                break;
            case 4:
                index = PerArea(kArpOnNoteCount, a), value = Int(0, 3);
                break;
            case 5:
                index = PerPattern(kOctaves, a, p), value = Int(1, 3);
                break;
            case 6:
                index = PerPattern(kTranspose, a, p), value = Int(-12, 12);
                break;
            case 7:
                index = PerArea(kSceneOnOff, a), value = Pick(2);
                break;
            case 8:
                index = PerArea(kStartNote, a), value = Int(10, 70);
                break;
            case 9:
                index = PerArea(kEndNote, a), value = Int(40, 110);
                break;
            case 10:
                index = PerArea(kMidiInChannel, a), value = Pick(2);
                break;
            case 11:
                index = PerPattern(kSwing, a, p), value = Grid(0.0, 1.0, 0.01);
                break;
            case 12:
                index = PerArea(kMidiOutChannel, a), value = Pick(3);
                break;
            default:
                if (!hold_) continue;
                index = PerArea(Pick(2) == 0 ? kHold : kHoldBypass, a), value = Pick(2);
                break;
            }
            song_.changes.push_back({at, index, value});
        }
        std::stable_sort(song_.changes.begin(), song_.changes.end(),
                         [](const Song::Change& x, const Song::Change& y) { return x.frame < y.frame; });
    }

    void MakeKeys()
    {
        const int64_t beat = Beat();
        // Every key goes down a beat before the song ends at the latest, and is up a few hundred
        // frames later, so that what they started can end.
        const int64_t last = song_.frames - beat;
        for (int chords = Int(6, 20); chords > 0; --chords)
        {
            int64_t at = Int(0, static_cast<int>(last));
            // Some keys come at (or just after) a change of the transport.
            if (!song_.transport.empty() && Chance(0.3))
                at = std::min(
                    last, song_.transport[static_cast<size_t>(Pick(static_cast<int>(song_.transport.size())))]
                                  .frame +
                              (Chance(0.5) ? 0 : Int(1, 200)));
            // Mostly keys of a key area, some control-zone keys and keys anywhere.
            int channel = Chance(0.8) ? 0 : 1, root = Int(24, 96);
            if (Chance(0.15))
                root = Int(0, 30);
            else if (Chance(0.7))
            {
                const Range& area = areas_[static_cast<size_t>(Pick(static_cast<int>(areas_.size())))];
                channel = area.channel;
                root = Int(area.start - 2, area.end - 2);
            }
            const int64_t length = Chance(0.25) ? Int(1, 700) : Int(700, static_cast<int>(4 * beat));
            for (int n = Int(1, 4); n > 0; --n)
                Press(at + (Chance(0.3) ? Int(0, 300) : 0), channel, root + Int(0, 7),
                      std::min<int64_t>(length + (Chance(0.3) ? Int(0, 500) : 0), last - at));
        }
        // Program changes choose patterns of the key areas (programs 48 and above choose nothing).
        for (int n = Int(0, 3); n > 0; --n)
            song_.input.push_back({Int(0, static_cast<int>(last)), static_cast<uint8_t>(0xC0 | Pick(2)),
                                   static_cast<uint8_t>(Int(0, 50)), 0});
        // Messages that pass through (controllers, the pitch wheel, pressure), some at a key's frame,
        // and now and then a panic (controller 123), also just before keys.
        for (int n = Int(0, 12); n > 0; --n)
        {
            static const uint8_t kKinds[] = {0xB0, 0xE0, 0xD0, 0xA0};
            int64_t at = Int(0, static_cast<int>(last));
            if (!song_.input.empty() && Chance(0.3))
                at = song_.input[static_cast<size_t>(Pick(static_cast<int>(song_.input.size())))].frame;
            const uint8_t kind = kKinds[Pick(4)];
            song_.input.push_back({at, static_cast<uint8_t>(kind | Pick(3)),
                                   static_cast<uint8_t>(kind == 0xB0 ? Int(1, 119) : Int(0, 127)),
                                   static_cast<uint8_t>(kind == 0xD0 ? 0 : Int(0, 127))});
        }
        if (Chance(0.3))
        {
            int64_t at = Int(0, static_cast<int>(last));
            if (!song_.input.empty() && Chance(0.5))
                at = song_.input[static_cast<size_t>(Pick(static_cast<int>(song_.input.size())))].frame;
            song_.input.push_back({at, static_cast<uint8_t>(0xB0 | Pick(2)), 123, 0});
        }
        std::stable_sort(song_.input.begin(), song_.input.end(),
                         [](const Message& x, const Message& y) { return x.frame < y.frame; });
    }

    void MakeTransport()
    {
        using T = Song::Transport;
        const double beat = song_.sampleRate * 60.0 / song_.tempo;
        if (Chance(0.5))
        {
            song_.cycleStart = Grid(0.0, 4.0, 0.25);
            song_.cycleEnd = song_.cycleStart + Grid(1.0, 6.0, 0.25);
        }
        // A change, with a jump's move given relative to where the host is (or to the cycle start).
        struct Change
        {
            T change;
            bool toCycleStart;
        };
        std::vector<Change> changes;
        if (Chance(0.15)) changes.push_back({{0, T::kStop}, false});
        const auto frame = [&] { return static_cast<int64_t>(Int(1, static_cast<int>(song_.frames - 1))); };
        for (int n = Int(1, 8); n > 0; --n)
        {
            switch (Pick(5))
            {
            case 0:
                changes.push_back({{frame(), T::kTempo, Uniform(60.0, 200.0)}, false});
                break;
            case 1:
            {
                const int64_t from = frame();
                changes.push_back({{from, T::kStop}, false});
                changes.push_back({{from + Int(1, static_cast<int>(2 * beat)), T::kStart}, false});
                break;
            }
            case 2:
                if (song_.cycleEnd > song_.cycleStart) changes.push_back({{frame(), T::kJump}, true});
                break;
            case 3: // forward, often by less than a block
                changes.push_back({{frame(), T::kJump, Uniform(0.01, 3.0)}, false});
                break;
            default: // back, by more than the largest block (a shorter move back is a repeat)
                changes.push_back({{frame(), T::kJump, -Uniform(0.01, 5.0)}, false});
                break;
            }
        }
        std::stable_sort(changes.begin(), changes.end(),
                         [](const Change& x, const Change& y) { return x.change.frame < y.change.frame; });
        double quarters = 0.0, tempo = song_.tempo;
        int64_t at = 0;
        bool playing = true;
        for (Change& c : changes)
        {
            T& t = c.change;
            if (t.frame >= song_.frames) continue;
            if (playing) quarters += static_cast<double>(t.frame - at) / (song_.sampleRate * 60.0 / tempo);
            at = t.frame;
            if (t.kind == T::kTempo) tempo = t.value;
            if (t.kind == T::kStop || t.kind == T::kStart) playing = t.kind == T::kStart;
            if (t.kind == T::kJump)
            {
                const double to = c.toCycleStart ? song_.cycleStart : std::max(0.0, quarters + t.value);
                // A move back other than to the cycle start is kept only beyond the largest block.
                const double backBy = (quarters - to) * song_.sampleRate * 60.0 / tempo;
                if (!c.toCycleStart && backBy > 0.0 && backBy < kLargestBlock + 2) continue;
                t.value = to;
                quarters = t.value;
            }
            song_.transport.push_back(t);
        }
    }

    std::mt19937 random_;
    bool hold_;
    Song song_;
    quova::state::StateImage image_;             // the lane loops, chords and controller numbers
    std::vector<std::pair<int, double>> values_; // the parameters that differ from the default
    std::array<std::array<int64_t, 128>, 2> down_{};
    // The input channel (0..1) and the MIDI notes of each key area.
    struct Range
    {
        int channel, start, end;
    };
    std::vector<Range> areas_;
};

// Every note the plug-in sent on is sent off by the song's end (a note-off names the note its note-on
// sent); an all-notes-off controller ends every note of its channel.
::testing::AssertionResult EveryNoteEnds(const std::vector<Message>& sent)
{
    std::array<std::array<int, 128>, 16> sounding{};
    for (const Message& m : sent)
    {
        const int kind = m.status & 0xF0, channel = m.status & 0x0F;
        if (kind == 0x90 && m.data2 > 0)
            ++sounding[channel][m.data1];
        else if (kind == 0x80 || kind == 0x90)
            sounding[channel][m.data1] = std::max(0, sounding[channel][m.data1] - 1);
        else if (kind == 0xB0 && m.data1 == 123)
            sounding[channel].fill(0);
    }
    for (int c = 0; c < 16; ++c)
        for (int n = 0; n < 128; ++n)
            if (sounding[c][n] > 0)
                return ::testing::AssertionFailure()
                       << "note " << n << " on channel " << c + 1 << " never ends";
    return ::testing::AssertionSuccess();
}

std::vector<int> RandomBlockSizes(uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<int> sizes;
    for (int i = 0; i < 100; ++i)
        sizes.push_back(std::uniform_int_distribution<int>(1, random() % 2 ? 600 : 9000)(random));
    return sizes;
}

// The MIDI a song sends, with the "Random" note choice drawing the same numbers in every slicing.
std::vector<Message> PlaySeeded(const Song& song, const std::vector<int>& sizes)
{
    quova::SeedRandomEngine(1);
    return Play(song, sizes);
}

void PlayRandomSongs(bool hold)
{
    const uint32_t seed = static_cast<uint32_t>(EnvInt("QUOVA_RANDOM_SEED", kDefaultSeed));
    const int only = EnvInt("QUOVA_RANDOM_SONG", -1);
    const int count = only >= 0 ? 1 : EnvInt("QUOVA_RANDOM_SONGS", kCiSongs);
    int differing = 0;
    for (int k = 0; k < count; ++k)
    {
        const int number = only >= 0 ? only : k;
        const Song song = SongMaker(seed, number, hold).Make();
        const std::vector<Message> reference = PlaySeeded(song, {1});
        const std::string name = "seed " + std::to_string(seed) + ", song " + std::to_string(number) +
                                 (hold ? " (hold on)" : " (hold off)");
        const auto ends = EveryNoteEnds(reference);
        EXPECT_TRUE(ends) << name << ", blocks of 1";
        bool same = ends;
        for (const std::vector<int>& sizes : {std::vector<int>{64},
                                              {512},
                                              {4096},
                                              {kLargestBlock},
                                              RandomBlockSizes(seed + static_cast<uint32_t>(number))})
        {
            const auto result = SameMidi(reference, PlaySeeded(song, sizes));
            EXPECT_TRUE(result) << name << ", blocks of " << sizes[0] << (sizes.size() > 1 ? " and on" : "");
            same = same && result;
        }
        differing += same ? 0 : 1;
    }
    std::cout << count << " songs compared (" << (hold ? "hold on" : "hold off") << "), " << differing
              << " differ\n";
}

TEST(BlockSlicingRandomSongs, HoldOffSendsTheSameInEveryBlockSizeAndEndsEveryNote)
{
    PlayRandomSongs(false);
}

TEST(BlockSlicingRandomSongs, HoldOnSendsTheSameInEveryBlockSizeAndEndsEveryNoteOnceHoldIsOff)
{
    PlayRandomSongs(true);
}

} // namespace
