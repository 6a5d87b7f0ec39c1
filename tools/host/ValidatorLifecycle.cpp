// Cases of the plug-in's life cycle: opening and closing, instances side by
// side, and notes that must end when the host stops, panics or closes.
#include "tools/host/ValidatorCases.h"

#include <sstream>

namespace quova::host
{
namespace
{
constexpr int kBareCycles = 25;
constexpr int kProcessingCycles = 10;

int32_t Fixed()
{
    return kCaseBlock;
}

CaseResult OpenClose(const std::string& module)
{
    for (int i = 0; i < kBareCycles; ++i)
    {
        ValidatorEffect effect;
        std::string error;
        if (!effect.Open(module, error)) return OpenFailure(error);
        effect.Close();
    }
    return {"", true, std::to_string(kBareCycles) + " cycles of open and close"};
}

CaseResult OpenProcessClose(const std::string& module)
{
    BlockFindings all;
    int64_t noteOns = 0;
    for (int i = 0; i < kProcessingCycles; ++i)
    {
        std::string error;
        auto effect = StartEffect(module, kCaseRate, kCaseBlock, error);
        if (!effect) return OpenFailure(error);
        PlaySong(*effect, ChordSong(kCaseRate, kCaseBlock * 64), Fixed);
        NoteTracker notes;
        notes.AddAll(effect->Events());
        noteOns += notes.NoteOns();
        all.Merge(effect->Findings());
        effect->Close();
    }
    return Judge(all, noteOns > 0,
                 std::to_string(kProcessingCycles) + " cycles; " + std::to_string(noteOns) + " note-ons");
}

CaseResult TwoInstances(const std::string& module)
{
    std::string error;
    auto first = StartEffect(module, kCaseRate, kCaseBlock, error);
    auto second = first ? StartEffect(module, kCaseRate, kCaseBlock, error) : nullptr;
    if (!second) return OpenFailure(error);
    const Song song = ChordSong(kCaseRate, int64_t(kCaseRate * 2));
    // Block by block in turn: each instance gets a one-block song slice.
    int64_t position = 0;
    std::size_t next = 0;
    while (position < song.frames)
    {
        const int32_t frames = int32_t(std::min<int64_t>(kCaseBlock, song.frames - position));
        for (; next < song.messages.size() && song.messages[next].frame < position + frames; ++next)
            for (ValidatorEffect* effect : {first.get(), second.get()})
            {
                const SongMessage& m = song.messages[next];
                effect->QueueMidi(int32_t(m.frame - position), m.bytes[0], m.bytes[1], m.bytes[2]);
            }
        VstTimeInfo time = MakeTimeInfo(kCaseRate, song.tempo, double(position), true);
        for (ValidatorEffect* effect : {first.get(), second.get()})
        {
            effect->SetTimeInfo(&time);
            effect->Process(frames);
        }
        position += frames;
    }
    const std::string difference = CompareMidi(second->Events(), first->Events());
    const std::size_t events = first->Events().size();
    first->Close();
    second->ResetFindings();
    PlaySong(*second, ChordSong(kCaseRate, kCaseBlock * 16), Fixed);
    return Judge(second->Findings(), difference.empty() && events > 0,
                 difference.empty()
                     ? std::to_string(events) + " identical events from both; the second ran on alone"
                     : "the instances differ: " + difference);
}

// Holds a chord while the transport plays for a second, then does what end
// says; the notes left sounding afterwards are the figure.
enum class Ending
{
    Stop,
    Panic,
    Close
};

CaseResult NotesEnd(const std::string& module, Ending ending)
{
    std::string error;
    auto effect = StartEffect(module, kCaseRate, kCaseBlock, error);
    if (!effect) return OpenFailure(error);
    // A chord inside the default key area: the arpeggiator's own notes are what must end. (Notes
    // that only pass through end when the host lets their keys go.)
    const uint8_t chord[3] = {48, 52, 55};
    int64_t position = 0;
    const auto block = [&](bool playing)
    {
        VstTimeInfo time = MakeTimeInfo(kCaseRate, 120.0, double(position), playing);
        effect->SetTimeInfo(&time);
        effect->Process(kCaseBlock);
        if (playing) position += kCaseBlock;
    };
    for (uint8_t note : chord)
        effect->QueueMidi(0, 0x90, note, 100);
    for (int i = 0; i < int(kCaseRate) / kCaseBlock; ++i)
        block(true);
    NoteTracker before;
    before.AddAll(effect->Events());
    std::string figure;
    NoteTracker after;
    switch (ending)
    {
    case Ending::Stop:
        // The transport stops and the keys are let go in the same block.
        for (uint8_t note : chord)
            effect->QueueMidi(0, 0x80, note, 0);
        for (int i = 0; i < int(kCaseRate) / kCaseBlock; ++i)
            block(false);
        after.AddAll(effect->Events());
        figure = "a second after stopping: ";
        break;
    case Ending::Panic:
        // All notes off on every channel, as a host's panic sends it; the
        // keys stay down.
        for (uint8_t channel = 0; channel < 16; ++channel)
            effect->QueueMidi(0, uint8_t(0xB0 | channel), 123, 0);
        block(true);
        after.AddAll(effect->Events());
        figure = "after the panic block: ";
        break;
    case Ending::Close:
        effect->Suspend();
        effect->Close();
        after.AddAll(effect->Events());
        figure = "after suspend and close: ";
        break;
    }
    figure += after.Describe() + " of " + std::to_string(before.NoteOns()) + " note-ons";
    return Judge(effect->Findings(), before.NoteOns() > 0 && after.Sounding() == 0, figure);
}
} // namespace

CaseResult OpenFailure(const std::string& error)
{
    return {"", false, "cannot open the module: " + error};
}

CaseResult Judge(const BlockFindings& findings, bool extraPass, const std::string& extraFigure)
{
    CaseResult result;
    result.pass = findings.Clean() && extraPass;
    result.figure = extraFigure.empty() ? findings.Describe() : extraFigure + "; " + findings.Describe();
    return result;
}

std::vector<ValidatorCase> LifecycleCases()
{
    return {
        {"open-close", OpenClose},
        {"open-process-close", OpenProcessClose},
        {"two-instances", TwoInstances},
        {"notes-off-after-stop", [](const std::string& m) { return NotesEnd(m, Ending::Stop); }},
        {"notes-off-after-panic", [](const std::string& m) { return NotesEnd(m, Ending::Panic); }},
        {"notes-off-after-close", [](const std::string& m) { return NotesEnd(m, Ending::Close); }},
    };
}

} // namespace quova::host
