// Editing the step grid with the mouse, through the platform's test driver: every edit must reach
// the step control of (area, pattern, lane, step) with the right value, and come back into the
// column the view shows.
#include <gtest/gtest.h>

#include "tests/views/ViewsEditorSupport.h"

using namespace quova::views_test;

namespace
{

// The grid of the rig: 32 columns of 24 pixels from x = 25, 111 pixels from y = 60.
constexpr IRectangle kGrid(24, 60, 24 + 769, 171);
constexpr int kTop = 60;
constexpr int kBottom = 171;
int X(int column)
{
    return 25 + 24 * column + 5;
}

class PatternViewEdit : public ::testing::Test
{
protected:
    void SetUp() override
    {
        view = rig.Add(new PatternView(rig.plug.get(), kGrid, -1, rig.engine.get(),
                                       rig.Strip(kMarkerStripId, "images/markers.png", kMarkerFrames), {}, 30,
                                       0, &host));
        host.view = view;
        ASSERT_NE(rig.Open(), nullptr);
    }
    void Lane(int lane, double value)
    {
        view->SetLane(lane);
        host.Prime(lane, value);
    }
    std::vector<double> EditsOf(int step) const
    {
        std::vector<double> values;
        for (const auto& e : host.edits)
            if (e.step == step) values.push_back(e.plain);
        return values;
    }

    Rig rig;
    StepHost host;
    PatternView* view = nullptr;
};

// The centre of cell k of n stacked upward from the grid's bottom edge.
int CellY(int k, int n)
{
    return (kBottom - 111 * (k + 1) / n + kBottom - 111 * k / n) / 2;
}

TEST_F(PatternViewEdit, ClickOnOrderCellSetsItAndSecondClickSwitchesTheStepOff)
{
    Lane(0, 0);
    rig.driver.Click(rig.window, X(5), CellY(2, 7));
    rig.driver.Click(rig.window, X(5), CellY(2, 7));
    EXPECT_EQ(EditsOf(5), (std::vector<double>{3, 0}));
    EXPECT_EQ(view->GetColumn(5).value, 0.0);
    // Another cell of the same column simply takes its number.
    rig.driver.Click(rig.window, X(5), CellY(6, 7));
    EXPECT_EQ(host.Value(0, 5), 7.0);
}

TEST_F(PatternViewEdit, DragInsideOneCellEditsItOnceAndUpwardDragWalksTheCells)
{
    Lane(1, 0); // chord memory: 16 cells
    rig.driver.Drag(rig.window, X(2) - 3, CellY(4, 16), X(2) + 3, CellY(4, 16) + 1, 6);
    EXPECT_EQ(EditsOf(2), (std::vector<double>{5}));

    rig.driver.Drag(rig.window, X(3), CellY(0, 16), X(3), CellY(3, 16), 12);
    EXPECT_EQ(EditsOf(3), (std::vector<double>{1, 2, 3, 4}));
}

TEST_F(PatternViewEdit, SeqDragThroughAColumnTogglesEachCellOnce)
{
    Lane(8, 0);
    rig.driver.Drag(rig.window, X(3), kTop + 2, X(3), kTop + 14 * 7 + 6, 40);
    EXPECT_EQ(EditsOf(3).size(), 8u);
    EXPECT_EQ(host.Value(8, 3), 255.0);
    // Row 0 (the top cell) is bit 0; row 7 is bit 7.
    rig.driver.Click(rig.window, X(3), kTop + 5);
    EXPECT_EQ(host.Value(8, 3), 254.0);
    rig.driver.Click(rig.window, X(3), kTop + 14 * 7 + 5);
    EXPECT_EQ(host.Value(8, 3), 126.0);
    // Between two cells nothing is toggled.
    const size_t before = host.edits.size();
    rig.driver.Click(rig.window, X(3), kTop + 13);
    EXPECT_EQ(host.edits.size(), before);
}

TEST_F(PatternViewEdit, DoubleClickResetsToZeroOrToTheMiddleOfASymmetricRange)
{
    Lane(4, 50); // accent -100..100
    rig.driver.DoubleClick(rig.window, X(2), kTop + 20);
    EXPECT_EQ(host.Value(4, 2), 0.0); // normalised 0.5

    Lane(6, 5); // div 0..7
    rig.driver.DoubleClick(rig.window, X(2), kTop + 20);
    EXPECT_EQ(host.Value(6, 2), 0.0); // normalised 0.0
    EXPECT_EQ(view->GetColumn(2).value, 0.0);
}

TEST_F(PatternViewEdit, BarClickSetsTheValueAtThePointer)
{
    Lane(4, 0); // zero line 55 pixels below the top
    rig.driver.Click(rig.window, X(0), kTop);
    rig.driver.Click(rig.window, X(1), kTop + 55);
    rig.driver.Click(rig.window, X(2), kTop + 110);
    EXPECT_EQ(host.Value(4, 0), 99.0);
    EXPECT_EQ(host.Value(4, 1), 0.0);
    EXPECT_EQ(host.Value(4, 2), -99.0);

    Lane(6, 0); // 0..7, zero line at the bottom
    rig.driver.Click(rig.window, X(0), kTop);
    rig.driver.Click(rig.window, X(1), kTop + 58);
    EXPECT_EQ(host.Value(6, 0), 7.0);
    EXPECT_EQ(host.Value(6, 1), 3.0); // 53 of 111 pixels: 3.34
    // A drag may go on above the grid (the columns reach 21 pixels up); the value stops at the top.
    rig.driver.Drag(rig.window, X(2), kTop + 100, X(2), kTop - 10, 5);
    EXPECT_EQ(host.Value(6, 2), 7.0);
}

TEST_F(PatternViewEdit, WheelMovesByOneOrByATwentiethOfTheRangeWithControl)
{
    Lane(4, 0); // range 200
    rig.driver.Wheel(rig.window, X(4), kTop + 30, 1);
    EXPECT_EQ(host.Value(4, 4), 1.0);
    rig.driver.HoldModifiers(false, true, false);
    rig.driver.Wheel(rig.window, X(4), kTop + 30, 1);
    EXPECT_EQ(host.Value(4, 4), 11.0);
    rig.driver.Wheel(rig.window, X(4), kTop + 30, -2);
    EXPECT_EQ(host.Value(4, 4), -9.0);

    Lane(6, 2); // range 7: a twentieth is less than one unit, so one unit
    rig.driver.Wheel(rig.window, X(4), kTop + 30, 1);
    EXPECT_EQ(host.Value(6, 4), 3.0);
    rig.driver.HoldModifiers(false, false, false);

    Lane(8, 5); // the seq lane ignores the wheel
    const size_t before = host.edits.size();
    rig.driver.Wheel(rig.window, X(4), kTop + 30, 1);
    EXPECT_EQ(host.edits.size(), before);
}

TEST_F(PatternViewEdit, ControlDragCopiesTheStartColumn)
{
    Lane(2, 1); // length 1..8
    host.FindStepControl(0, 0, 2, 0)->SetValueByUser((3.0 - 1.0) / 7.0);
    rig.driver.HoldModifiers(false, true, false);
    rig.driver.Drag(rig.window, X(0), kTop + 30, X(2), kTop + 30, 8);
    rig.driver.HoldModifiers(false, false, false);
    EXPECT_EQ(host.Value(2, 1), 3.0);
    EXPECT_EQ(host.Value(2, 2), 3.0);
    EXPECT_EQ(host.Value(2, 0), 3.0);

    Lane(6, 0);
    host.FindStepControl(0, 0, 6, 5)->SetValueByUser(5.0 / 7.0);
    rig.driver.HoldModifiers(false, true, false);
    rig.driver.Drag(rig.window, X(5), kTop + 30, X(6), kTop + 30, 4);
    rig.driver.HoldModifiers(false, false, false);
    EXPECT_EQ(host.Value(6, 6), 5.0);
}

TEST_F(PatternViewEdit, RangeSelectionGrowsAndShrinksAndLimitsTheReset)
{
    Lane(4, 50);
    view->SetPointerMode(1);
    rig.driver.MouseDown(rig.window, X(3), kTop + 30);
    for (int c = 4; c <= 9; ++c)
        rig.driver.MouseMove(rig.window, X(c), kTop + 30);
    EXPECT_EQ(view->GetSelectionStart(), 3);
    EXPECT_EQ(view->GetSelectionEnd(), 9);
    for (int c = 8; c >= 6; --c)
        rig.driver.MouseMove(rig.window, X(c), kTop + 30);
    rig.driver.MouseUp(rig.window, X(6), kTop + 30);
    EXPECT_EQ(view->GetSelectionEnd(), 6);
    EXPECT_EQ(view->GetSelectionState(), 2);
    EXPECT_TRUE(host.edits.empty()); // selecting writes nothing

    view->ResetStepsInRange();
    std::vector<int> steps;
    for (const auto& e : host.edits)
    {
        steps.push_back(e.step);
        EXPECT_EQ(e.plain, 0.0);
    }
    EXPECT_EQ(steps, (std::vector<int>{3, 4, 5, 6}));

    // Without a selection every step is reset.
    view->SetPointerMode(0);
    host.edits.clear();
    host.Prime(4, 50);
    view->ResetStepsInRange();
    EXPECT_EQ(host.edits.size(), 32u);
}

TEST_F(PatternViewEdit, HitTestsOfEditsAndOfTheRightClickDiffer)
{
    EXPECT_EQ(view->ColumnAt(24, kTop - 21), 0);
    EXPECT_EQ(view->ColumnAt(24, kTop - 22), -1);
    EXPECT_EQ(view->ColumnAt(24 + 24 * 31 + 23, kTop + 120), 31);
    EXPECT_EQ(view->ColumnAt(24 + 24 * 32, kTop), -1);
    EXPECT_EQ(view->StepAtPoint(24, kTop), -1);
    EXPECT_EQ(view->StepAtPoint(25, kTop), 0);
    EXPECT_EQ(view->StepAtPoint(25, kTop - 1), -1);
    EXPECT_EQ(view->StepAtPoint(25 + 24 * 31 + 23, kTop + 120), 31);
}

TEST_F(PatternViewEdit, DisplayValuesOfAnotherLaneAreIgnored)
{
    Lane(3, 0);
    view->SetStepDisplayValue(4, 0, -100, 100, 42);
    EXPECT_EQ(view->GetColumn(0).value, 0.0);
    view->SetGateInSteps(true);
    view->SetStepDisplayValue(3, 0, -100, 100, 50);
    EXPECT_EQ(view->GetColumn(0).gateSteps, 16.0); // trunc(0.5 x 31 + 1)
    view->SetStepDisplayValue(3, 1, -100, 100, -40);
    EXPECT_EQ(view->GetColumn(1).gateSteps, -40.0);
}

} // namespace
