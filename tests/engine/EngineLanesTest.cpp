// The lanes and the note order through the whole engine: note choices, DIV,
// SHIFT, swing, gate, LENGTH, the chord lane, the chord memory as note
// source, the octave walk, velocity and volume.
#include "EngineRig.h"

#include "engine/ChordMemory.h"
#include "engine/Lanes.h"
#include "engine/Random.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

using rig::SampleOf;

namespace
{
// The first note-on at or after a sample and its first note-off after that.
struct Span
{
    long on = -1;
    long off = -1;
    int note = -1;
};

Span SpanAt(const rig::Recorder& r, long from)
{
    Span s;
    for (const rig::Note& n : r.all)
        if (n.on && !n.silent && n.sample >= from)
        {
            s.on = n.sample;
            s.note = n.note;
            break;
        }
    for (const rig::Note& n : r.all)
        if (!n.on && n.note == s.note && n.sample >= s.on && s.on >= 0)
        {
            s.off = n.sample;
            break;
        }
    return s;
}

std::vector<int> FirstNotes(const rig::Recorder& r, size_t count)
{
    std::vector<int> notes = r.OnNotes();
    if (notes.size() > count) notes.resize(count);
    return notes;
}
} // namespace

// Played 52, 48, 59, 55 in "As played" order: positions 52:0 48:1 59:2 55:3.
// Step 2 carries the choice; the others play the walk.
TEST(EngineLanes, EachNoteChoicePicksItsNote)
{
    struct Case
    {
        int choice;
        std::vector<int> notes;
    };
    const Case cases[] = {
        {quova::kChoicePlay, {52, 48, 59, 55, 52}},
        {quova::kChoiceOff, {52, 48, 55, 52}}, // step 2 is muted
        {quova::kChoicePrevious, {52, 48, 48, 55, 52}},
        {quova::kChoiceFirst, {52, 48, 52, 55, 52}},
        {quova::kChoiceLast, {52, 48, 55, 55, 52}},
        {quova::kChoiceHighest, {52, 48, 59, 55, 52}},
        {quova::kChoiceLowest, {52, 48, 48, 55, 52}},
    };
    for (const Case& c : cases)
    {
        rig::Engine e;
        e.Area().SetSortOrder(0, 2);
        e.Stepper().SetStepNoteChoice(0, 2, c.choice);
        for (int n : {52, 48, 59, 55})
            e.Press(n);
        e.RunBeats(1.1);
        EXPECT_EQ(FirstNotes(e.recorder, c.notes.size()), c.notes) << "choice " << c.choice;
    }
}

TEST(EngineLanes, RandomChoiceDrawsFromTheSeededEngine)
{
    std::vector<int> runs[2];
    for (auto& run : runs)
    {
        quova::SeedRandomEngine(1234);
        rig::Engine e;
        for (int s = 0; s < quova::kStepCount; ++s)
            e.Stepper().SetStepNoteChoice(0, s, quova::kChoiceRandom);
        e.PressChord();
        e.RunBeats(3.9);
        run = e.recorder.OnNotes();
    }
    ASSERT_EQ(runs[0].size(), 16u);
    EXPECT_EQ(runs[0], runs[1]);
    const std::set<int> seen(runs[0].begin(), runs[0].end());
    EXPECT_EQ(seen, (std::set<int>{48, 52, 55}));

    // An empty chord-memory slot as source: Random plays nothing.
    rig::Engine empty;
    empty.Stepper().SetStepNoteChoice(0, 0, quova::kChoiceRandom);
    for (int s = 0; s < quova::kStepCount; ++s)
        empty.Stepper().SetStepSource(0, s, 5);
    empty.PressChord();
    empty.RunBeats(1.0);
    EXPECT_TRUE(empty.recorder.Ons().empty());
}

TEST(EngineLanes, DivSplitsAStepIntoGatedPartsOfTheSameNote)
{
    rig::Engine e;
    e.Stepper().SetStepDiv(0, 0, 3.0);
    e.PressChord();
    e.RunBeats(0.3);
    const double part = 0.25 / 3.0;
    for (int k = 0; k < 3; ++k)
    {
        const Span s = SpanAt(e.recorder, SampleOf(k * part));
        EXPECT_EQ(s.note, 48) << "part " << k;
        EXPECT_EQ(s.on, SampleOf(k * part)) << "part " << k;
        EXPECT_EQ(s.off, SampleOf(k * part + 0.9 * part)) << "part " << k;
    }
    const Span next = SpanAt(e.recorder, SampleOf(0.2));
    EXPECT_EQ(next.note, 52); // the parts did not move the order on
    EXPECT_EQ(next.on, SampleOf(0.25));
}

// The note messages sent before a sample: (sample, on, note), merged note-ons left out.
std::vector<std::tuple<long, bool, int>> SentBefore(const rig::Recorder& r, long end)
{
    std::vector<std::tuple<long, bool, int>> sent;
    for (const rig::Note& n : r.all)
        if (n.sample < end && !n.silent) sent.emplace_back(n.sample, n.on, n.note);
    return sent;
}

// At 1/8 with the gate at +5 % each part of a DIV 2 step lasts into the next part: the later part
// continues the sounding note, which ends with the last part, whatever the block length.
TEST(EngineLanes, OverlappingDivPartsSoundAsOneNoteInEveryBlockLength)
{
    for (int frames : {1, 100, 512, 4096, 32768})
    {
        // One key, every step divided: step k sounds from 11025 k to 11025 k + 11300.
        rig::Engine every;
        every.frames = frames;
        every.Stepper().SetPatternRate(0, 0.5);
        every.Stepper().SetPatternGate(0, 0.05);
        for (int t = 0; t < quova::kStepCount; ++t)
            every.Stepper().SetStepDiv(0, t, 2.0);
        every.Press(48);
        every.RunThrough(40000);
        const std::vector<std::tuple<long, bool, int>> one = {
            {0, true, 48},      {11025, true, 48}, {11300, false, 48}, {22050, true, 48},
            {22325, false, 48}, {33075, true, 48}, {33350, false, 48}};
        EXPECT_EQ(SentBefore(every.recorder, 40000), one) << frames << "-frame blocks";

        // Two keys, the middle one of the first three steps divided; its neighbours are short.
        rig::Engine middle;
        middle.frames = frames;
        middle.Stepper().SetPatternRate(0, 0.5);
        middle.Stepper().SetPatternGate(0, 0.05);
        middle.Stepper().SetStepDiv(0, 1, 2.0);
        middle.Stepper().SetStepGate(0, 0, -0.5);
        middle.Stepper().SetStepGate(0, 2, -0.5);
        middle.Press(48);
        middle.Press(52);
        middle.RunThrough(33000);
        const std::vector<std::tuple<long, bool, int>> two = {{0, true, 48},      {6063, false, 48},
                                                              {11025, true, 52},  {22050, true, 48},
                                                              {22325, false, 52}, {28113, false, 48}};
        EXPECT_EQ(SentBefore(middle.recorder, 33000), two) << frames << "-frame blocks";
    }
}

TEST(EngineLanes, ShiftMovesTheStepAndItsEnd)
{
    rig::Engine late;
    late.Stepper().SetStepShift(0, 1, 20.0);
    late.PressChord();
    late.RunBeats(0.7);
    // Start 0.25 + 0.2 x 0.25 = 0.3; end 0.5 + 0.2 x (0.5 - 0.3) = 0.54;
    // the note ends at 0.54 - 0.1 x 0.24 = 0.516.
    Span s = SpanAt(late.recorder, SampleOf(0.26));
    EXPECT_EQ(s.note, 52);
    EXPECT_EQ(s.on, SampleOf(0.3));
    EXPECT_EQ(s.off, SampleOf(0.516));

    rig::Engine early;
    early.Stepper().SetStepShift(0, 1, -20.0);
    early.PressChord();
    early.RunBeats(0.7);
    // Start 0.2; end 0.5 - 0.2 x 0.3 = 0.44; the note ends at 0.44 - 0.024 = 0.416.
    s = SpanAt(early.recorder, SampleOf(0.1));
    EXPECT_EQ(s.note, 52);
    EXPECT_EQ(s.on, SampleOf(0.2));
    EXPECT_EQ(s.off, SampleOf(0.416));
    EXPECT_EQ(SpanAt(early.recorder, SampleOf(0.45)).on, SampleOf(0.5));
}

TEST(EngineLanes, SwingDelaysEveryOddGridStep)
{
    rig::Engine e;
    e.Stepper().SetPatternSwing(0, 0.5);
    e.PressChord();
    e.RunBeats(1.1);
    // Odd steps start 0.5 x 0.5 x 0.25 = 0.0625 beat late; their notes end at
    // 90 % of the shortened span.
    const auto ons = e.recorder.Ons();
    ASSERT_GE(ons.size(), 4u);
    EXPECT_EQ(ons[0].sample, SampleOf(0.0));
    EXPECT_EQ(ons[1].sample, SampleOf(0.3125));
    EXPECT_EQ(ons[2].sample, SampleOf(0.5));
    EXPECT_EQ(ons[3].sample, SampleOf(0.8125));
    EXPECT_EQ(SpanAt(e.recorder, SampleOf(0.3)).off, SampleOf(0.5 - 0.1 * 0.1875));
}

TEST(EngineLanes, GateSetsTheNoteLength)
{
    struct Case
    {
        double patternGate;
        double stepGate;
        double end; // beats
    };
    const Case cases[] = {
        {1.0, 0.0, 0.5},     // a gate of 1.0 doubles the note
        {0.0, 0.0, 0.2475},  // a gate sum of 0 counts as -0.01
        {-0.1, 0.5, 0.35},   // the step's gate adds to the pattern's
        {-1.0, 0.0, 0.0125}, // limited to -0.95
    };
    for (const Case& c : cases)
    {
        rig::Engine e;
        e.Stepper().SetPatternGate(0, c.patternGate);
        e.Stepper().SetStepGate(0, 0, c.stepGate);
        e.PressChord();
        e.RunBeats(0.6);
        EXPECT_EQ(SpanAt(e.recorder, 0).off, SampleOf(c.end)) << c.patternGate << " " << c.stepGate;
    }
}

TEST(EngineLanes, LengthStretchesAStepOverSeveralGridSteps)
{
    rig::Engine e;
    e.Stepper().SetStepLength(0, 0, 2.0);
    e.PressChord();
    e.RunBeats(1.0);
    const Span first = SpanAt(e.recorder, 0);
    EXPECT_EQ(first.off, SampleOf(0.45));
    const auto ons = e.recorder.Ons();
    ASSERT_GE(ons.size(), 3u);
    EXPECT_EQ(ons[1].sample, SampleOf(0.5));
    EXPECT_EQ(ons[1].note, 52);
    EXPECT_EQ(ons[2].sample, SampleOf(0.75));
}

TEST(EngineLanes, ChordLanePlaysTheSelectedSourceNotesTogether)
{
    rig::Engine e;
    e.Stepper().SetStepChord(0, 0, 160); // bits 7 and 5: the first and third note
    e.Stepper().SetStepChord(0, 2, 255); // every note
    e.PressChord();
    e.RunBeats(0.6);
    std::vector<int> atZero, atHalf;
    for (const rig::Note& n : e.recorder.Ons())
    {
        if (n.sample == 0) atZero.push_back(n.note);
        if (n.sample == SampleOf(0.5)) atHalf.push_back(n.note);
    }
    EXPECT_EQ(atZero, (std::vector<int>{48, 55}));
    EXPECT_EQ(atHalf, (std::vector<int>{48, 52, 55}));
    // A chord step does not move the order: step 1 plays the first note.
    EXPECT_EQ(SpanAt(e.recorder, 1).note, 48);
}

TEST(EngineLanes, ChordMemorySlotMovedOntoTheLowestHeldNote)
{
    rig::Engine e;
    ChordMemory& memory = *e.host.GetChordMemory();
    for (int n : {12, 15, 19, 22}) // a minor seventh on the root 12
        memory.SetSlotNote(2, n, true);
    for (int s = 0; s < quova::kStepCount; ++s)
        e.Stepper().SetStepSource(0, s, 3); // slot 2
    e.Press(52, 70);
    e.Press(48, 100);
    e.RunBeats(1.1);
    EXPECT_EQ(FirstNotes(e.recorder, 5), (std::vector<int>{48, 51, 55, 58, 48}));
    for (const rig::Note& n : e.recorder.Ons())
        EXPECT_EQ(n.velocity, 100); // the velocity of the note the chord sits on
}

TEST(EngineLanes, ChordMemoryTriggerMergesTheSlotsOfTheHeldNotes)
{
    rig::Engine e;
    ChordMemory& memory = *e.host.GetChordMemory();
    memory.SetSlotNote(0, 12, true); // slot 0: root and fifth
    memory.SetSlotNote(0, 19, true);
    memory.SetSlotNote(1, 12, true); // slot 1: root and minor third
    memory.SetSlotNote(1, 15, true);
    e.Area().SetChordMemoryTrigger(true);
    e.Press(36); // slot 0 moved onto 36: 36 43
    e.Press(37); // slot 1 moved onto 37: 37 40
    e.RunBeats(1.1);
    EXPECT_EQ(FirstNotes(e.recorder, 5), (std::vector<int>{36, 37, 40, 43, 36}));
}

TEST(EngineLanes, OctaveWalkSpansThePatternsOctaveCount)
{
    rig::Engine one;
    one.PressChord();
    one.RunBeats(1.6);
    EXPECT_EQ(FirstNotes(one.recorder, 7), (std::vector<int>{48, 52, 55, 48, 52, 55, 48}));

    rig::Engine two;
    two.Area().SetPatternOctaves(0, 2);
    two.PressChord();
    two.RunBeats(1.6);
    EXPECT_EQ(FirstNotes(two.recorder, 7), (std::vector<int>{48, 52, 55, 60, 64, 67, 48}));
}

TEST(EngineLanes, BouncingWalkRepeatsItsEnds)
{
    rig::Engine e;
    e.Area().SetSortOrder(0, 4); // "Lo-Hi alt"
    e.PressChord();
    e.RunBeats(2.3);
    EXPECT_EQ(FirstNotes(e.recorder, 10), (std::vector<int>{48, 52, 55, 55, 52, 48, 48, 52, 55, 55}));
}

TEST(EngineLanes, VelocityModesVolumeAccentAndTransposition)
{
    rig::Engine fixed;
    fixed.Area().SetVelocityMode(0);
    fixed.Area().SetVolume(-0.5); // 127 - 63.5 = 63.5, truncated
    fixed.Stepper().SetStepAccent(0, 1, 50.0);
    fixed.PressChord();
    fixed.RunBeats(0.6);
    auto ons = fixed.recorder.Ons();
    ASSERT_GE(ons.size(), 3u);
    EXPECT_EQ(ons[0].velocity, 63);
    EXPECT_EQ(ons[1].velocity, 126); // trunc(127 + 63.5) = 190, then trunc(190 - 63.5)
    EXPECT_EQ(ons[2].velocity, 63);

    rig::Engine scaled;
    scaled.Area().GetScale().SetScale(0); // "Major", key C
    scaled.Stepper().SetPatternTranspose(0, 1);
    scaled.Area().SetBaseNote(48); // one octave above the range start
    scaled.PressChord();
    scaled.RunBeats(0.6);
    // One degree up in C major, then 12 semitones: 48->50->62, 52->53->65, 55->57->69.
    EXPECT_EQ(FirstNotes(scaled.recorder, 3), (std::vector<int>{62, 65, 69}));

    rig::Engine edge;
    edge.Area().SetBaseNote(127); // a key offset of 91 would leave the MIDI range
    edge.PressChord();
    edge.RunBeats(0.3);
    for (const rig::Note& n : edge.recorder.all)
        EXPECT_LE(n.note, 127);
}

TEST(EngineLanes, SendCcKeepsTheNoteOnsSilentAndOneStepSendsANoteOnce)
{
    rig::Engine cc;
    cc.Area().SetSendOnlyControllers(true);
    cc.PressChord();
    cc.RunBeats(0.6);
    EXPECT_TRUE(cc.recorder.Ons().empty());
    EXPECT_FALSE(cc.recorder.all.empty());

    // Two areas on the same channel play the same note on the same step.
    rig::Engine twin;
    PatternEngine& second = twin.Area(1);
    second.SetStartNote(36);
    second.SetEndNote(59);
    second.SetBaseNote(36);
    second.SetEnabled(true);
    twin.PressChord();
    twin.RunBeats(0.6);
    EXPECT_EQ(FirstNotes(twin.recorder, 3), (std::vector<int>{48, 52, 55}));
    // The second area's duplicate is dropped with its note-off: each note ends once.
    std::vector<long> offs;
    for (const rig::Note& n : twin.recorder.Offs())
        offs.push_back(n.sample);
    EXPECT_EQ(offs, (std::vector<long>{SampleOf(0.225), SampleOf(0.475)}));
}

TEST(EngineLanes, ShortRatesPlayAtTheirOwnSpeed)
{
    rig::Engine e;
    e.Stepper().SetPatternRate(0, 0.0625); // 1/64: steps shorter than 0.1 beat
    e.PressChord();
    e.RunBeats(0.3);
    const auto ons = e.recorder.Ons();
    ASSERT_GE(ons.size(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(ons[i].sample, SampleOf(0.0625 * static_cast<double>(i))) << "step " << i;
}

TEST(EngineLanes, EachLaneLoopsOverItsOwnRange)
{
    rig::Engine e;
    // TRANSP loops over steps 0..1 while the pattern walks 32 steps.
    ControlLooper& transpose = *e.Stepper().GetLaneLooper(0, quova::kLaneTranspose);
    transpose.SetLoopRange(0, 2);
    e.Stepper().SetStepTranspose(0, 1, 12);
    // ACCENT walks backwards over steps 0..2 ("Down" starts at step 2).
    e.Stepper().SetLaneDirection(0, quova::kLaneAccent, Looper::kDown);
    e.Stepper().GetLaneLooper(0, quova::kLaneAccent)->SetLoopRange(0, 3);
    e.Stepper().SetLaneDirection(0, quova::kLaneAccent, Looper::kDown);
    e.Stepper().SetStepAccent(0, 2, 10.0); // +12.7
    e.PressChord();
    e.RunBeats(1.6);
    EXPECT_EQ(FirstNotes(e.recorder, 7), (std::vector<int>{48, 64, 55, 60, 52, 67, 48}));
    std::vector<int> velocities;
    for (const rig::Note& n : e.recorder.Ons())
        if (velocities.size() < 6) velocities.push_back(n.velocity);
    // Accent on steps 0 and 3 (lane positions 2, 1, 0, 2, ...): +12.
    EXPECT_EQ(velocities, (std::vector<int>{112, 90, 80, 112, 90, 80}));

    // A lane switched off gives its default: no transposition.
    e.Stepper().SetLaneEnabled(0, quova::kLaneTranspose, false);
    const size_t before = e.recorder.Ons().size();
    e.RunBeats(2.6);
    for (size_t i = before; i < e.recorder.Ons().size(); ++i)
        EXPECT_LT(e.recorder.Ons()[i].note, 56);
}
