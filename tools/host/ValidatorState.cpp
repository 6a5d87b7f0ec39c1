// Cases of parameters and state: values beyond the range, changes from other
// threads while the audio thread plays and a third saves and restores, state
// that must survive a fresh instance byte for byte, and damaged chunks.
#include "tools/host/ValidatorCases.h"

#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <limits>
#include <sstream>
#include <thread>

namespace quova::host
{
namespace
{
constexpr int64_t kStormSets = 20000;
constexpr int64_t kStormRoundTrips = 40;

bool InRange(float value)
{
    return value >= 0.0f && value <= 1.0f;
}

// Parameters read back outside 0..1 (or not numbers), over all of them.
int32_t ParametersOutOfRange(ValidatorEffect& effect, int32_t count)
{
    int32_t bad = 0;
    for (int32_t i = 0; i < count; ++i)
        bad += !InRange(effect.GetParameter(i));
    return bad;
}

CaseResult ParameterExtremes(const std::string& module)
{
    std::string error;
    auto effect = StartEffect(module, kCaseRate, kCaseBlock, error);
    if (!effect) return OpenFailure(error);
    const int32_t count = effect->ProbeParameterCount();
    const float values[] = {-0.1f, 1.1f, std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity()};
    int64_t bad = 0, sets = 0;
    for (float value : values)
        for (int32_t i = 0; i < count; ++i)
        {
            effect->SetParameter(i, value);
            bad += !InRange(effect->GetParameter(i));
            ++sets;
        }
    // Indexes no parameter has: taken without harm, read as something in range.
    for (int32_t index : {-1, INT_MIN, count, count + 1, INT_MAX})
    {
        effect->SetParameter(index, 0.5f);
        bad += !InRange(effect->GetParameter(index));
    }
    PlaySong(*effect, ChordSong(kCaseRate, kCaseBlock * 64), [] { return kCaseBlock; });
    std::vector<uint8_t> chunk;
    const bool saved = effect->GetChunk(false, chunk);
    return Judge(effect->Findings(), bad == 0 && saved,
                 std::to_string(sets) + " values set on " + std::to_string(count) + " parameters, " +
                     std::to_string(bad) + " read back out of 0..1" +
                     (saved ? "" : "; no state could be saved after"));
}

// The audio thread plays while a second thread changes parameters and a third
// saves the state and restores it, all at once.
CaseResult ParameterStorm(const std::string& module)
{
    std::string error;
    auto effect = StartEffect(module, kCaseRate, kCaseBlock, error);
    if (!effect) return OpenFailure(error);
    const int32_t count = std::max(1, effect->ProbeParameterCount());
    std::atomic<bool> done{false};
    std::atomic<int64_t> sets{0}, roundTrips{0}, refused{0};
    std::thread automation(
        [&]
        {
            std::mt19937 random = CaseRandom("parameter-storm");
            std::uniform_int_distribution<int32_t> index(0, count - 1);
            std::uniform_real_distribution<float> value(-0.2f, 1.2f);
            while (!done)
            {
                effect->SetParameter(index(random), value(random));
                ++sets;
            }
        });
    std::thread state(
        [&]
        {
            std::vector<uint8_t> chunk;
            for (int i = 0; !done; ++i)
            {
                const bool bank = i % 2 == 1;
                if (effect->GetChunk(bank, chunk))
                {
                    refused += !effect->SetChunk(chunk, bank);
                    ++roundTrips;
                }
                else
                    ++refused;
            }
        });
    // Play on until both other threads have done their share (or time is up:
    // a plug-in that starves them fails).
    const auto start = std::chrono::steady_clock::now();
    const Song song = ChordSong(kCaseRate, int64_t(kCaseRate * 2));
    while ((sets < kStormSets || roundTrips < kStormRoundTrips) &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(60))
    {
        effect->ClearEvents(); // only the blocks' checks matter here; keep the log from filling
        PlaySong(*effect, song, [] { return kCaseBlock; });
    }
    done = true;
    automation.join();
    state.join();
    // Time order is judged by the processing cases: here the random parameters decide whether
    // messages passed through show up behind the engine's notes, so it is reported, not judged.
    BlockFindings findings = effect->Findings();
    const int64_t unordered = findings.eventsOutOfOrder;
    findings.eventsOutOfOrder = 0;
    if (findings.Clean()) findings.firstProblem.clear();
    return Judge(findings, refused == 0 && sets >= kStormSets && roundTrips >= kStormRoundTrips,
                 std::to_string(sets) + " parameter changes and " + std::to_string(roundTrips) +
                     " saves and restores during play, " + std::to_string(refused) + " refused" +
                     (unordered > 0 ? ", " + std::to_string(unordered) + " events out of time order" : ""));
}

// Brings an instance into a state of its own: random values on many
// parameters, then some play.
void Scramble(ValidatorEffect& effect, const std::string& seed)
{
    const int32_t count = effect.ProbeParameterCount();
    std::mt19937 random = CaseRandom(seed);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    if (count > 0)
    {
        std::uniform_int_distribution<int32_t> index(0, count - 1);
        for (int i = 0; i < 300; ++i)
            effect.SetParameter(index(random), value(random));
    }
    PlaySong(effect, ChordSong(kCaseRate, kCaseBlock * 32), [] { return kCaseBlock; });
}

std::string FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    std::size_t differing = 0, first = SIZE_MAX;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i]) first = std::min(first, i), ++differing;
    std::ostringstream text;
    if (a.size() != b.size()) text << "sizes " << a.size() << " and " << b.size() << "; ";
    text << differing << " bytes differ";
    if (first != SIZE_MAX) text << ", the first at offset " << first;
    return text.str();
}

CaseResult StateRoundTrip(const std::string& module, bool bank)
{
    std::string error;
    auto first = StartEffect(module, kCaseRate, kCaseBlock, error);
    if (!first) return OpenFailure(error);
    Scramble(*first, bank ? "state-roundtrip-bank" : "state-roundtrip-program");
    std::vector<uint8_t> saved, again;
    if (!first->GetChunk(bank, saved)) return {"", false, "the plug-in gave no state"};
    first->Close();
    auto second = StartEffect(module, kCaseRate, kCaseBlock, error);
    if (!second) return OpenFailure(error);
    if (!second->SetChunk(saved, bank))
        return {"", false,
                "a fresh instance refused the saved state of " + std::to_string(saved.size()) + " bytes"};
    if (!second->GetChunk(bank, again)) return {"", false, "the restored instance gave no state"};
    if (saved != again) return {"", false, "saved again after restoring: " + FirstDifference(saved, again)};
    return {"", true, std::to_string(saved.size()) + " bytes saved, restored and saved again identically"};
}

enum class Damage
{
    Random,
    Truncated,
    BitFlipped
};

// Damaged program chunks: each is refused with the state as it was, or taken
// with every parameter in range and play going on as before.
CaseResult DamagedChunks(const std::string& module, Damage damage, const std::string& name)
{
    std::string error;
    auto effect = StartEffect(module, kCaseRate, kCaseBlock, error);
    if (!effect) return OpenFailure(error);
    Scramble(*effect, name);
    const int32_t count = effect->ProbeParameterCount();
    std::vector<uint8_t> base;
    if (!effect->GetChunk(false, base) || base.empty()) return {"", false, "the plug-in gave no state"};
    std::mt19937 random = CaseRandom(name);
    std::vector<std::vector<uint8_t>> mutants;
    if (damage == Damage::Random)
    {
        std::uniform_int_distribution<std::size_t> length(0, base.size() * 2);
        for (int i = 0; i < 80; ++i)
        {
            std::vector<uint8_t> m(length(random));
            // Half keep the valid head, so the reader gets past its first checks.
            const std::size_t head = i % 2 ? std::min<std::size_t>(m.size(), 64) : 0;
            std::copy(base.begin(), base.begin() + std::ptrdiff_t(std::min(head, base.size())), m.begin());
            for (std::size_t b = head; b < m.size(); ++b)
                m[b] = uint8_t(random());
            mutants.push_back(std::move(m));
        }
    }
    else if (damage == Damage::Truncated)
    {
        for (std::size_t n : {0, 1, 2, 3, 4, 5, 7, 8, 9, 12, 16, 24, 32, 40, 48, 64})
            if (n < base.size()) mutants.emplace_back(base.begin(), base.begin() + std::ptrdiff_t(n));
        for (std::size_t n = 64; n < base.size(); n += std::max<std::size_t>(1, base.size() / 64))
            mutants.emplace_back(base.begin(), base.begin() + std::ptrdiff_t(n));
        mutants.emplace_back(base.begin(), base.end() - 1);
    }
    else
    {
        std::uniform_int_distribution<std::size_t> at(0, base.size() * 8 - 1);
        for (int i = 0; i < 120; ++i)
        {
            std::vector<uint8_t> m = base;
            for (int flips = 1 + i % 8; flips > 0; --flips)
            {
                const std::size_t bit = at(random);
                m[bit / 8] ^= uint8_t(1u << (bit % 8));
            }
            mutants.push_back(std::move(m));
        }
    }
    int64_t accepted = 0, refused = 0, changed = 0, outOfRange = 0, notRestored = 0;
    std::string firstFault;
    std::vector<uint8_t> before, after;
    for (const std::vector<uint8_t>& m : mutants)
    {
        effect->GetChunk(false, before);
        if (!effect->SetChunk(m, false))
        {
            ++refused;
            effect->GetChunk(false, after);
            if (after != before && changed++ == 0 && firstFault.empty())
                firstFault = "refused chunk of " + std::to_string(m.size()) +
                             " bytes changed the state: " + FirstDifference(before, after);
            continue;
        }
        ++accepted;
        const int32_t bad = ParametersOutOfRange(*effect, count);
        if (bad > 0 && outOfRange++ == 0 && firstFault.empty())
            firstFault = "accepted chunk of " + std::to_string(m.size()) + " bytes left " +
                         std::to_string(bad) + " parameters out of 0..1";
        for (int b = 0; b < 4; ++b)
        {
            VstTimeInfo time = MakeTimeInfo(kCaseRate, 120.0, double(effect->FramesProcessed()), true);
            effect->SetTimeInfo(&time);
            effect->Process(kCaseBlock);
        }
        notRestored += !effect->SetChunk(base, false);
    }
    std::ostringstream figure;
    figure << mutants.size() << " chunks: " << accepted << " accepted, " << refused << " refused; " << changed
           << " refused but changed the state, " << outOfRange << " accepted out of range, " << notRestored
           << " times the saved state was refused back";
    if (!firstFault.empty()) figure << " (first: " << firstFault << ')';
    return Judge(effect->Findings(), changed == 0 && outOfRange == 0 && notRestored == 0, figure.str());
}
} // namespace

std::vector<ValidatorCase> StateCases()
{
    return {
        {"parameter-extremes", ParameterExtremes},
        {"parameter-storm", ParameterStorm},
        {"state-roundtrip-program", [](const std::string& m) { return StateRoundTrip(m, false); }},
        {"state-roundtrip-bank", [](const std::string& m) { return StateRoundTrip(m, true); }},
        {"chunk-random",
         [](const std::string& m) { return DamagedChunks(m, Damage::Random, "chunk-random"); }},
        {"chunk-truncated",
         [](const std::string& m) { return DamagedChunks(m, Damage::Truncated, "chunk-truncated"); }},
        {"chunk-bitflip",
         [](const std::string& m) { return DamagedChunks(m, Damage::BitFlipped, "chunk-bitflip"); }},
    };
}

} // namespace quova::host
