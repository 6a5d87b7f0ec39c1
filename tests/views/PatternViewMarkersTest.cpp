// The note-marker table of the step grid: marking, releasing, clearing and fading by 2 per paint,
// what is drawn for a marker and the area repainted for it, and the marker lock under an audio
// thread that marks while the editor paints.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "engine/OutputNote.h"
#include "platform/win32/Win32.h"
#include "tests/views/ViewsEditorSupport.h"

using namespace quova::views_test;

namespace
{

constexpr IRectangle kGrid(24, 60, 24 + 769, 171);

class Markers : public ::testing::Test
{
protected:
    void SetUp() override
    {
        view = rig.Add(new PatternView(rig.plug.get(), kGrid, -1, rig.engine.get(),
                                       rig.Strip(kMarkerStripId, "images/markers.png", kMarkerFrames), {}, 30,
                                       0, &host));
        host.view = view;
    }
    StepNoteMarker M(int area, int step, int note) const { return view->GetMarker(area, step, note); }

    Rig rig;
    StepHost host;
    PatternView* view = nullptr;
};

TEST_F(Markers, SoundingMarkerIsListedOnceAndNeverFades)
{
    view->MarkNoteSounding(1, 4, 60);
    view->MarkNoteSounding(1, 4, 60);
    EXPECT_EQ(view->ActiveMarkerCount(), 1);
    for (int i = 0; i < 100; ++i)
        view->FadeNoteMarkers();
    EXPECT_EQ(M(1, 4, 60).state, StepNoteMarker::kSounding);
    EXPECT_EQ(M(1, 4, 60).fade, 0);
    EXPECT_EQ(view->ActiveMarkerCount(), 1);
}

TEST_F(Markers, ReleaseTurnsEveryEarlierStepOfTheNoteReleased)
{
    for (int s = 0; s < 8; ++s)
        view->MarkNoteSounding(0, s, 64);
    view->MarkNoteSounding(0, 3, 65);
    view->MarkNotesReleased(0, 5, 64);
    for (int s = 0; s <= 5; ++s)
        EXPECT_EQ(M(0, s, 64).state, StepNoteMarker::kReleased) << s;
    EXPECT_EQ(M(0, 6, 64).state, StepNoteMarker::kSounding);
    EXPECT_EQ(M(0, 3, 65).state, StepNoteMarker::kSounding);
    EXPECT_EQ(view->ActiveMarkerCount(), 9);
}

TEST_F(Markers, ASoundAfterAReleaseInTheSameFrameIsIgnoredButALaterOneRevives)
{
    view->MarkNoteSounding(2, 7, 30);
    view->MarkNotesReleased(2, 7, 30);
    view->MarkNoteSounding(2, 7, 30);
    EXPECT_EQ(M(2, 7, 30).state, StepNoteMarker::kReleased);
    view->FadeNoteMarkers();
    EXPECT_EQ(M(2, 7, 30).fade, 2);
    view->MarkNoteSounding(2, 7, 30);
    EXPECT_EQ(M(2, 7, 30).state, StepNoteMarker::kSounding);
    EXPECT_EQ(M(2, 7, 30).fade, 0);
    EXPECT_EQ(view->ActiveMarkerCount(), 1);
}

TEST_F(Markers, ReleasedMarkerFadesByTwoAndGoesAtTheSixtyFourthFrame)
{
    view->MarkNoteSounding(0, 0, 10);
    view->MarkNotesReleased(0, 0, 10);
    for (int i = 0; i < 63; ++i)
        view->FadeNoteMarkers();
    EXPECT_EQ(M(0, 0, 10).fade, 126);
    EXPECT_EQ(view->ActiveMarkerCount(), 1);
    view->FadeNoteMarkers();
    EXPECT_EQ(M(0, 0, 10).state, StepNoteMarker::kIdle);
    EXPECT_EQ(M(0, 0, 10).fade, 0);
    EXPECT_EQ(view->ActiveMarkerCount(), 0);
    // Idle again: a new sound lists it anew.
    view->MarkNoteSounding(0, 0, 10);
    EXPECT_EQ(view->ActiveMarkerCount(), 1);
}

TEST_F(Markers, ClearingAndChangingTheKeyAreaRemoveEveryMarker)
{
    view->MarkNoteSounding(0, 1, 1);
    view->MarkNoteSounding(3, 2, 2);
    view->MarkNotesReleased(3, 2, 2);
    view->ClearNoteMarkers();
    EXPECT_EQ(view->ActiveMarkerCount(), 0);
    EXPECT_EQ(M(3, 2, 2).state, StepNoteMarker::kIdle);

    view->MarkNoteSounding(1, 1, 1);
    view->SetKeyArea(2);
    EXPECT_EQ(view->ActiveMarkerCount(), 0);
    EXPECT_EQ(view->GetKeyArea(), 2);
}

TEST_F(Markers, EventsOutsideTheTableAreIgnored)
{
    view->MarkNoteSounding(4, 0, 0);
    view->MarkNoteSounding(-1, 0, 0);
    view->MarkNoteSounding(0, 32, 0);
    view->MarkNoteSounding(0, -1, 0);
    view->MarkNoteSounding(0, 0, 128);
    view->MarkNoteSounding(0, 0, -1);
    view->MarkNotesReleased(0, 40, 0);
    EXPECT_EQ(view->ActiveMarkerCount(), 0);
}

TEST_F(Markers, EngineRecordsAddressTheirAreaStepAndNote)
{
    OutputNote note;
    note.keyArea = 2;
    note.stepNumber = 9;
    note.note = 70;
    view->MarkNoteSounding(note);
    EXPECT_EQ(M(2, 9, 70).state, StepNoteMarker::kSounding);
    view->MarkNotesReleased(note);
    EXPECT_EQ(M(2, 9, 70).state, StepNoteMarker::kReleased);
}

TEST_F(Markers, FramesSpreadOverTheFade)
{
    EXPECT_EQ(view->MarkerFrame(0), 1);
    EXPECT_EQ(view->MarkerFrame(64), 15);
    EXPECT_EQ(view->MarkerFrame(126), 29);
    EXPECT_EQ(view->MarkerFrame(127), kMarkerFrames);
}

TEST_F(Markers, MarkerIsDrawnAtItsNoteAndFadesThroughTheStrip)
{
    ASSERT_NE(rig.Open(), nullptr);
    // Note 60: 107 - round(107 / 127 x 60) = 56 below the top; step 2 starts at x = 25 + 48.
    view->MarkNoteSounding(0, 2, 60);
    rig.Tick();
    EXPECT_EQ(rig.Shown(80, 60 + 56 + 4), Rgb(MarkerFrameColour(1)));
    EXPECT_EQ(rig.Shown(80, 60 + 56 + 8), Rgb(kBackground));
    // Note 127 at the top of the band, note 0 at its bottom.
    view->MarkNoteSounding(0, 3, 127);
    view->MarkNoteSounding(0, 4, 0);
    rig.Tick();
    EXPECT_EQ(rig.Shown(25 + 72 + 3, 60 + 1), Rgb(MarkerFrameColour(1)));
    EXPECT_EQ(rig.Shown(25 + 96 + 3, 60 + 107 + 7), Rgb(MarkerFrameColour(1)));

    view->MarkNotesReleased(0, 2, 60);
    rig.Tick(32); // fade 64
    EXPECT_EQ(rig.Shown(80, 60 + 56 + 4), Rgb(MarkerFrameColour(15)));
    rig.Tick(32); // gone, and painted over
    EXPECT_EQ(view->GetMarker(0, 2, 60).state, StepNoteMarker::kIdle);
    rig.Tick();
    EXPECT_EQ(rig.Shown(80, 60 + 56 + 4), Rgb(kBackground));
}

TEST_F(Markers, InvalidAreaShrinksToTheMarkersWhileNotesPlay)
{
    ASSERT_NE(rig.Open(), nullptr);
    rig.Tick();
    EXPECT_TRUE(view->GetInvalidRectangle().IsEmpty()); // nothing changed since the paint
    EXPECT_FALSE(view->NeedsRedraw());
    view->MarkNoteSounding(0, 2, 60);
    view->MarkNoteSounding(1, 20, 60); // another area: not shown
    // The new marker {73, 116, 94, 124} and the playing-step mark of step 0 {25, 60, 46, 64}, in
    // whole columns (a bar lane without hover has no texts to keep whole: the rows suffice).
    EXPECT_EQ(view->GetInvalidRectangle(), IRectangle(24, 60, 94, 124));
    rig.Tick();
    EXPECT_TRUE(view->GetInvalidRectangle().IsEmpty()); // a sounding marker stays as painted
    view->MarkNotesReleased(0, 2, 60);
    EXPECT_EQ(view->GetInvalidRectangle(), IRectangle(70, 116, 94, 124)); // fading: its column
    view->SetLane(0); // the order lane's cells carry texts: from the bracket to the lowest marker
    rig.Tick();
    view->MarkNotesReleased(0, 2, 60);
    EXPECT_EQ(view->GetInvalidRectangle(), IRectangle(70, 57, 94, 175));
    // The whole view, with the rows that bars and markers reach under the grid and the controller
    // lanes' dots at their fixed places of the editor.
    view->MarkChanged(false);
    EXPECT_EQ(view->GetInvalidRectangle(), IRectangle(24, 6, 805, 259));
}

// The audio thread may light a marker between the editor's collecting pass and its paint: the
// paint draws what the pass reported (the new marker lies between two reported columns, inside the
// painted area but outside what is sent), and the next pass reports the new marker.
TEST_F(Markers, AMarkerLitBetweenTheCollectingPassAndThePaintShowsAfterTheNextPass)
{
    ASSERT_NE(rig.Open(), nullptr);
    rig.Tick();
    view->MarkNoteSounding(0, 2, 60);
    view->MarkNoteSounding(0, 20, 60);
    IRectangle area;
    std::vector<IRectangle> parts;
    ASSERT_TRUE(rig.editor->CollectChangedArea(&area, &parts));
    for (const IRectangle& part : parts)
    {
        const RECT r{part.left, part.top, part.right, part.bottom};
        InvalidateRect(rig.window, &r, FALSE);
    }
    view->MarkNoteSounding(0, 11, 60);
    UpdateWindow(rig.window);
    const IRectangle lit = view->MarkerBox(M(0, 11, 60));
    EXPECT_EQ(rig.Shown(lit.left + 3, lit.top + 4), Rgb(kBackground));
    EXPECT_EQ(view->GetInvalidRectangle().Intersect(lit), lit);
    rig.Tick();
    EXPECT_EQ(rig.Shown(lit.left + 3, lit.top + 4), Rgb(MarkerFrameColour(1)));
}

TEST_F(Markers, AudioThreadMarksWhileTheEditorFadesAndReads)
{
    std::atomic<bool> done{false};
    std::atomic<bool> editorRunning{false};
    std::thread audio(
        [&]
        {
            // The two threads must overlap: the audio side starts once the editor loop has begun.
            while (!editorRunning)
                std::this_thread::yield();
            for (int i = 0; i < 20000; ++i)
            {
                const int step = i % 32;
                const int note = (i * 7) % 128;
                view->MarkNoteSounding(i % 4, step, note);
                if (i % 3 == 0) view->MarkNotesReleased(i % 4, step, note);
                if (i % 5000 == 4999) view->ClearNoteMarkers();
            }
            done = true;
        });
    int reads = 0;
    do
    {
        editorRunning = true;
        view->FadeNoteMarkers();
        (void)view->GetInvalidRectangle();
        reads += view->ActiveMarkerCount() >= 0;
    } while (!done);
    audio.join();
    EXPECT_GT(reads, 0);
    int listed = 0;
    for (int a = 0; a < 4; ++a)
        for (int s = 0; s < 32; ++s)
            for (int n = 0; n < 128; ++n)
                listed += view->GetMarker(a, s, n).state != StepNoteMarker::kIdle;
    EXPECT_EQ(listed, view->ActiveMarkerCount());
}

} // namespace
