// The plug-in's editor repainting what changed: closed boxes leave what lies below them, and the
// changed set paints exactly what the reference path (every control visited) paints over scripted
// sessions of host changes, notes, clicks and state reads.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "PluginTestSupport.h"
#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"
#include "engine/Random.h"
#include "framework/IParameter.h"
#include "graphics/DibBitmap.h"
#include "gui/IGraphics.h"
#include "platform/testing/PlatformDriver.h"
#include "views/InfoControl.h"
#include "views/ParameterIndex.h"
#include "views/PatternView.h"
#include "views/SettingsControl.h"

namespace
{

using namespace quova::param;
using quova::test::FakeHost;
using quova::test::TempDataFolder;

// The editor's drawing bitmap as rows of pixels.
std::vector<uint32_t> Drawing(IGraphics& editor)
{
    const DibBitmap* bitmap = editor.GetDrawingBitmap();
    std::vector<uint32_t> pixels;
    for (int y = 0; y < bitmap->Height(); ++y)
    {
        const RasterPixel* row =
            const_cast<DibBitmap*>(bitmap)->Pixels() + static_cast<ptrdiff_t>(y) * bitmap->RowSpan();
        pixels.insert(pixels.end(), row, row + bitmap->Width());
    }
    return pixels;
}

// Pixels of rect that differ between two drawings of an editor width wide.
int Differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int width,
              const IRectangle& rect)
{
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
        {
            const size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
            count += a[i] != b[i];
        }
    return count;
}

class EditorRedraw : public ::testing::Test
{
protected:
    struct Instance
    {
        std::unique_ptr<Tobel> plug;
        IGraphics& Editor() { return *plug->GetGraphics(); }
    };

    // A plug-in with its editor open in a host frame of its own.
    Instance OpenInstance(int screenX)
    {
        Instance instance;
        instance.plug = std::make_unique<Tobel>(&FakeHost::Callback);
        instance.plug->ChangeBlockSize(512);
        HWND frame = driver.CreateHostFrame(1040, 605, screenX, 20);
        AEffect* effect = instance.plug->GetEffect();
        EXPECT_EQ(effect->dispatcher(effect, vst::effEditOpen, 0, 0, frame, 0.0f), 1);
        driver.Pump();
        return instance;
    }
    void Tick(int ticks = 1) { driver.AdvanceTime(static_cast<uint32_t>(ticks * (1000 / 30 + 1))); }

    quova::testing::PlatformDriver driver;
    TempDataFolder data;
    FakeHost host;
};

TEST_F(EditorRedraw, ClosedBoxesLeaveThePixelsOfWhatLiesBelowThem)
{
    Instance instance = OpenInstance(20);
    Tobel& plug = *instance.plug;
    IGraphics& editor = instance.Editor();
    Tick(3);
    const std::vector<uint32_t> before = Drawing(editor);

    struct Box
    {
        const char* name;
        IControl* control;
        int button;
    };
    for (const Box& box : {Box{"settings box", plug.GetSettingsBox(), kBoxSettings},
                           Box{"information box", plug.GetInfoBox(), kBoxInfo}})
    {
        SCOPED_TRACE(box.name);
        plug.ApplyParameter(box.button, 1.0);
        plug.ApplyParameter(box.button, 0.0);
        Tick(3); // a measuring pass, then the drawing pass
        ASSERT_FALSE(box.control->IsHidden());
        const IRectangle shown = box.control->GetRect();
        ASSERT_GT(Differing(before, Drawing(editor), editor.Width(), shown), 0) << "the open box is drawn";

        plug.ApplyParameter(box.button, 1.0);
        plug.ApplyParameter(box.button, 0.0);
        ASSERT_TRUE(box.control->IsHidden());
        Tick(3);
        EXPECT_EQ(Differing(before, Drawing(editor), editor.Width(), shown), 0) << "the closed box is erased";
    }
}

// Both instances take the same step; the editors are ticked by hand so that the invalidated area
// of each tick can be compared.
TEST_F(EditorRedraw, TheChangedSetPaintsWhatTheFullScanPaints)
{
    Instance reference = OpenInstance(20);
    Instance fast = OpenInstance(60);
    reference.Editor().SetFullScan(true);
    Instance* both[] = {&reference, &fast};
    const std::vector<uint8_t> startState = quova::test::StateBytes(*reference.plug);

    for (int seed = 1; seed <= 3; ++seed)
    {
        std::mt19937 random(static_cast<unsigned>(seed));
        auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        for (int step = 0; step < 40; ++step)
        {
            const int kind = pick(7);
            const int index = pick(kHostVisibleCount);
            const float value = static_cast<float>(pick(9)) / 8.0f;
            const int x = pick(1000);
            const int y = pick(565);
            const int note = 48 + pick(24);
            const int box = pick(2) == 0 ? kBoxSettings : kBoxInfo;
            for (Instance* instance : both)
            {
                // The "Random" note choice draws from one source per process: each instance draws alike.
                quova::SeedRandomEngine(static_cast<uint32_t>(seed * 1000 + step));
                Tobel& plug = *instance->plug;
                AEffect* effect = plug.GetEffect();
                switch (kind)
                {
                case 0: // host automation
                    effect->setParameter(effect, index, value);
                    break;
                case 1:
                { // a click of the user
                    IMouseModifiers left;
                    left.left = true;
                    instance->Editor().DispatchMouseDown(x, y, left);
                    instance->Editor().DispatchMouseUp(x, y, left);
                    break;
                }
                case 2: // a note and a few blocks: markers, hold switches, pattern switches
                    plug.HandleMidiMessage(IMidiMessage(0, 0x90, static_cast<uint8_t>(note), 100));
                    for (int b = 0; b < 4; ++b)
                    {
                        double left[512] = {}, right[512] = {};
                        double* outputs[2] = {left, right};
                        plug.ProcessAudioBlock(nullptr, outputs, 512);
                    }
                    plug.HandleMidiMessage(IMidiMessage(0, 0x80, static_cast<uint8_t>(note), 0));
                    break;
                case 3: // the boxes
                    plug.ApplyParameter(box, 1.0);
                    break;
                case 4: // a state read
                    quova::test::ReadBytes(plug, startState);
                    break;
                default: // nothing new
                    break;
                }
            }
            host.midi.clear();
            IRectangle areas[2];
            bool changed[2] = {false, false};
            for (int i = 0; i < 2; ++i)
            {
                changed[i] = both[i]->Editor().CollectChangedArea(&areas[i]);
                if (changed[i]) both[i]->Editor().PaintArea(areas[i]);
            }
            ASSERT_EQ(changed[0], changed[1]) << "seed " << seed << " step " << step;
            ASSERT_EQ(areas[0], areas[1]) << "seed " << seed << " step " << step << " kind " << kind;
            ASSERT_TRUE(Drawing(reference.Editor()) == Drawing(fast.Editor()))
                << "seed " << seed << " step " << step;
        }
    }
}

// While a chord plays, each tick repaints only what changed, and the editor then shows what a
// repaint of the whole editor shows: the playing-step mark moves without leaving marks behind, one
// at a time on the column the shown lane's looper plays (which runs over the lane's own range, here
// also past the pattern's length), and a moved loop range is shaded over the whole grid height.
TEST_F(EditorRedraw, WhileNotesPlayEachTickShowsWhatAWholeRepaintShows)
{
    Instance fast = OpenInstance(20);
    Instance whole = OpenInstance(60);
    Instance* both[] = {&fast, &whole};
    const PatternView& view = *fast.plug->GetPatternView();
    const IRectangle grid = view.GetRect();
    const int width = fast.Editor().Width();
    const IRectangle everything(0, 0, width, fast.Editor().Height());
    const auto stepper = [](Instance* instance) -> PatternStepper&
    { return instance->plug->GetEngineHost().GetKeyAreas()->GetArea(0)->GetStepper(); };
    const auto looper = [&](Instance* instance)
    { return stepper(instance).GetLaneLooper(view.GetPattern(), view.GetLane()); };
    constexpr int kLength = 28;
    for (Instance* instance : both)
    {
        ASSERT_TRUE(stepper(instance).SetPatternLength(view.GetPattern(), kLength));
        looper(instance)->SetLoopRange(14, 32);
        instance->Editor().CollectChangedArea(nullptr);
        instance->Editor().PaintArea(everything);
    }
    const std::vector<uint32_t> unmarked = Drawing(whole.Editor());
    ASSERT_TRUE(Drawing(fast.Editor()) == unmarked);
    for (Instance* instance : both)
        for (const uint8_t note : {48, 52, 55})
            instance->plug->HandleMidiMessage(IMidiMessage(0, 0x90, note, 100));

    int marksSeen = 0;
    int pastLength = 0;   // marks on columns past the pattern's length
    int partialTicks = 0; // ticks that repainted less than the grid's width
    for (int tick = 0; tick < 160; ++tick)
    {
        for (Instance* instance : both)
        {
            // About a tick's worth of blocks at 44.1 kHz.
            for (int b = 0; b < 3; ++b)
            {
                double left[512] = {}, right[512] = {};
                double* outputs[2] = {left, right};
                instance->plug->ProcessAudioBlock(nullptr, outputs, 512);
            }
            if (tick == 100) looper(instance)->SetLoopRange(4, 20);
            if (tick == 130) looper(instance)->SetLoopRange(0, 12);
        }
        host.midi.clear();
        IRectangle area;
        if (fast.Editor().CollectChangedArea(&area)) fast.Editor().PaintArea(area);
        partialTicks += area.Width() > 0 && area.Width() < grid.Width();
        whole.Editor().CollectChangedArea(nullptr);
        whole.Editor().PaintArea(everything);
        const std::vector<uint32_t> shown = Drawing(whole.Editor());
        ASSERT_TRUE(Drawing(fast.Editor()) == shown) << "tick " << tick;
        if (tick >= 100) continue;
        // The mark row at the top of the grid, against the drawing without a mark.
        int marks = 0;
        for (int c = 0; c < PatternView::kColumns; ++c)
        {
            const size_t i = static_cast<size_t>(grid.top + 1) * static_cast<size_t>(width) +
                             static_cast<size_t>(grid.left + 1 + PatternView::kColumnWidth * c + 10);
            if (shown[i] == unmarked[i]) continue;
            ++marks;
            EXPECT_EQ(c, looper(&whole)->Position()) << "tick " << tick;
            pastLength += c >= kLength;
        }
        EXPECT_LE(marks, 1) << "tick " << tick;
        marksSeen += marks;
    }
    EXPECT_GT(marksSeen, 50);
    EXPECT_GT(pastLength, 5);
    EXPECT_GT(partialTicks, 50);

    // Once the chord is released and its markers have faded, a tick finds nothing to repaint.
    for (const uint8_t note : {48, 52, 55})
        fast.plug->HandleMidiMessage(IMidiMessage(0, 0x80, note, 0));
    for (int tick = 0; tick < 100; ++tick)
    {
        double left[512] = {}, right[512] = {};
        double* outputs[2] = {left, right};
        fast.plug->ProcessAudioBlock(nullptr, outputs, 512);
        IRectangle area;
        if (fast.Editor().CollectChangedArea(&area)) fast.Editor().PaintArea(area);
    }
    host.midi.clear();
    IRectangle idle;
    EXPECT_FALSE(fast.Editor().CollectChangedArea(&idle));
    EXPECT_TRUE(idle.IsEmpty());
}

} // namespace
