// The scene strip: a click sets the scene end of the shown key area, the bar shows it, and the
// playing cell blinks 7 of every 14 paints while scenes run (or stays lit while the area plays).
#include <gtest/gtest.h>

#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"
#include "tests/views/ViewsEditorSupport.h"
#include "views/SceneView.h"

using namespace quova::views_test;

namespace
{

// Wider than the sixteen cells, so that a press past the last cell reaches the view.
constexpr IRectangle kStrip(54, 150, 400, 175);
constexpr IColorARGB kPlaying(100, 132, 174, 225);
constexpr IColorARGB kBar(255, 112, 154, 225);

class SceneStrip : public ::testing::Test
{
protected:
    void SetUp() override
    {
        view = rig.Add(new SceneView(rig.plug.get(), kStrip, -1, IBitmapStrip(), rig.engine->GetKeyAreas()));
        ASSERT_NE(rig.Open(), nullptr);
    }
    PatternEngine& Area(int a) { return *rig.engine->GetKeyAreas()->GetArea(a); }
    bool PlayingCellLit() { return rig.Shown(54 + 10, 150 + 5) == Blended(kBackground, kPlaying); }

    Rig rig;
    SceneView* view = nullptr;
};

TEST_F(SceneStrip, CellsAreEighteenPixelsFromTwoPixelsIn)
{
    EXPECT_EQ(view->CellAt(54), 0); // the first two pixels: (x - left - 2) / 18 truncates to 0
    EXPECT_EQ(view->CellAt(55), 0);
    EXPECT_EQ(view->CellAt(56 + 17), 0);
    EXPECT_EQ(view->CellAt(56 + 18), 1);
    EXPECT_EQ(view->CellAt(56 + 18 * 16 - 1), 15);
    EXPECT_EQ(view->CellAt(56 + 18 * 16), -1);
}

TEST_F(SceneStrip, ClickSetsTheSceneEndThatTheBarShows)
{
    rig.Tick();
    // Default end 15: the bar runs to left + 19 + 18 x 15.
    EXPECT_EQ(rig.Shown(54 + 19 + 270 - 1, 175 - 9), Rgb(kBar));
    rig.driver.Click(rig.window, 54, 160);
    EXPECT_EQ(view->SceneEnd(), 0);
    rig.Tick();
    EXPECT_EQ(rig.Shown(54 + 18, 175 - 9), Rgb(kBar));
    EXPECT_EQ(rig.Shown(54 + 19, 175 - 9), Rgb(kBackground));

    rig.driver.Click(rig.window, 56 + 18 * 5 + 3, 160);
    EXPECT_EQ(view->SceneEnd(), 5);
    // Past the sixteenth cell nothing changes.
    rig.driver.Click(rig.window, 56 + 18 * 16 + 3, 160);
    EXPECT_EQ(view->SceneEnd(), 5);
    // Each key area has its own end.
    view->SetKeyArea(2);
    EXPECT_EQ(view->SceneEnd(), 15);
    view->SetKeyArea(9);
    EXPECT_EQ(view->GetKeyArea(), 2);
    rig.Tick();
    // An end the parameter road sets in the engine (the host's "Scene end") shows at the next tick.
    Area(2).SetSceneEnd(9);
    rig.Tick();
    EXPECT_EQ(rig.Shown(54 + 19 + 18 * 9 - 1, 175 - 9), Rgb(kBar));
    EXPECT_EQ(rig.Shown(54 + 19 + 18 * 9 + 1, 175 - 9), Rgb(kBackground));
}

TEST_F(SceneStrip, PlayingCellBlinksSevenOfFourteenPaintsWhileScenesRun)
{
    Area(0).SetSceneEnabled(true);
    Area(0).NoteOn(60, 100, 0); // the area runs, but has not played yet
    view->SetScenesOn(true);
    ASSERT_TRUE(Area(0).IsRunning());
    ASSERT_FALSE(Area(0).IsPlaying());
    rig.Tick(); // paints with counter 0 ..
    int lit = 0;
    for (int i = 0; i < 14; ++i)
    {
        rig.Tick();
        lit += PlayingCellLit();
    }
    EXPECT_EQ(lit, 7);
}

TEST_F(SceneStrip, WithoutScenesTheCellStaysDarkAndTheViewIsNotRepainted)
{
    Area(0).NoteOn(60, 100, 0);
    rig.Tick(3);
    EXPECT_FALSE(PlayingCellLit());
    EXPECT_FALSE(view->NeedsRedraw());
    const int counter = view->GetBlinkCounter();
    rig.Tick(3);
    EXPECT_EQ(view->GetBlinkCounter(), counter); // no paint, no blink step
    view->SetScenesOn(true);
    EXPECT_TRUE(view->NeedsRedraw());
}

} // namespace
