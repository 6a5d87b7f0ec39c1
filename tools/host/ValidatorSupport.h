#pragma once
// What the validator's cases share: their result, a short song of held chords
// played through an instance in blocks of chosen sizes, a tracker of the notes
// the plug-in leaves sounding, and comparison of two runs' MIDI.

#include "tools/host/ValidatorEffect.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace quova::host
{

// The sample rate and announced block size of cases that do not vary them.
constexpr double kCaseRate = 44100.0;
constexpr int32_t kCaseBlock = 512;

struct CaseResult
{
    std::string name;
    bool pass = false;
    std::string figure; // what was measured, or what went wrong
};

// Receives each case's result as soon as it is known.
using CaseSink = std::function<void(const CaseResult&)>;

// A message the player sends, at a frame counted from the song's start.
struct SongMessage
{
    int64_t frame = 0;
    uint8_t bytes[3] = {0, 0, 0};
};

struct Song
{
    double sampleRate = 44100.0;
    double tempo = 120.0;
    int64_t frames = 0;                // length of the run
    std::vector<SongMessage> messages; // in frame order
};

// Three chords held in turn on channel 1 (C major, A minor, F major), each for
// about a quarter of the song, all released at 80 % of it, so that the
// plug-in has the rest to end its notes. Frames are chosen off any block grid.
Song ChordSong(double sampleRate, int64_t frames);

// Plays the song through the effect from frame 0 with the host's transport
// playing from the song's start: each block's messages at their offsets, time
// info at the block's start. nextSize gives each block's frame count (the last
// block is cut to the song's end). beforeBlock, when given, runs before each
// block with the block's first frame (a host's automation, for instance).
void PlaySong(ValidatorEffect& effect, const Song& song, const std::function<int32_t()>& nextSize,
              const std::function<void(int64_t position)>& beforeBlock = {});

// Opens the module, sets rate and announced block size and resumes; null with
// a message in error when the module cannot be opened.
std::unique_ptr<ValidatorEffect> StartEffect(const std::string& module, double sampleRate, int32_t blockSize,
                                             std::string& error);

// Follows note-ons and note-offs (and the all-notes-off and all-sound-off
// controllers) per channel and note.
class NoteTracker
{
public:
    void Add(const ValidatorEvent& event);
    void AddAll(const std::vector<ValidatorEvent>& events);
    int Sounding() const;
    int64_t NoteOns() const { return noteOns_; }
    // "3 notes left sounding (channel 1 note 60, ...)" or "none left sounding".
    std::string Describe() const;

private:
    int counts_[16][128] = {};
    int64_t noteOns_ = 0;
};

// Compares the MIDI two runs sent, by host frame and bytes. Empty when they
// are the same, else what differs first.
std::string CompareMidi(const std::vector<ValidatorEvent>& got, const std::vector<ValidatorEvent>& reference);

// The case's seeded random source: a failing case replays the same way.
std::mt19937 CaseRandom(const std::string& caseName);

} // namespace quova::host
