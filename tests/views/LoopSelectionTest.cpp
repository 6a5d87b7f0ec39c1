// The loop markers above the step grid, written straight into the engine's lane loopers.
#include <gtest/gtest.h>

#include "engine/Looper.h"
#include "tests/views/ViewsEditorSupport.h"
#include "views/ILoopSelectionControl.h"

using namespace quova::views_test;

namespace
{

constexpr IRectangle kStrip(24, 40, 24 + 768, 55);
int ColumnX(int c)
{
    return 24 + 24 * c + 10;
}

class LoopMarkers : public ::testing::Test
{
protected:
    void SetUp() override
    {
        strip = rig.Add(new ILoopSelectionControl(rig.plug.get(), kStrip,
                                                  rig.Strip(kLoopStartId, "images/loopstart.png", 1),
                                                  rig.Strip(kLoopEndId, "images/loopend.png", 1)));
        ASSERT_NE(rig.Open(), nullptr);
    }
    void Bind()
    {
        strip->Invalidate();
        strip->AttachLooper(&lanes[0]);
        for (int i = 1; i < 17; ++i)
            strip->AddOtherLooper(&lanes[i]);
    }
    void DragFrom(int x0, int x1, bool control = false, bool alt = false)
    {
        rig.driver.HoldModifiers(false, control, alt);
        rig.driver.Drag(rig.window, x0, 47, x1, 47, 12);
        rig.driver.HoldModifiers(false, false, false);
    }

    Rig rig;
    ILoopSelectionControl* strip = nullptr;
    ControlLooper lanes[17];
};

TEST_F(LoopMarkers, UnboundStripIgnoresTheMouse)
{
    DragFrom(ColumnX(0), ColumnX(5));
    EXPECT_EQ(strip->GetStart(), 0);
    EXPECT_EQ(strip->GetEnd(), 32);
}

TEST_F(LoopMarkers, BindingShowsTheLooperRangeWithAnInclusiveEnd)
{
    lanes[0].SetLoopRange(3, 9);
    Bind();
    EXPECT_EQ(strip->GetStart(), 3);
    EXPECT_EQ(strip->GetEnd(), 8);
    EXPECT_EQ(strip->StartMarkerRectangle(), IRectangle(24 + 72, 40, 24 + 72 + 23, 55));
    EXPECT_EQ(strip->EndMarkerRectangle(), IRectangle(24 + 192, 40, 24 + 216, 55));
    rig.Tick();
    EXPECT_EQ(rig.Shown(24 + 72 + 5, 45), Rgb(kLoopStartColour));
    EXPECT_EQ(rig.Shown(24 + 192 + 5, 45), Rgb(kLoopEndColour));
}

TEST_F(LoopMarkers, MovingTheStartResetsThePositionAndMovingTheEndDoesNot)
{
    Bind();
    lanes[0].SetPosition(20);
    DragFrom(ColumnX(0), ColumnX(4));
    EXPECT_EQ(lanes[0].LoopStart(), 4);
    EXPECT_EQ(lanes[0].Length(), 28);
    EXPECT_EQ(lanes[0].Position(), 4);
    lanes[0].SetPosition(20);
    DragFrom(ColumnX(31), ColumnX(25));
    EXPECT_EQ(lanes[0].LoopEnd(), 26);
    EXPECT_EQ(lanes[0].Length(), 22);
    EXPECT_EQ(lanes[0].Position(), 20);
    // The other lanes were not touched.
    EXPECT_EQ(lanes[5].LoopStart(), 0);
    EXPECT_EQ(lanes[5].LoopEnd(), 32);
}

TEST_F(LoopMarkers, EndMarkerStopsAtTheLastStep)
{
    lanes[0].SetLoopRange(0, 20);
    Bind();
    DragFrom(ColumnX(19), 24 + 768 + 100);
    EXPECT_EQ(strip->GetEnd(), 31);
    EXPECT_EQ(lanes[0].LoopEnd(), 32);
}

TEST_F(LoopMarkers, StartDraggedPastTheEndHandsTheDragToTheEndMarker)
{
    lanes[0].SetLoopRange(2, 8); // end marker on step 7
    Bind();
    DragFrom(ColumnX(2), ColumnX(12));
    // The start stops on the end's step; the rest of the drag moves the end.
    EXPECT_EQ(strip->GetStart(), 7);
    EXPECT_EQ(lanes[0].LoopStart(), 7);
    EXPECT_EQ(strip->GetEnd(), 12);
    EXPECT_EQ(lanes[0].LoopEnd(), 13);
    EXPECT_LE(strip->GetStart(), strip->GetEnd());
}

TEST_F(LoopMarkers, AltMovesTheWholeRangeAndRefusesToLeaveTheSteps)
{
    lanes[0].SetLoopRange(4, 10); // 4..9
    Bind();
    DragFrom(ColumnX(4), ColumnX(6), false, true);
    EXPECT_EQ(strip->GetStart(), 6);
    EXPECT_EQ(strip->GetEnd(), 11);
    EXPECT_EQ(lanes[0].LoopStart(), 6);
    EXPECT_EQ(lanes[0].LoopEnd(), 12);
    // Moving right stops where the end would pass step 31.
    DragFrom(ColumnX(6), ColumnX(31), false, true);
    EXPECT_EQ(strip->GetEnd() - strip->GetStart(), 5);
    EXPECT_LE(strip->GetEnd(), 31);
    // And left where the start would pass step 0.
    DragFrom(ColumnX(strip->GetStart()), 0, false, true);
    EXPECT_GE(strip->GetStart(), 0);
    EXPECT_EQ(strip->GetEnd() - strip->GetStart(), 5);
}

TEST_F(LoopMarkers, ControlWritesTheRangeIntoEveryLaneOfThePattern)
{
    Bind();
    DragFrom(ColumnX(0), ColumnX(3), true);
    DragFrom(ColumnX(31), ColumnX(20), true);
    for (int i = 0; i < 17; ++i)
    {
        EXPECT_EQ(lanes[i].LoopStart(), 3) << i;
        EXPECT_EQ(lanes[i].LoopEnd(), 21) << i;
    }
    // Invalidate forgets the other lanes.
    strip->Invalidate();
    EXPECT_EQ(strip->OtherLooperCount(), 0);
}

TEST_F(LoopMarkers, PressBesideTheMarkersPicksTheNearerOne)
{
    lanes[0].SetLoopRange(10, 20); // 10..19
    Bind();
    rig.driver.Click(rig.window, ColumnX(5), 47); // left of the start marker
    EXPECT_EQ(strip->GetStart(), 5);
    rig.driver.Click(rig.window, ColumnX(25), 47); // right of the end marker
    EXPECT_EQ(strip->GetEnd(), 25);
    rig.driver.Click(rig.window, ColumnX(12), 47); // between, with the left button: the start
    EXPECT_EQ(strip->GetStart(), 12);
    EXPECT_EQ(strip->GetEnd(), 25);
}

} // namespace
