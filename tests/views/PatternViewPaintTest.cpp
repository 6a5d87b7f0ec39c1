// What the step grid draws: bars, cells and loop shading in their colours, the header dots, the
// incoming-note indicators, and what only shows while the pointer hovers over the view.
#include <gtest/gtest.h>

#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"
#include "framework/IParameter.h"
#include "tests/views/ViewsEditorSupport.h"

using namespace quova::views_test;

namespace
{

constexpr IRectangle kGrid(24, 60, 24 + 769, 171);
constexpr int kTop = 60;
constexpr int kBottom = 171;
constexpr IColorARGB kA(215, 132, 174, 225);
constexpr IColorARGB kB(215, 106, 166, 236);
constexpr IColorARGB kC(235, 132, 174, 225);
constexpr IColorARGB kD(180, 106, 166, 236);
constexpr IColorARGB kE(100, 132, 174, 225);
int Left(int column)
{
    return 25 + 24 * column;
}

// An indicator that keeps what it receives.
class Indicator : public IControl
{
public:
    Indicator() : IControl(nullptr, IRectangle(), -1) {}
    bool Paint(IGraphics*) override { return false; }
};

class PatternViewPaint : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (auto& i : indicators)
            i = new Indicator();
        view = rig.Add(new PatternView(rig.plug.get(), kGrid, -1, rig.engine.get(),
                                       rig.Strip(kMarkerStripId, "images/markers.png", kMarkerFrames),
                                       {indicators[0], indicators[1], indicators[2], indicators[3]}, 30, 0,
                                       &host));
        for (auto* i : indicators)
            rig.Add(i);
        host.view = view;
        rig.editor->SetHoverTracking(true);
        ASSERT_NE(rig.Open(), nullptr);
    }
    void Lane(int lane, double value)
    {
        view->SetLane(lane);
        host.Prime(lane, value);
    }
    PatternStepper& Stepper() { return rig.engine->GetKeyAreas()->GetArea(0)->GetStepper(); }

    Rig rig;
    StepHost host;
    PatternView* view = nullptr;
    Indicator* indicators[4] = {};
};

TEST_F(PatternViewPaint, BarsRiseFromTheZeroLineInTheColoursOfTheirSetOfFour)
{
    Lane(6, 0); // div 0..7: the zero line is the bottom
    view->SetStepDisplayValue(6, 0, 0, 7, 7);
    view->SetStepDisplayValue(6, 4, 0, 7, 7);
    view->SetStepDisplayValue(6, 8, 0, 7, 1);
    rig.Tick();
    EXPECT_EQ(rig.Shown(Left(0) + 10, kTop), Blended(kBackground, kA));
    EXPECT_EQ(rig.Shown(Left(0) + 10, kBottom - 1), Blended(kBackground, kA));
    EXPECT_EQ(rig.Shown(Left(0) + 21, kTop + 50), Rgb(kBackground)); // 21 pixels wide
    EXPECT_EQ(rig.Shown(Left(4) + 10, kTop + 50), Blended(kBackground, kB));
    // 1 of 7: round(111 / 7) = 16 pixels.
    EXPECT_EQ(rig.Shown(Left(8) + 10, kBottom - 16), Blended(kBackground, kA));
    EXPECT_EQ(rig.Shown(Left(8) + 10, kBottom - 17), Rgb(kBackground));
    // A value of 0 draws nothing.
    EXPECT_EQ(rig.Shown(Left(1) + 10, kBottom - 1), Rgb(kBackground));
}

TEST_F(PatternViewPaint, NegativeBarsHangBelowTheZeroLine)
{
    Lane(4, 0); // -100..100: zero line 56 below the top
    view->SetStepDisplayValue(4, 1, -100, 100, -50);
    rig.Tick();
    // r = round(111 x -50 / 200) = -28: from y = top + 56 to top + 84.
    EXPECT_EQ(rig.Shown(Left(1) + 5, kTop + 56), Blended(kBackground, kA));
    EXPECT_EQ(rig.Shown(Left(1) + 5, kTop + 83), Blended(kBackground, kA));
    EXPECT_EQ(rig.Shown(Left(1) + 5, kTop + 84), Rgb(kBackground));
    EXPECT_EQ(rig.Shown(Left(1) + 5, kTop + 55), Rgb(kBackground));
}

TEST_F(PatternViewPaint, StepsOutsideTheLoopRangeAreShaded)
{
    Lane(6, 0);
    Stepper().GetLaneLooper(0, 6)->SetLoopRange(4, 30);
    view->MarkChanged(false);
    rig.Tick();
    EXPECT_EQ(rig.Shown(24, kTop + 30), Blended(kBackground, kE));
    EXPECT_EQ(rig.Shown(Left(3) + 22, kTop + 30), Blended(kBackground, kE)); // up to origin - 1 + 4 x 24
    EXPECT_EQ(rig.Shown(Left(4), kTop + 30), Rgb(kBackground));
    EXPECT_EQ(rig.Shown(Left(29) + 22, kTop + 30), Rgb(kBackground));
    EXPECT_EQ(rig.Shown(Left(30), kTop + 30), Blended(kBackground, kE));
    EXPECT_EQ(rig.Shown(792, kTop + 30), Blended(kBackground, kE));
}

TEST_F(PatternViewPaint, CellLanesOutlineEveryCellAndFillTheChosenOne)
{
    Lane(1, 0); // chord memory: 16 cells
    view->SetStepDisplayValue(1, 0, 0, 16, 3);
    view->SetStepDisplayValue(1, 4, 0, 16, 3);
    rig.Tick();
    // Cell 2 of 16: {x, 171 - 330 / 16 - 1, x + 20, 171 - 220 / 16 - 1} = {x, 150, x + 20, 157}.
    EXPECT_EQ(rig.Shown(Left(0), 152), Rgb(kA)); // outline, opaque
    EXPECT_EQ(rig.Shown(Left(0) + 10, 150), Rgb(kA));
    EXPECT_EQ(rig.Shown(Left(0) + 10, 154), Blended(kBackground, kC));
    EXPECT_EQ(rig.Shown(Left(4) + 10, 154), Blended(kBackground, kD));
    // Unchosen cells are only outlined.
    EXPECT_EQ(rig.Shown(Left(1) + 10, 154), Rgb(kBackground));
    EXPECT_EQ(rig.Shown(Left(1), 154), Rgb(kA));
}

TEST_F(PatternViewPaint, LaneDotsShowOnlyWhileThePointerHovers)
{
    Lane(6, 0);
    host.laneEdits.assign(17, false);
    host.laneEdits[1] = true;
    Stepper().SetLaneEnabled(0, 2, false);
    rig.Tick();
    const int dotY = kTop - 33 + 1;
    EXPECT_EQ(rig.Shown(24 + 2 + 1, dotY), Rgb(kBackground));

    rig.driver.MouseMove(rig.window, Left(3), kTop + 30);
    rig.Tick();
    EXPECT_TRUE(view->IsHovering());
    EXPECT_EQ(rig.Shown(24 + 2 + 1, dotY), Blended(kBackground, IColorARGB(125, 0, 200, 0)));
    EXPECT_EQ(rig.Shown(24 + 2 + 128 + 1, dotY), Blended(kBackground, IColorARGB(225, 200, 34, 34)));
    EXPECT_EQ(rig.Shown(24 + 2 + 64 + 57 + 1, dotY), 0xFFFFFFu); // lane 1 has edits
    EXPECT_EQ(rig.Shown(24 + 2 + 57 + 1, dotY), Rgb(kBackground));

    view->OnMouseLeft();
    rig.Tick();
    EXPECT_EQ(rig.Shown(24 + 2 + 1, dotY), Rgb(kBackground));
}

TEST_F(PatternViewPaint, PatternsWithEditsGetADotAboveTheGrid)
{
    host.patternEdits.assign(12, false);
    host.patternEdits[2] = true;
    IParameter edited; // the write that made the edit
    edited.SetValue(1.0);
    rig.Tick(12); // a quiet view asks one pattern a tick
    EXPECT_EQ(rig.Shown(24 + 1 + 76 + 64 + 1, kTop - 54 + 1),
              Blended(kBackground, IColorARGB(115, 255, 255, 255)));
    EXPECT_EQ(rig.Shown(24 + 1 + 76 + 32 + 1, kTop - 54 + 1), Rgb(kBackground));
}

TEST_F(PatternViewPaint, PlayingStepIsMarkedOnlyWhileNotesAreMarked)
{
    Lane(6, 0);
    rig.Tick();
    EXPECT_EQ(rig.Shown(Left(0) + 5, kTop + 1), Rgb(kBackground));
    view->MarkNoteSounding(0, 5, 0);
    rig.Tick();
    EXPECT_EQ(rig.Shown(Left(0) + 5, kTop + 1), Blended(kBackground, kB));
}

TEST_F(PatternViewPaint, LengthBracketSpansThePatternSteps)
{
    Stepper().SetPatternLength(0, 4);
    view->MarkChanged(false);
    rig.Tick();
    EXPECT_EQ(rig.Shown(Left(0) + 10, kTop - 2), Blended(kBackground, kA));
    EXPECT_EQ(rig.Shown(24 + 4 * 24 - 4, kTop - 2), Blended(kBackground, kA));
    EXPECT_EQ(rig.Shown(24 + 4 * 24 - 4, kTop - 1), Blended(kBackground, kA)); // the tick
    EXPECT_EQ(rig.Shown(24 + 4 * 24 - 5, kTop - 1), Rgb(kBackground));
    EXPECT_EQ(rig.Shown(24 + 4 * 24 - 3 + 1, kTop - 2), Rgb(kBackground));
}

TEST_F(PatternViewPaint, IncomingNoteIndicatorsCountDownToTheirRestingFrame)
{
    rig.Tick();
    EXPECT_DOUBLE_EQ(indicators[1]->GetValue(), 1.0 / 30);
    view->FlashIncomingNote(1);
    rig.Tick();
    EXPECT_DOUBLE_EQ(indicators[1]->GetValue(), 29.0 / 30);
    EXPECT_DOUBLE_EQ(indicators[0]->GetValue(), 1.0 / 30);
    rig.Tick(40);
    EXPECT_DOUBLE_EQ(indicators[1]->GetValue(), 1.0 / 30);
    view->FlashIncomingNote(7); // no such key area
    EXPECT_EQ(view->GetIncomingCounter(7), 0u);
}

} // namespace
