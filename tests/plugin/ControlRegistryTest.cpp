// The control registry: filing and finding by key area, pattern, lane and step, copying values
// out and pasting them onto other areas, patterns and lanes in the same order, and showing only
// the edited pattern and lane.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "framework/HeapBuffer.h"
#include "gui/IInvisibleSwitchControl.h"
#include "plugin/ControlRegistry.h"

namespace
{

constexpr int kOnOffKey = 30613;

// A registry over plain controls (no plug-in: the controls' own values are copied and pasted).
class RegistryTest : public ::testing::Test
{
protected:
    IControl* Make(double value = 0.0)
    {
        controls_.push_back(std::make_unique<ICustomInvisibleSwitchControl>(
            static_cast<IEffectBase*>(nullptr), IRectangle{0, 0, 10, 10}, -1));
        controls_.back()->SetValueByUser(value);
        return controls_.back().get();
    }
    // A lane as the plug-in files it: reset switch, direction, 32 on/off switches, 32 cells.
    void FileLane(int area, int pattern, int lane, double base)
    {
        registry_.AddLaneControl(area, pattern, Make(base), lane, 465);
        registry_.AddLaneControl(area, pattern, Make(base + 0.01), lane, 17317);
        for (int t = 0; t < 32; ++t)
            registry_.AddLaneControl(area, pattern, Make(t % 2), lane, kOnOffKey);
        for (int t = 0; t < 32; ++t)
            registry_.AddStepControl(area, pattern, Make(base + t / 100.0), lane, 12472);
    }
    static std::vector<double> Values(const HeapBuffer& buffer)
    {
        std::vector<double> out(static_cast<size_t>(buffer.Size()) / sizeof(double));
        if (!out.empty()) std::memcpy(out.data(), buffer.Data(), static_cast<size_t>(buffer.Size()));
        return out;
    }

    std::vector<std::unique_ptr<IControl>> controls_;
    ControlRegistry registry_;
};

TEST_F(RegistryTest, FindsControlsByKeyAndPosition)
{
    FileLane(1, 2, 3, 0.1);
    // The on/off switch of step n is the n-th switch filed under 30613.
    IControl* last = registry_.FindNthLaneSwitch(1, 2, 3, kOnOffKey, 31);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->GetValue(), 1.0);
    EXPECT_EQ(registry_.FindNthLaneSwitch(1, 2, 3, kOnOffKey, 32), nullptr);
    EXPECT_DOUBLE_EQ(registry_.FindLaneSwitch(1, 2, 3, 17317)->GetValue(), 0.11);
    EXPECT_EQ(registry_.FindStepControl(1, 2, 3, 5)->GetValue(), 0.1 + 5 / 100.0);
    EXPECT_EQ(registry_.FindStepControl(1, 2, 3, 32), nullptr);
    EXPECT_EQ(registry_.FindStepControl(1, 2, 3, -1), nullptr);
    EXPECT_EQ(registry_.FindStepControl(1, 2, 4, 0), nullptr); // another lane: nothing filed
    EXPECT_EQ(registry_.FindStepControl(4, 0, 0, 0), nullptr);
    EXPECT_EQ(registry_.FindLaneSwitch(1, 2, 17, 465), nullptr);

    IControl* first = Make();
    IControl* second = Make();
    registry_.AddAreaControl(2, first, 25, true);
    registry_.AddAreaControl(2, second, 25, true);
    EXPECT_EQ(registry_.FindAreaControl(2, 25), first);
    EXPECT_EQ(registry_.FindNthAreaControl(2, 25, 1), second);
    EXPECT_EQ(registry_.FindNthAreaControl(2, 25, 2), nullptr);
    EXPECT_EQ(registry_.FindAreaControl(1, 25), nullptr);
    EXPECT_FALSE(registry_.AddAreaControl(4, first, 25, true));
    EXPECT_FALSE(registry_.AddPatternControl(0, 12, first, 125));
    EXPECT_FALSE(registry_.AddStepControl(0, 0, nullptr, 0, 12472));

    IControl* learn = Make();
    registry_.AddExtraControl(learn);
    EXPECT_EQ(registry_.GetExtraControl(0), learn);
    EXPECT_EQ(registry_.GetExtraControl(1), nullptr);
    ICustomInvisibleSwitchControl panic(static_cast<IEffectBase*>(nullptr), IRectangle{}, 18151);
    registry_.AddGlobalControl(&panic);
    EXPECT_EQ(registry_.FindGlobalControl(18151), &panic);
    EXPECT_EQ(registry_.FindGlobalControl(0), nullptr);
}

TEST_F(RegistryTest, PatternValuesPasteOntoAnotherPatternInTheSameOrder)
{
    for (int p : {0, 5})
    {
        registry_.AddPatternControl(0, p, Make(p == 0 ? 0.3 : 0.9), 125);
        registry_.AddPatternControl(0, p, Make(p == 0 ? 0.4 : 0.8), 29);
        for (int l = 0; l < 17; ++l)
            FileLane(0, p, l, p == 0 ? l / 40.0 : 0.5);
    }
    HeapBuffer buffer(4096);
    registry_.CollectPatternValues(0, 0, &buffer);
    const std::vector<double> copied = Values(buffer);
    ASSERT_EQ(copied.size(), 2u + 17u * 66u);
    EXPECT_EQ(copied[0], 0.3);
    EXPECT_EQ(copied[1], 0.4);
    EXPECT_EQ(copied[2], 0.0); // lane 0's reset switch

    registry_.PastePatternValues(0, 5, buffer);
    HeapBuffer target(4096);
    registry_.CollectPatternValues(0, 5, &target);
    EXPECT_EQ(Values(target), copied);
    EXPECT_EQ(registry_.FindStepControl(0, 5, 16, 31)->GetValue(), 16 / 40.0 + 31 / 100.0);
}

TEST_F(RegistryTest, OnlyPushedEntriesAreCopiedAndAShortBufferStopsThePaste)
{
    IControl* areaSwitch = Make(1.0);
    IControl* hold = Make(0.0);
    registry_.AddAreaControl(0, areaSwitch, 2865, false);
    registry_.AddAreaControl(0, hold, 17, true);
    registry_.AddAreaControl(1, Make(0.5), 2865, false);
    IControl* otherHold = Make(1.0);
    registry_.AddAreaControl(1, otherHold, 17, true);
    HeapBuffer buffer(4096);
    registry_.CollectAreaValues(0, &buffer);
    EXPECT_EQ(Values(buffer), std::vector<double>{0.0});
    registry_.PasteAreaValues(1, buffer);
    EXPECT_EQ(otherHold->GetValue(), 0.0);
    EXPECT_EQ(registry_.FindAreaControl(1, 2865)->GetValue(), 0.5);

    // A range of three cells pasted from a buffer of two values sets two cells and stops.
    FileLane(2, 0, 0, 0.0);
    HeapBuffer two(4096);
    registry_.CollectStepRange(2, 0, 0, &two, 30, 31); // 0.30, 0.31
    EXPECT_EQ(Values(two).size(), 2u);
    registry_.PasteStepRange(2, 0, 0, two, 0, 2);
    EXPECT_EQ(registry_.FindStepControl(2, 0, 0, 0)->GetValue(), 0.30);
    EXPECT_EQ(registry_.FindStepControl(2, 0, 0, 1)->GetValue(), 0.31);
    EXPECT_EQ(registry_.FindStepControl(2, 0, 0, 2)->GetValue(), 0.02);
    HeapBuffer none(4096);
    registry_.CollectStepRange(2, 0, 0, &none, 5, 4);
    EXPECT_EQ(none.Size(), 0);
    // A range running past the lane's end stops at its last cell.
    registry_.PasteStepRange(2, 0, 0, two, 31, 40);
    EXPECT_EQ(registry_.FindStepControl(2, 0, 0, 31)->GetValue(), 0.30);

    // One cell's value copied to cells 10..11, then to the whole lane.
    registry_.CopyStepToRange(2, 0, 0, 3, 10, 12);
    EXPECT_EQ(registry_.FindStepControl(2, 0, 0, 9)->GetValue(), 0.09);
    EXPECT_EQ(registry_.FindStepControl(2, 0, 0, 11)->GetValue(), 0.03);
    EXPECT_EQ(registry_.FindStepControl(2, 0, 0, 12)->GetValue(), 0.12);
    registry_.CopyStepToAll(2, 0, 0, 5);
    for (int t = 0; t < 32; ++t)
        EXPECT_EQ(registry_.FindStepControl(2, 0, 0, t)->GetValue(), 0.05);
}

TEST_F(RegistryTest, ShowsOnlyTheEditedPatternAndLane)
{
    IControl* rate0 = Make();
    IControl* rate1 = Make();
    IControl* area = Make();
    IControl* scene = Make();
    registry_.AddPatternControl(0, 0, rate0, 125);
    registry_.AddPatternControl(0, 1, rate1, 125);
    registry_.AddAreaControl(0, area, 17, true);
    registry_.AddSceneControl(0, scene, 17125);
    FileLane(0, 0, 0, 0.0);
    FileLane(0, 0, 3, 0.0);

    registry_.HideKeyArea(0);
    for (const auto& c : controls_)
        EXPECT_TRUE(c->IsHidden());

    registry_.ShowPattern(0, 0, true, -1);
    EXPECT_FALSE(rate0->IsHidden());
    EXPECT_TRUE(rate1->IsHidden());
    EXPECT_FALSE(area->IsHidden());
    EXPECT_FALSE(scene->IsHidden());
    EXPECT_TRUE(registry_.FindStepControl(0, 0, 0, 0)->IsHidden());

    registry_.ShowPattern(0, 0, true, 3);
    EXPECT_FALSE(registry_.FindStepControl(0, 0, 3, 7)->IsHidden());
    EXPECT_FALSE(registry_.FindLaneSwitch(0, 0, 3, 465)->IsHidden());
    EXPECT_TRUE(registry_.FindStepControl(0, 0, 0, 7)->IsHidden());

    registry_.SetLaneKeyHidden(0, 0, 3, true, kOnOffKey);
    EXPECT_TRUE(registry_.FindNthLaneSwitch(0, 0, 3, kOnOffKey, 0)->IsHidden());
    EXPECT_FALSE(registry_.FindLaneSwitch(0, 0, 3, 465)->IsHidden());

    registry_.SetPatternKeyHiddenEverywhere(125, false);
    EXPECT_FALSE(rate1->IsHidden());

    registry_.ShowPattern(0, 0, false, 3);
    EXPECT_TRUE(rate0->IsHidden());
    EXPECT_TRUE(area->IsHidden());
    EXPECT_TRUE(registry_.FindStepControl(0, 0, 3, 7)->IsHidden());

    // An area outside 0..3 is ignored.
    registry_.ShowPattern(0, 0, true, 0);
    registry_.HideKeyArea(4);
    EXPECT_FALSE(rate0->IsHidden());
}

} // namespace
