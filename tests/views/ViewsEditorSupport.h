// What the editor-view tests share: a plug-in on the VST layer, a module of generated images (the
// note-marker strip, the loop markers, the root marker, a two-frame button strip), a rig that
// opens the editor in a host frame of the platform's test driver, and a stand-in for the plug-in's
// step controls that echoes every edit back into the pattern view as the parameter road does.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "engine/EngineHost.h"
#include "engine/TransportState.h"
#include "framework/IEffectVST.h"
#include "gui/IBitmapStrip.h"
#include "gui/IControl.h"
#include "gui/IEditorWindow.h"
#include "platform/testing/PlatformDriver.h"
#include "tests/support/EditorRig.h"
#include "views/PatternView.h"
#include "views/PatternViewHost.h"

namespace quova::views_test
{

// Editor size of the rig and the colour of its background image.
inline constexpr int kWidth = 840;
inline constexpr int kHeight = 200;
inline constexpr uint32_t kBackground = 0xFF102030;

// Image resources of the module (id, name).
inline constexpr int kMarkerStripId = 103; // 21 x 240: 30 frames of 8 rows, frame k in MarkerFrameColour(k)
inline constexpr int kLoopStartId = 141;   // 24 x 15, kLoopStartColour
inline constexpr int kLoopEndId = 142;     // 24 x 15, kLoopEndColour
inline constexpr int kRootMarkerId = 144;  // 16 x 16: 2 frames of 8 rows in kRootColour
inline constexpr int kButtonStripId = 111; // 10 x 20: frame 1 grey, frame 2 white
inline constexpr int kGlyphsId = 150;      // 8 x 10, kGlyphColour: every glyph of the test font
inline constexpr int kMarkerFrames = 30;
inline constexpr uint32_t kGlyphColour = 0xFFFFFFFF;
inline constexpr uint32_t kLoopStartColour = 0xFF00C000;
inline constexpr uint32_t kLoopEndColour = 0xFFC00000;
inline constexpr uint32_t kRootColour = 0xFFFFFF00;
uint32_t MarkerFrameColour(int frame); // 1..30

// Parameters of the rig's plug-in.
enum Param
{
    kChordSlot,
    kCount
};

class ViewsTestPlug : public IEffectVST
{
public:
    ViewsTestPlug();
    int GetMouseCaptureControl(int, int, const IMouseModifiers&) override { return captureControl; }
    int captureControl = -1; // the control that takes every press (an open overlay box)
};

// The colour an opaque background pixel takes under a fill of colour (weighted by its alpha), as
// the editor's fills compute it; without the alpha byte.
uint32_t Blended(uint32_t background, const IColorARGB& colour);
constexpr uint32_t Rgb(uint32_t word)
{
    return word & 0xFFFFFF;
}
constexpr uint32_t Rgb(const IColorARGB& c)
{
    return c.ToWord() & 0xFFFFFF;
}

// The rig with the plug-in above, an editor of kWidth x kHeight at 30 frames per second on the
// module of generated images, a host frame around it and a real engine in its default state.
// Open() opens the editor window; Tick() is one editor tick (one paint of what changed).
class Rig : public quova::test_support::EditorRigOf<ViewsTestPlug>
{
public:
    Rig();
    ~Rig();

    IBitmapStrip Strip(int id, const char* name, int frames)
    {
        return editor->LoadBitmapResource(id, name, frames);
    }

    TransportState transport;
    std::unique_ptr<EngineHost> engine;
};

// A step value control of the stand-in: every value it takes goes back into the view as the
// lane's plain value (rounded to whole units like the step parameters); values from the user
// (SetValueByUser) are logged as edits.
class StepHost;
class StepCell : public IControl
{
public:
    StepCell(StepHost* owner, int area, int pattern, int lane, int step, double low, double high);
    bool Paint(IGraphics*) override { return false; }
    void MarkChanged(bool informPlug) override;
    double Plain() const;

    StepHost* owner;
    int area, pattern, lane, step;
    double low, high;
};

// The step controls of every key area, pattern, lane and step, with the lanes' ranges, and
// answers to the edit queries.
class StepHost : public PatternViewHost
{
public:
    struct Edit
    {
        int lane, step;
        double plain;
    };
    // The range a lane's column shows.
    static void LaneRange(int lane, double* low, double* high);

    IControl* FindStepControl(int area, int pattern, int lane, int step) override;
    bool PatternHasEdits(int, int pattern) override
    {
        return pattern < static_cast<int>(patternEdits.size()) && patternEdits[pattern];
    }
    bool LaneHasEdits(int, int, int lane) override
    {
        return lane < static_cast<int>(laneEdits.size()) && laneEdits[lane];
    }

    // Shows plain value `value` in every column of lane (area 0, pattern 0), as the plug-in does
    // when a lane is selected, without logging an edit.
    void Prime(int lane, double value);
    // The plain value the stand-in holds for a step of area 0, pattern 0 (0 when never set).
    double Value(int lane, int step);

    PatternView* view = nullptr;
    std::vector<Edit> edits;
    std::vector<bool> patternEdits;
    std::vector<bool> laneEdits;

private:
    std::map<std::tuple<int, int, int, int>, std::unique_ptr<StepCell>> cells_;
};

} // namespace quova::views_test
