// Cases of block processing: rates and block sizes, blocks larger than
// announced, automation between sub-blocks, a transport that jumps about, the
// same song in different slicings, and allocations on the audio thread.
#include "tools/host/AllocationCounter.h"
#include "tools/host/ValidatorCases.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

namespace quova::host
{
namespace
{
constexpr double kRates[] = {22050.0, 44100.0, 48000.0, 96000.0, 192000.0};
constexpr int32_t kBlockSizes[] = {1, 64, 512, 4096, 8192, 32768};
constexpr int32_t kSliceReference = 64;
constexpr int32_t kSliceSizes[] = {1, 512, 4096, 8192, 32768};

// The song's notes, and none left sounding once it is over.
CaseResult JudgeSong(const ValidatorEffect& effect)
{
    NoteTracker notes;
    notes.AddAll(effect.Events());
    return Judge(effect.Findings(), notes.NoteOns() > 0 && notes.Sounding() == 0,
                 std::to_string(notes.NoteOns()) + " note-ons, " + notes.Describe());
}

CaseResult ProcessAt(const std::string& module, double rate, int32_t block)
{
    std::string error;
    auto effect = StartEffect(module, rate, block, error);
    if (!effect) return OpenFailure(error);
    const int64_t frames = std::max<int64_t>(int64_t(rate * 2), int64_t(block) * 4);
    PlaySong(*effect, ChordSong(rate, frames), [block] { return block; });
    return JudgeSong(*effect);
}

CaseResult OversizedBlocks(const std::string& module)
{
    std::string error;
    auto effect = StartEffect(module, kCaseRate, 512, error);
    if (!effect) return OpenFailure(error);
    std::mt19937 random = CaseRandom("oversized-blocks");
    std::uniform_int_distribution<int32_t> size(1, 8192);
    const int32_t first[] = {513, 1024, 4096, 8192};
    std::size_t count = 0;
    PlaySong(*effect, ChordSong(kCaseRate, int64_t(kCaseRate * 6)),
             [&] { return count < std::size(first) ? first[count++] : size(random); });
    return JudgeSong(*effect);
}

CaseResult AutomationSubBlocks(const std::string& module)
{
    std::string error;
    auto effect = StartEffect(module, kCaseRate, 512, error);
    if (!effect) return OpenFailure(error);
    const int32_t parameters = effect->ProbeParameterCount();
    if (parameters <= 0) return {"", true, "the plug-in has no parameters"};
    std::mt19937 random = CaseRandom("automation-subblocks");
    std::uniform_int_distribution<int32_t> index(0, parameters - 1);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    std::vector<int32_t> touched;
    PlaySong(
        *effect, ChordSong(kCaseRate, int64_t(kCaseRate * 3)), [] { return 32; },
        [&](int64_t)
        {
            for (int i = 0; i < 2; ++i)
            {
                touched.push_back(index(random));
                effect->SetParameter(touched.back(), value(random));
            }
        });
    int64_t outOfRange = 0;
    for (int32_t i : touched)
    {
        const float v = effect->GetParameter(i);
        outOfRange += !(v >= 0.0f && v <= 1.0f);
    }
    return Judge(effect->Findings(), outOfRange == 0,
                 std::to_string(touched.size()) + " changes of " + std::to_string(parameters) +
                     " parameters in 32-frame sub-blocks, " + std::to_string(outOfRange) +
                     " read back out of 0..1");
}

// A host whose transport does everything a host may, and what it should not:
// tempo changes (also 0, below 0, enormous or not a number), no time info at
// all, seeks, backward jumps, loops (also empty and inverted ones), stops and
// starts, positions that are not numbers, infinite, negative or enormous, and
// blocks of 0 to 1 << 20 frames; with keys pressed and let go throughout and a
// message to pass through in most blocks. Every such message must come back
// within its block, and once the keys are up and the host stops, no note may
// be left sounding.
CaseResult TransportFuzz(const std::string& module)
{
    std::string error;
    auto effect = StartEffect(module, kCaseRate, 1024, error);
    if (!effect) return OpenFailure(error);
    std::mt19937 random = CaseRandom("transport-fuzz");
    std::uniform_int_distribution<int> percent(0, 99), note(36, 84), frames(1, 1024);
    std::uniform_real_distribution<double> tempoRange(40.0, 480.0), quarters(0.0, 64.0);
    constexpr double kBad[] = {std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(),
                               -1.0,
                               -1e300,
                               1e300,
                               1e18};
    std::uniform_int_distribution<std::size_t> bad(0, std::size(kBad) - 1);
    double position = 0.0, tempo = 120.0;
    bool playing = true, timeInfo = true, loop = false;
    double loopStart = 0.0, loopEnd = 0.0;
    bool down[128] = {};
    int actions = 0;
    std::vector<int64_t> passBlocks; // the blocks a message to pass through came in
    for (int block = 0; block < 3000; ++block)
    {
        int32_t n = frames(random);
        const int roll = percent(random);
        bool changed = roll < 30;
        if (roll < 5)
            tempo = tempoRange(random);
        else if (roll < 7)
            tempo = percent(random) < 50 ? 0.0 : kBad[bad(random)];
        else if (roll < 10)
            timeInfo = !timeInfo;
        else if (roll < 14)
            position = quarters(random) * kCaseRate / 2.0; // a seek anywhere in the first 32 seconds
        else if (roll < 18)
            position = std::max(0.0, position - double(frames(random)) * 8.0);
        else if (roll < 23)
        {
            loop = !loop;
            loopStart = quarters(random);
            loopEnd = percent(random) < 20 ? loopStart - 1.0 : loopStart + quarters(random) / 8.0;
        }
        else if (roll < 27)
            playing = !playing;
        else if (roll < 30)
            position += 0.5; // a position between samples
        else if (roll < 32)
            n = percent(random) < 50 ? 0 : std::uniform_int_distribution<int32_t>(1 << 16, 1 << 20)(random);
        actions += changed;
        // A key pressed or let go, and a message to pass through, in time order.
        const int32_t keyAt = n > 0 && percent(random) < 10 ? int32_t(random() % uint32_t(n)) : -1;
        const int32_t passAt = n > 0 && percent(random) < 80 ? int32_t(random() % uint32_t(n)) : -1;
        if (passAt >= 0 && passAt < keyAt) effect->QueueMidi(passAt, 0xD5, uint8_t(block % 128), 0);
        if (keyAt >= 0)
        {
            const int key = note(random);
            effect->QueueMidi(keyAt, down[key] ? 0x80 : 0x90, uint8_t(key), 100);
            down[key] = !down[key];
        }
        if (passAt >= keyAt && passAt >= 0) effect->QueueMidi(passAt, 0xD5, uint8_t(block % 128), 0);
        if (passAt >= 0) passBlocks.push_back(effect->BlocksProcessed());
        VstTimeInfo time = MakeTimeInfo(kCaseRate, tempo, position, playing);
        if (loop)
        {
            time.cycleStartPos = loopStart;
            time.cycleEndPos = loopEnd;
            time.flags |= vst::kVstCyclePosValid | vst::kVstTransportCycleActive;
        }
        // Now and then a position no host should give.
        if (percent(random) < 5) time.samplePos = kBad[bad(random)];
        if (percent(random) < 5) time.ppqPos = kBad[bad(random)];
        if (changed) time.flags |= vst::kVstTransportChanged;
        effect->SetTimeInfo(timeInfo ? &time : nullptr);
        effect->Process(n);
        if (playing)
        {
            position += n;
            const double spq = tempo > 0.0 ? kCaseRate * 60.0 / tempo : 0.0;
            if (loop && loopEnd > loopStart && spq > 0.0 && position >= loopEnd * spq)
                position = loopStart * spq + (position - loopEnd * spq);
        }
    }
    // Every key goes up, and the host stops.
    for (int key = 0; key < 128; ++key)
        if (down[key]) effect->QueueMidi(0, 0x80, uint8_t(key), 0);
    VstTimeInfo stopped = MakeTimeInfo(kCaseRate, 120.0, position, false);
    effect->SetTimeInfo(&stopped);
    for (int block = 0; block < 4; ++block)
        effect->Process(1024);

    int64_t passedInTime = 0, passedAtAll = 0;
    for (const ValidatorEvent& e : effect->Events())
        if (e.type == vst::kVstMidiType && e.bytes[0] == 0xD5)
        {
            ++passedAtAll;
            passedInTime += std::binary_search(passBlocks.begin(), passBlocks.end(), e.block);
        }
    NoteTracker notes;
    notes.AddAll(effect->Events());
    const bool pass =
        passedInTime == int64_t(passBlocks.size()) && passedAtAll == passedInTime && notes.Sounding() == 0;
    return Judge(effect->Findings(), pass,
                 std::to_string(actions) + " transport changes, " + std::to_string(passedInTime) + " of " +
                     std::to_string(passBlocks.size()) + " messages back within their block, " +
                     notes.Describe());
}

// The same song in blocks of one size (or random sizes with size 0) must give
// the MIDI it gives in blocks of 64 frames.
CaseResult Slice(const std::string& module, int32_t size)
{
    const Song song = ChordSong(kCaseRate, int64_t(kCaseRate * 3));
    std::string error;
    auto reference = StartEffect(module, kCaseRate, kSliceReference, error);
    if (!reference) return OpenFailure(error);
    PlaySong(*reference, song, [] { return kSliceReference; });
    auto effect = StartEffect(module, kCaseRate, size > 0 ? size : 4096, error);
    if (!effect) return OpenFailure(error);
    std::mt19937 random = CaseRandom("slice-random");
    std::uniform_int_distribution<int32_t> sizes(1, 4096);
    PlaySong(*effect, song, [&] { return size > 0 ? size : sizes(random); });
    const std::string difference = CompareMidi(effect->Events(), reference->Events());
    return Judge(effect->Findings(), difference.empty() && !reference->Events().empty(),
                 difference.empty()
                     ? std::to_string(reference->Events().size()) + " events as in blocks of 64"
                     : difference);
}

// Notes arriving all the time, one every tenth of a second, each held for
// three tenths, and in every block two pressure messages that pass through;
// each block's list comes in reverse time order, as a host's list may. After
// two seconds of warming up, allocations inside processReplacing are counted
// for four seconds.
CaseResult Allocations(const std::string& module)
{
    if (!AllocationCountingAvailable()) return {"", true, "allocations cannot be counted in this build"};
    std::string error;
    auto effect = StartEffect(module, kCaseRate, 512, error);
    if (!effect) return OpenFailure(error);
    Song song;
    song.frames = int64_t(kCaseRate * 6);
    const int64_t step = int64_t(kCaseRate / 10);
    for (int64_t i = 0; i * step + 3 * step < song.frames; ++i)
    {
        const uint8_t key = uint8_t(48 + (i * 7) % 36);
        song.messages.push_back({i * step + 5, {0x90, key, 100}});
    }
    for (int64_t i = 0; i * step + 3 * step < song.frames; ++i)
        song.messages.push_back({i * step + 3 * step + 5, {0x80, uint8_t(48 + (i * 7) % 36), 0}});
    constexpr int64_t kBlock = 512;
    for (int64_t block = 0; block * kBlock < song.frames; ++block)
        for (const int64_t offset : {100, 400})
            song.messages.push_back({block * kBlock + offset, {0xD5, uint8_t(offset / 4), 0}});
    // Block by block, the latest message first.
    std::sort(song.messages.begin(), song.messages.end(),
              [](const SongMessage& a, const SongMessage& b) {
                  return a.frame / kBlock != b.frame / kBlock ? a.frame / kBlock < b.frame / kBlock
                                                              : a.frame > b.frame;
              });
    bool measuring = false;
    PlaySong(
        *effect, song, [] { return kBlock; },
        [&](int64_t position)
        {
            if (!measuring && position >= int64_t(kCaseRate * 2))
            {
                measuring = true;
                effect->ResetFindings();
            }
        });
    const BlockFindings& f = effect->Findings();
    return Judge(f, f.allocations == 0,
                 std::to_string(f.allocations) + " allocations in " + std::to_string(f.blocks) +
                     " blocks (most in one block: " + std::to_string(f.maxAllocationsPerBlock) + ")");
}
} // namespace

std::vector<ValidatorCase> ProcessingCases()
{
    std::vector<ValidatorCase> cases;
    for (double rate : kRates)
        for (int32_t block : kBlockSizes)
            cases.push_back({"process-" + std::to_string(int(rate)) + "-" + std::to_string(block),
                             [rate, block](const std::string& m) { return ProcessAt(m, rate, block); }});
    cases.push_back({"oversized-blocks", OversizedBlocks});
    cases.push_back({"automation-subblocks", AutomationSubBlocks});
    cases.push_back({"transport-fuzz", TransportFuzz});
    for (int32_t size : kSliceSizes)
        cases.push_back(
            {"slice-" + std::to_string(size), [size](const std::string& m) { return Slice(m, size); }});
    cases.push_back({"slice-random", [](const std::string& m) { return Slice(m, 0); }});
    cases.push_back({"allocations-steady", Allocations});
    return cases;
}

} // namespace quova::host
