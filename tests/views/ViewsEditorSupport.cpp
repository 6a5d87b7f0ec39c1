#include "tests/views/ViewsEditorSupport.h"

#include <cmath>
#include <cstring>

#include "engine/EngineDefaults.h"
#include "graphics/Fill.h"
#include "graphics/MemoryBitmap.h"
#include "gui/IGraphics.h"
#include "platform/resources/ResourceTable.h"
#include "tests/support/ResourceBlob.h"

namespace quova::views_test
{

// ---- plug-in ------------------------------------------------------------------------------------

ViewsTestPlug::ViewsTestPlug()
    : IEffectVST(nullptr, kCount, kCount, "0-2", 0, "ViewsTest", "ViewsTest", "Test", 0x00010000, 0x56494557,
                 0x54455354, 0, true, true, true)
{
    initialize(0, "0-2", 0, "ViewsTest", "ViewsTest", "Test");
    GetParameter(kChordSlot)->DefineEnum("Chord memory selection", 0, 16);
}

uint32_t Blended(uint32_t background, const IColorARGB& colour)
{
    MemoryBitmap bitmap(1, 1, 1);
    bitmap.Pixels()[0] = background;
    FillRectangle(&bitmap, 0, 0, 1, 1, colour.ToWord(), 1.0f, IBlendSpec().RasterMode());
    return bitmap.Pixels()[0] & 0xFFFFFF;
}

uint32_t MarkerFrameColour(int frame)
{
    return 0xFF000000u | static_cast<uint32_t>(frame * 0x070503);
}

// ---- resources ------------------------------------------------------------------------------------

namespace
{

using quova::test_support::PngBlob;
using quova::test_support::ResourceBlob;

struct TestModule
{
    ResourceBlob background = PngBlob(kWidth, kHeight, [](int, int) { return kBackground; });
    ResourceBlob markers =
        PngBlob(21, 8 * kMarkerFrames, [](int, int y) { return MarkerFrameColour(y / 8 + 1); });
    ResourceBlob loopStart = PngBlob(24, 15, [](int, int) { return kLoopStartColour; });
    ResourceBlob loopEnd = PngBlob(24, 15, [](int, int) { return kLoopEndColour; });
    ResourceBlob root = PngBlob(16, 16, [](int, int) { return kRootColour; });
    ResourceBlob button = PngBlob(10, 20, [](int, int y) { return y < 10 ? 0xFF808080u : 0xFFFFFFFFu; });
    ResourceBlob glyphs = PngBlob(8, 10, [](int, int) { return kGlyphColour; });
    PlatformResource resources[7] = {
        {"PNG", kGlyphsId, "images/glyphs.png", glyphs.bytes.data(), &glyphs.size},
        {"PNG", 101, "images/background.png", background.bytes.data(), &background.size},
        {"PNG", kMarkerStripId, "images/markers.png", markers.bytes.data(), &markers.size},
        {"PNG", kLoopStartId, "images/loopstart.png", loopStart.bytes.data(), &loopStart.size},
        {"PNG", kLoopEndId, "images/loopend.png", loopEnd.bytes.data(), &loopEnd.size},
        {"PNG", kRootMarkerId, "images/root.png", root.bytes.data(), &root.size},
        {"PNG", kButtonStripId, "images/button.png", button.bytes.data(), &button.size},
    };
    PlatformModule module{resources, 7};
};

HINSTANCE Module()
{
    static TestModule* module = new TestModule();
    return &module->module;
}

} // namespace

// ---- rig ----------------------------------------------------------------------------------------------

Rig::Rig() : EditorRigOf(kWidth, kHeight, 30, Module(), kWidth + 40, kHeight + 40, 50, 50)
{
    transport.sampleRate = 44100.0;
    transport.samplesPerBeat = 22050.0;
    engine = std::make_unique<EngineHost>(transport);
    ApplyDefaultParameterState(*engine);
}

// The views the editor holds may point into the engine, so the plug-in (with its editor) goes
// before the engine.
Rig::~Rig()
{
    plug.reset();
}

// ---- step controls ------------------------------------------------------------------------------------

StepCell::StepCell(StepHost* o, int a, int p, int l, int s, double lo, double hi)
    : IControl(nullptr, IRectangle(), -1), owner(o), area(a), pattern(p), lane(l), step(s), low(lo), high(hi)
{
}

double StepCell::Plain() const
{
    const double plain = low + GetValue() * (high - low);
    return lane == 7 ? std::round(plain * 10.0) / 10.0 : std::round(plain);
}

void StepCell::MarkChanged(bool informPlug)
{
    IControl::MarkChanged(informPlug);
    if (informPlug) owner->edits.push_back({lane, step, Plain()});
    if (owner->view != nullptr) owner->view->SetStepDisplayValue(lane, step, low, high, Plain());
}

void StepHost::LaneRange(int lane, double* low, double* high)
{
    static const double kRanges[9][2] = {{0, 7},    {0, 16}, {1, 8},    {-100, 100}, {-100, 100},
                                         {-24, 24}, {0, 7},  {-50, 50}, {0, 255}};
    *low = lane < 9 ? kRanges[lane][0] : 0.0;
    *high = lane < 9 ? kRanges[lane][1] : 127.0;
}

IControl* StepHost::FindStepControl(int area, int pattern, int lane, int step)
{
    if (area < 0 || area > 3 || pattern < 0 || pattern > 11 || lane < 0 || lane > 16 || step < 0 || step > 31)
        return nullptr;
    auto key = std::make_tuple(area, pattern, lane, step);
    auto it = cells_.find(key);
    if (it == cells_.end())
    {
        double low, high;
        LaneRange(lane, &low, &high);
        it =
            cells_.emplace(key, std::make_unique<StepCell>(this, area, pattern, lane, step, low, high)).first;
    }
    return it->second.get();
}

void StepHost::Prime(int lane, double value)
{
    double low, high;
    LaneRange(lane, &low, &high);
    for (int s = 0; s < 32; ++s)
    {
        IControl* cell = FindStepControl(0, 0, lane, s);
        cell->ReceiveValue((value - low) / (high - low)); // the first value: stored without notice
        cell->ReceiveValue((value - low) / (high - low));
        if (view != nullptr) view->SetStepDisplayValue(lane, s, low, high, value);
    }
}

double StepHost::Value(int lane, int step)
{
    return static_cast<StepCell*>(FindStepControl(0, 0, lane, step))->Plain();
}

} // namespace quova::views_test
