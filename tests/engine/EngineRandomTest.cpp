// Seeded random play: random input, random lane values and random host
// jumps. Each case number seeds the generator, so a failing case replays
// alone. After everything is let go and the host stops, no note may be left
// sounding, and every note handed out must be valid.
#include "EngineRig.h"

#include "engine/ChordMemory.h"
#include "engine/Lanes.h"
#include "engine/Random.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <random>

namespace
{
void RandomiseSteps(rig::Engine& e, std::mt19937& rng)
{
    PatternStepper& s = e.Stepper();
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int p = 0; p < 2; ++p)
    {
        s.SetPatternLength(p, pick(1, 32));
        s.SetPatternRate(p, std::array<double, 5>{0.0625, 0.125, 1.0 / 6.0, 0.25, 0.375}[pick(0, 4)]);
        s.SetPatternSwing(p, pick(0, 10) / 10.0);
        s.SetPatternGate(p, pick(-9, 10) / 10.0);
        e.Area().SetSortOrder(p, pick(0, 7));
        e.Area().SetPatternOctaves(p, pick(1, 3));
        for (int l = 0; l < quova::kLaneCount; ++l)
        {
            s.GetLaneLooper(p, l)->SetLoopRange(pick(0, 8), pick(4, 32));
            s.SetLaneDirection(p, l, pick(0, 3));
        }
        for (int t = 0; t < quova::kStepCount; ++t)
        {
            s.SetStepNoteChoice(p, t, pick(0, 7));
            s.SetStepDiv(p, t, pick(0, 4));
            s.SetStepShift(p, t, pick(-50, 50));
            s.SetStepLength(p, t, pick(1, 3));
            s.SetStepGate(p, t, pick(-9, 10) / 10.0);
            s.SetStepChord(p, t, pick(0, 3) == 0 ? pick(0, 255) : 0);
            s.SetStepSource(p, t, pick(0, 3) == 0 ? pick(0, 3) : 0);
            s.SetStepTranspose(p, t, pick(-3, 3));
        }
    }
}
} // namespace

TEST(EngineRandom, NoNoteStaysOnAndEveryNoteIsValid)
{
    for (unsigned seed = 1; seed <= 48; ++seed)
    {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        quova::SeedRandomEngine(seed);
        auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        rig::Engine e;
        for (int n : {12, 14, 19})
            e.host.GetChordMemory()->SetSlotNote(0, n, true);
        RandomiseSteps(e, rng);
        // Area 1 shares area 0's keys and channels: the same notes twice.
        e.Area(1).SetStartNote(36);
        e.Area(1).SetEndNote(59);
        e.Area(1).SetBaseNote(36 + pick(0, 2));
        e.Area().GetScale().SetScale(pick(-1, 39));
        std::vector<int> down;
        for (int b = 0; b < 300; ++b)
        {
            const int what = pick(0, 40);
            if (what < 6)
            {
                const int note = pick(36, 59);
                if (e.Press(note, pick(1, 127), pick(0, 511)) > 0) down.push_back(note);
            }
            else if (what < 10 && !down.empty())
            {
                const size_t i = static_cast<size_t>(pick(0, static_cast<int>(down.size()) - 1));
                e.Release(down[i], pick(0, 511));
                down.erase(down.begin() + static_cast<std::ptrdiff_t>(i));
            }
            else if (what == 10)
                e.Area().SetHold(!e.Area().GetHold());
            else if (what == 11)
                e.Area().ChangePatternAt(pick(0, 1), pick(0, 8));
            else if (what == 12)
            {
                e.position = std::max(0.0, e.position - pick(0, 40000));
                e.transport.loopJump = true;
            }
            else if (what == 13)
                e.Area().SetSceneEnabled(!e.Area().IsSceneEnabled());
            else if (what == 14)
                e.Area().SetHoldSync(!e.Area().GetHoldSync());
            else if (what == 15)
                e.Area().SetHoldTranspose(!e.Area().GetHoldTranspose());
            else if (what == 16)
                e.playing = !e.playing;
            else if (what == 17)
                e.Area(1).SetEnabled(!e.Area(1).IsEnabled());
            else if (what == 18)
                e.Area().SetEnabled(!e.Area().IsEnabled());
            e.Block();
        }
        for (int note : down)
            e.Release(note);
        e.Area().SetHold(false);
        e.Area().SetHoldSync(false);
        e.playing = true;
        e.RunThrough((e.block + 40) * rig::kFrames);
        e.playing = false;
        e.Block();
        e.Block();

        std::map<int, bool> sounding;
        for (const rig::Note& n : e.recorder.all)
        {
            ASSERT_TRUE(n.note >= 0 && n.note <= 127);
            ASSERT_TRUE(n.offset >= 0 && n.offset < rig::kFrames);
            ASSERT_TRUE(n.velocity >= 0 && n.velocity <= 127);
            if (n.on && !n.silent)
                sounding[n.channel * 128 + n.note] = true;
            else if (!n.on)
                sounding[n.channel * 128 + n.note] = false;
        }
        for (const auto& [key, on] : sounding)
            EXPECT_FALSE(on) << "note " << key % 128 << " left sounding";
        EXPECT_EQ(e.Notes().GetHeldCount(), 0);
    }
}
