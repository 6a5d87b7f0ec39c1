// Redrawing: the timer collecting changed controls, painting them into the window, the strict and
// the lazy paint modes, image strips and frames, the caches, and text.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <thread>

#include "graphics/CachedFont.h"
#include "graphics/DibBitmap.h"
#include "gui/IBitmapControl.h"
#include "gui/IGraphics.h"
#include "platform/win32/Win32.h"
#include "tests/gui/EditorTestSupport.h"

namespace
{

struct ChangeCounter : IObserverInterface
{
    void OnSubjectChanged(ISubject*) override { ++changes; }
    void OnSubjectMouseEvent(ISubject*, int, int, int, const IMouseModifiers&) override {}
    int changes = 0;
};

// A control whose painting the test supplies.
struct Painter : IControl
{
    Painter(IEffectBase* plug, const IRectangle& rect,
            std::function<void(IGraphics*, const IRectangle&)> paint)
        : IControl(plug, rect), paint_(std::move(paint))
    {
    }
    bool Paint(IGraphics* graphics) override
    {
        paint_(graphics, GetRect());
        return true;
    }
    std::function<void(IGraphics*, const IRectangle&)> paint_;
};

// True when another thread cannot take the plug lock now (this thread, or another, holds it).
bool PlugLockHeld(IEffectBase* plug)
{
    bool taken = false;
    std::thread other(
        [&]
        {
            taken = plug->GetLock().TryEnter();
            if (taken) plug->GetLock().Leave();
        });
    other.join();
    return !taken;
}

// A control that paints from a copy of `source`, noting whether the plug lock was held when it
// copied and when it painted.
struct Copier : IControl
{
    Copier(IEffectBase* plug, const IRectangle& rect) : IControl(plug, rect) { SetCapturesModel(true); }
    void CaptureModel() override
    {
        ++copies;
        copy = source;
        lockedAtCopy = PlugLockHeld(GetPlug());
    }
    bool Paint(IGraphics* graphics) override
    {
        painted = copy;
        lockedAtPaint = PlugLockHeld(GetPlug());
        graphics->PaintRectangle(IColorARGB(255, copy, 0, 0), GetRect());
        return true;
    }
    int source = 0;
    int copy = -1;
    int painted = -1;
    int copies = 0;
    bool lockedAtCopy = false;
    bool lockedAtPaint = true;
};

// A decoder that counts what the cache asks of it.
struct CountingEditor : IEditorWindow
{
    using IEditorWindow::IEditorWindow;
    RasterBitmap* DecodeBitmapResource(int id, const char* name) override
    {
        ++decodes;
        return IEditorWindow::DecodeBitmapResource(id, name);
    }
    int decodes = 0;
};

} // namespace

TEST(EditorPaint, ATimerTickPaintsAChangedControlTwiceAndThenLeavesIt)
{
    EditorRig rig;
    Swatch* swatch = rig.Add(new Swatch(rig.plug.get(), {10, 10, 20, 20}, EditorTestPlug::kSwitch));
    ASSERT_NE(rig.Open(), nullptr);
    EXPECT_EQ(rig.Shown(10, 10), Rgb(swatch->off));
    EXPECT_EQ(rig.Shown(20, 20), kBackgroundColour & 0xFFFFFF);
    rig.Tick(2); // the opening marked everything changed; let that settle
    const int paints = swatch->paints;

    swatch->SetValueByUser(1.0);
    rig.driver.AdvanceTime(20); // before the tick nothing is shown
    EXPECT_EQ(rig.Shown(15, 15), Rgb(swatch->off));
    rig.driver.AdvanceTime(13);
    EXPECT_EQ(rig.Shown(15, 15), Rgb(swatch->on));
    EXPECT_EQ(rig.Shown(19, 19), Rgb(swatch->on));
    EXPECT_EQ(rig.Shown(20, 15), kBackgroundColour & 0xFFFFFF);
    EXPECT_EQ(swatch->paints, paints + 1);
    rig.Tick();
    EXPECT_EQ(swatch->paints, paints + 2) << "a value change paints on two successive ticks";
    rig.Tick(3);
    EXPECT_EQ(swatch->paints, paints + 2);
}

TEST(EditorPaint, ControlsThatPaintFromACopyTakeItUnderThePlugLockJustBeforeEachPaint)
{
    EditorRig rig;
    Copier* copier = rig.Add(new Copier(rig.plug.get(), {10, 10, 20, 20}));
    Copier* hidden = rig.Add(new Copier(rig.plug.get(), {30, 10, 40, 20}));
    hidden->Hide(true);
    copier->source = 40;
    ASSERT_NE(rig.Open(), nullptr);
    EXPECT_EQ(copier->painted, 40) << "the first paint shows a copy taken for it";
    EXPECT_EQ(rig.Shown(15, 15), 0x280000u);
    EXPECT_TRUE(copier->lockedAtCopy);
    EXPECT_FALSE(copier->lockedAtPaint) << "painting runs without the plug lock";
    EXPECT_EQ(hidden->copies, 0) << "a control that is not painted copies nothing";

    rig.Tick(2);
    copier->source = 90;
    const int copies = copier->copies;
    rig.Tick();
    EXPECT_EQ(copier->copies, copies) << "no paint, no copy";
    copier->MarkChanged(false);
    rig.Tick();
    EXPECT_EQ(copier->copies, copies + 1);
    EXPECT_EQ(copier->painted, 90);
    EXPECT_EQ(rig.Shown(15, 15), 0x5A0000u);

    // Shown by the program: its first paint has a copy of its own.
    hidden->source = 7;
    hidden->Hide(false);
    rig.Tick();
    EXPECT_EQ(hidden->painted, 7);
}

TEST(EditorPaint, TwoChangedControlsGiveOneInvalidRectangleAndTellTheirObserversOnce)
{
    EditorRig rig;
    Swatch* a = rig.Add(new Swatch(rig.plug.get(), {5, 6, 10, 12}));
    Swatch* b = rig.Add(new Swatch(rig.plug.get(), {30, 20, 40, 25}));
    Swatch* quiet = rig.Add(new Swatch(rig.plug.get(), {50, 30, 55, 35}));
    ChangeCounter counterA, counterQuiet;
    a->AttachObserver(&counterA);
    quiet->AttachObserver(&counterQuiet);
    quiet->MarkDrawn();
    a->MarkChanged(false);
    b->MarkChanged(false);

    IRectangle area;
    EXPECT_TRUE(rig.editor->CollectChangedArea(&area));
    EXPECT_EQ(area, IRectangle(5, 6, 40, 25));
    EXPECT_EQ(counterA.changes, 1);
    EXPECT_EQ(counterQuiet.changes, 0);
    IRectangle again;
    rig.editor->CollectChangedArea(&again);
    EXPECT_EQ(counterA.changes, 1) << "told once per change";

    a->MarkDrawn();
    b->MarkDrawn();
    IRectangle none;
    EXPECT_FALSE(rig.editor->CollectChangedArea(&none));
    EXPECT_TRUE(none.IsEmpty());
}

TEST(EditorPaint, HiddenControlsAreNeitherCollectedNorPaintedUnlessTheyAskToBeWatched)
{
    EditorRig rig;
    Swatch* hidden = rig.Add(new Swatch(rig.plug.get(), {10, 10, 20, 20}));
    Swatch* watched = rig.Add(new Swatch(rig.plug.get(), {30, 10, 40, 20}));
    ChangeCounter hiddenCounter, watchedCounter;
    hidden->AttachObserver(&hiddenCounter);
    watched->AttachObserver(&watchedCounter);
    watched->SetNotifyWhenHidden(true);
    hidden->Hide(true);
    watched->Hide(true);
    ASSERT_NE(rig.Open(), nullptr);
    EXPECT_EQ(rig.Shown(15, 15), kBackgroundColour & 0xFFFFFF);
    rig.Tick();
    EXPECT_EQ(hiddenCounter.changes, 0);
    EXPECT_EQ(watchedCounter.changes, 1);
    EXPECT_EQ(hidden->paints, 0);
    EXPECT_EQ(watched->paints, 0);

    hidden->Hide(false);
    rig.Tick();
    EXPECT_EQ(rig.Shown(15, 15), Rgb(hidden->off));
}

TEST(EditorPaint, StrictPaintRepaintsEverythingOverTheChangedArea)
{
    EditorRig rig;
    Swatch* below = rig.Add(new Swatch(rig.plug.get(), {10, 10, 30, 30}, EditorTestPlug::kSwitch));
    Swatch* above = rig.Add(new Swatch(rig.plug.get(), {20, 20, 40, 40}, -1, {255, 0, 128, 0}));
    ASSERT_NE(rig.Open(), nullptr);
    rig.Tick(2);
    below->SetValueByUser(1.0);
    rig.Tick();
    EXPECT_EQ(rig.Shown(12, 12), Rgb(below->on));
    EXPECT_EQ(rig.Shown(25, 25), Rgb(above->off)) << "the later control stays on top";
}

TEST(EditorPaint, LazyPaintRepaintsOnlyTheDirtyControlAndWhatLiesUnderIt)
{
    EditorRig rig;
    Swatch* left = rig.Add(new Swatch(rig.plug.get(), {5, 5, 15, 15}));
    Swatch* right = rig.Add(new Swatch(rig.plug.get(), {30, 5, 40, 15}));
    ASSERT_NE(rig.Open(), nullptr);
    rig.editor->SetStrictPaint(false); // marks everything, the background too
    rig.Tick();
    EXPECT_FALSE(rig.editor->GetControl(0)->NeedsRedraw());
    const int leftPaints = left->paints;
    const int rightPaints = right->paints;
    left->off = {255, 200, 0, 200};
    left->MarkChanged(false);
    rig.Tick();
    EXPECT_EQ(left->paints, leftPaints + 1);
    EXPECT_EQ(right->paints, rightPaints);
    EXPECT_EQ(rig.Shown(10, 10), Rgb(left->off));
}

TEST(EditorPaint, ImageStripsShowTheFrameOfTheValue)
{
    EditorRig rig;
    const IBitmapStrip strip = rig.editor->LoadBitmapResource(102, "images/strip.png", 5);
    ASSERT_NE(strip.bitmap, nullptr);
    EXPECT_EQ(strip.width, 10);
    EXPECT_EQ(strip.height, 50);
    EXPECT_EQ(strip.frames, 5);
    EXPECT_FALSE(strip.framesSideBySide);
    auto* image = rig.Add(new IBitmapControl(rig.plug.get(), 20, 10, EditorTestPlug::kGain, strip));
    EXPECT_EQ(image->GetRect(), IRectangle(20, 10, 30, 20));
    ASSERT_NE(rig.Open(), nullptr);
    // Gain starts at 0.25: (5 - 1) x 0.25 = 1, frame 2.
    EXPECT_EQ(rig.Shown(25, 15), StripFrameColour(2) & 0xFFFFFF);
    image->SetValueByUser(0.5); // frame 3: drawn from y = 20
    rig.Tick();
    EXPECT_EQ(rig.Shown(20, 10), StripFrameColour(3) & 0xFFFFFF);
    EXPECT_EQ(rig.Shown(29, 19), StripFrameColour(3) & 0xFFFFFF);
    image->SetValueByUser(0.9); // 3.6 goes to 4: frame 5
    rig.Tick();
    EXPECT_EQ(rig.Shown(25, 15), StripFrameColour(5) & 0xFFFFFF);
    image->SetValueByUser(0.0);
    rig.Tick();
    EXPECT_EQ(rig.Shown(25, 15), StripFrameColour(1) & 0xFFFFFF);
}

TEST(EditorPaint, BitmapDrawingIsClippedToThePaintedArea)
{
    EditorRig rig;
    const IBitmapStrip strip = rig.editor->LoadBitmapResource(102, "images/strip.png", 5);
    auto* image = rig.Add(new IBitmapControl(rig.plug.get(), 20, 10, -1, strip));
    ASSERT_NE(rig.Open(), nullptr);
    ASSERT_NE(rig.editor->GetDrawingBitmap(), nullptr);
    rig.editor->PaintArea(IRectangle(0, 0, 25, 15)); // a corner of the image only
    EXPECT_EQ(rig.editor->GetPaintClip(), IRectangle(0, 0, 25, 15));
    // Paint the frame 5 into an area that leaves the image's right part out.
    EXPECT_TRUE(rig.editor->DrawBitmapFrame(strip, image->GetRect(), 5));
    EXPECT_EQ(rig.editor->GetPixelColor(24, 14), StripFrameColour(5));
    EXPECT_EQ(rig.editor->GetPixelColor(25, 14), StripFrameColour(1)) << "outside the clip: untouched";
    EXPECT_EQ(rig.editor->GetPixelColor(24, 15), StripFrameColour(1));
}

TEST(EditorPaint, ImagesAreDecodedOncePerProcessAndMissingOnesAreNotCached)
{
    EditorRig rig;
    EditorTestPlug otherPlug;
    auto* other = new CountingEditor(&otherPlug, 30, 20, 30);
    other->SetInstance(EditorTestModule());
    otherPlug.AttachEditor(other);
    const int cached = IGraphics::CachedBitmapCount(); // the rig's background

    const IBitmapStrip first = other->LoadBitmapResource(103, "images/small.png");
    const IBitmapStrip second = rig.editor->LoadBitmapResource(103, "images/small.png");
    EXPECT_EQ(other->decodes, 1);
    EXPECT_EQ(first.bitmap, second.bitmap) << "every editor shares the decoded image";
    EXPECT_EQ(second.width, 4);
    EXPECT_EQ(IGraphics::CachedBitmapCount(), cached + 1);

    for (int attempt = 0; attempt < 2; ++attempt)
    {
        const IBitmapStrip missing = other->LoadBitmapResource(999, "images/missing.png", 3);
        EXPECT_EQ(missing.bitmap, nullptr);
        EXPECT_EQ(missing.width, 0);
        EXPECT_EQ(missing.frames, 3);
    }
    EXPECT_EQ(other->decodes, 3) << "a missing image is looked for again";
    EXPECT_EQ(other->LoadBitmapResource(150, "images/broken.png").bitmap, nullptr) << "not a PNG image";
    EXPECT_EQ(other->DecodeBitmapResource(102, "images/strip.bmp"), nullptr) << "only .png names are decoded";
    RasterBitmap* upper = other->DecodeBitmapResource(102, "STRIP.PNG");
    EXPECT_NE(upper, nullptr);
    delete upper;
    EXPECT_EQ(IGraphics::CachedBitmapCount(), cached + 1);

    // Drawing an empty strip draws nothing.
    EXPECT_FALSE(rig.editor->DrawBitmapFrame(IBitmapStrip(), IRectangle(0, 0, 10, 10), 1));
}

TEST(EditorPaint, TextResourcesComeBackZeroTerminated)
{
    EditorRig rig;
    const char* text = rig.editor->LoadTextResource(200, "misc/text.txt");
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "first line\nsecond line\n");
    EXPECT_EQ(rig.editor->LoadTextResource(201, "misc/none.txt"), nullptr);
    EXPECT_EQ(rig.editor->LoadTextResource(101, "images/background.png"), nullptr) << "an image is no text";
}

TEST(EditorPaint, TextIsMeasuredByAlignmentAndDrawnInTheStylesColour)
{
    EditorRig rig;
    ITextStyle style("Verdana", 12, IColorARGB(255, 255, 255, 255));
    style.alignment = ITextStyle::kAlignLeft;
    IRectangle left(10, 5, 50, 30);
    ASSERT_TRUE(rig.editor->MeasureStyledText(&style, "Hello", &left));
    const int w = left.Width();
    const int h = left.Height();
    EXPECT_GT(w, 10);
    EXPECT_GT(h, 5);
    EXPECT_EQ(left.left, 10);
    EXPECT_EQ(left.top, 5);

    ITextStyle centred = style;
    centred.alignment = ITextStyle::kAlignCentre;
    IRectangle middle(10, 5, 51, 30); // centre 30.5, truncated to 30
    rig.editor->MeasureStyledText(&centred, "Hello", &middle);
    EXPECT_EQ(middle.left, 30 - w / 2);
    EXPECT_EQ(middle.right, middle.left + w);

    ITextStyle right = style;
    right.alignment = ITextStyle::kAlignRight;
    IRectangle end(10, 5, 50, 30);
    rig.editor->MeasureStyledText(&right, "Hello", &end);
    EXPECT_EQ(end.right, 50);
    EXPECT_EQ(end.left, 50 - w);
    EXPECT_EQ(IGraphics::CachedFontCount(), 1) << "same face, size, style and orientation share one font";
    EXPECT_EQ(centred.font, style.font);

    // Drawing: white text on the dark background leaves bright pixels inside the text's box.
    IRectangle box(10, 5, 50, 30);
    ASSERT_TRUE(rig.editor->DrawStyledText(&style, "Hello", &box));
    int bright = 0;
    for (int y = 5; y < 5 + h; ++y)
    {
        for (int x = 10; x < 10 + w; ++x)
            bright += (rig.editor->GetPixelColor(x, y) & 0xFF) > 0x80;
    }
    EXPECT_GT(bright, 10);
    EXPECT_TRUE(rig.editor->DrawStyledText(&style, "", &box)) << "an empty text draws nothing, successfully";
}

TEST(EditorPaint, FillsAndOutlinesLandOnTheRightPixels)
{
    EditorRig rig;
    const IColorARGB red(255, 255, 0, 0);
    const IColorARGB green(255, 0, 255, 0);
    rig.Add(new Painter(rig.plug.get(), {10, 10, 20, 20},
                        [&](IGraphics* g, const IRectangle& r)
                        {
                            g->PaintRectangle(red, r);
                            g->DrawRectangleOutline(green, IRectangle(30, 10, 40, 20));
                            g->DrawVerticalLine(green, 45, 10, 12);
                        }));
    ASSERT_NE(rig.Open(), nullptr);
    EXPECT_EQ(rig.editor->GetPixelColor(10, 10), red.ToWord());
    EXPECT_EQ(rig.editor->GetPixelColor(19, 19), red.ToWord());
    EXPECT_EQ(rig.editor->GetPixelColor(20, 20), kBackgroundColour);
    // The outline runs on the exclusive right and bottom coordinates.
    EXPECT_EQ(rig.editor->GetPixelColor(40, 20), green.ToWord());
    EXPECT_EQ(rig.editor->GetPixelColor(35, 20), green.ToWord());
    EXPECT_EQ(rig.editor->GetPixelColor(35, 15), kBackgroundColour);
    EXPECT_EQ(rig.editor->GetPixelColor(45, 12), green.ToWord());
    EXPECT_EQ(rig.editor->GetPixelColor(45, 13), kBackgroundColour);
}

TEST(EditorPaint, AnEditorWithoutControlsStillValidatesItsWindow)
{
    quova::testing::PlatformDriver driver;
    HWND frame = driver.CreateHostFrame(100, 100);
    EditorTestPlug plug;
    auto* editor = new IEditorWindow(&plug, 40, 30, 30);
    plug.AttachEditor(editor);
    HWND window = static_cast<HWND>(editor->OpenEditorWindow(frame));
    ASSERT_NE(window, nullptr);
    driver.Pump();
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(window, &update, FALSE))
        << "painted and validated, so no endless paint messages";
}

TEST(EditorPaint, ShapesAndRotatedImagesDrawIntoTheDrawingBitmap)
{
    EditorRig rig; // attached, so the drawing bitmap exists; the window need not be open
    IGraphics* g = rig.editor;
    const IColorARGB white(255, 255, 255, 255);
    const uint32_t kWhite = white.ToWord();
    g->PaintRectangle(IColorARGB(255, 0, 0, 0), IRectangle(0, 0, kEditorWidth, kEditorHeight));

    g->PaintCircle(white, 10, 10, 5);
    EXPECT_EQ(g->GetPixelColor(10, 10), kWhite);
    EXPECT_EQ(g->GetPixelColor(10, 14), kWhite);
    EXPECT_NE(g->GetPixelColor(10, 17), kWhite);
    g->DrawCircle(white, 30, 10, 6);
    EXPECT_EQ(g->GetPixelColor(30, 4), kWhite) << "the outline's top point";
    EXPECT_NE(g->GetPixelColor(30, 10), kWhite) << "an outline leaves the centre";

    g->PaintTriangle(white, 40, 2, 58, 2, 40, 20);
    EXPECT_EQ(g->GetPixelColor(42, 4), kWhite);
    EXPECT_NE(g->GetPixelColor(56, 18), kWhite);
    const int xs[] = {2, 12, 12, 2};
    const int ys[] = {25, 25, 35, 35};
    EXPECT_TRUE(g->PaintConvexPolygon(white, xs, ys, 4));
    EXPECT_EQ(g->GetPixelColor(7, 30), kWhite);
    EXPECT_FALSE(g->PaintConvexPolygon(white, xs, ys, 2)) << "fewer than three vertices";

    g->PaintRoundRectangle(white, IRectangle(20, 22, 40, 38), 6);
    EXPECT_EQ(g->GetPixelColor(30, 30), kWhite);
    EXPECT_EQ(g->GetPixelColor(30, 22), kWhite);
    EXPECT_EQ(g->GetPixelColor(20, 30), kWhite);
    EXPECT_NE(g->GetPixelColor(20, 22), kWhite) << "the corner is rounded off";
    EXPECT_NE(g->GetPixelColor(39, 37), kWhite);

    const IBitmapStrip strip = g->LoadBitmapResource(102, "images/strip.png", 5);
    EXPECT_TRUE(g->PaintRotatedBitmap(strip, 50, 30, 3.14159265f));
    EXPECT_EQ(g->GetPixelColor(50, 30), StripFrameColour(1)) << "frame 1, turned about its centre";
    EXPECT_NE(g->GetPixelColor(50, 22), StripFrameColour(1)) << "one frame, not the whole strip";
}

TEST(EditorPaint, AControlTouchingTheAreasRightEdgeIsRepaintedButNotOneTouchingItsLeft)
{
    EditorRig rig;
    Swatch* leftNeighbour = rig.Add(new Swatch(rig.plug.get(), {10, 0, 20, 10}));
    Swatch* rightNeighbour = rig.Add(new Swatch(rig.plug.get(), {30, 0, 40, 10}));
    Swatch* inside = rig.Add(new Swatch(rig.plug.get(), {22, 2, 28, 8}));
    ASSERT_NE(rig.Open(), nullptr);
    const int left = leftNeighbour->paints, right = rightNeighbour->paints, in = inside->paints;
    rig.editor->PaintArea(IRectangle(20, 0, 30, 10));
    EXPECT_EQ(leftNeighbour->paints, left);
    EXPECT_EQ(rightNeighbour->paints, right + 1);
    EXPECT_EQ(inside->paints, in + 1);
}
