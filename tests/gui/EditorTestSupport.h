// What the editor tests share: a plug-in on the VST layer that records what the editor asks of it,
// a control that paints a flat colour and logs its input, a module of generated PNG and text
// resources, and a rig that opens the editor in a host frame of the platform's test driver.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/IEffectVST.h"
#include "gui/IControl.h"
#include "gui/IEditorWindow.h"
#include "platform/testing/PlatformDriver.h"
#include "tests/support/EditorRig.h"

class EditorTestPlug : public IEffectVST
{
public:
    // kGain: double 0..100 (default 25: normalised 0.25); kMode: enum "Up", "Down", "Random",
    // "Chord"; kSwitch: bool; kLearn: enum "MIDI learn", "MIDI unlearn" (a menu parameter);
    // kNote: int 0..127 (default 60); kFine: double -1..1 step 0.01, displayed negated.
    enum Param
    {
        kGain,
        kMode,
        kSwitch,
        kLearn,
        kNote,
        kFine,
        kCount
    };
    struct Prompted
    {
        int control, parameter, menuParameter, x, y;
    };
    struct Key
    {
        int x, y, key;
    };

    EditorTestPlug();

    void OnParameterChanged(int index) override { changed.push_back(index); }
    void OnPromptedParameterChange(int control, int parameter, int menuParameter, int x, int y) override
    {
        prompted.push_back({control, parameter, menuParameter, x, y});
    }
    void BeginParameterEdit(int index) override { edits.push_back("begin " + std::to_string(index)); }
    void EndParameterEdit(int index) override { edits.push_back("end " + std::to_string(index)); }
    void NotifyHostOfParameterChange(int index, double value) override
    {
        automated.push_back({index, value});
    }
    int GetMouseCaptureControl(int, int, const IMouseModifiers&) override { return captureControl; }
    bool OnKeyPressed(int x, int y, int key) override
    {
        keys.push_back({x, y, key});
        return handlesKeys;
    }
    int GetPluginApi() override { return pluginApi; }
    void ShowHostParameterMenu(int index, int x, int y) override
    {
        hostMenus.push_back({-1, index, -1, x, y});
    }

    std::vector<int> changed;
    std::vector<Prompted> prompted;
    std::vector<std::string> edits;
    std::vector<std::pair<int, double>> automated;
    std::vector<Key> keys;
    std::vector<Prompted> hostMenus;
    int captureControl = -1;
    bool handlesKeys = false;
    int pluginApi = kApiVST2;
};

// A control that fills its rectangle with `off` below value 0.5 and `on` from 0.5, and logs what
// reaches it ("down 12,7 L", "drag 3,-2 S", "wheel 2", "key 15", "hover", "left", ...). Mouse
// operations keep the base behaviour after logging.
class Swatch : public IControl
{
public:
    Swatch(IEffectBase* plug, const IRectangle& rect, int parameterIndex = -1,
           IColorARGB off = {255, 0, 0, 255}, IColorARGB on = {255, 255, 255, 0});

    bool Paint(IGraphics* graphics) override;
    void OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers) override;
    void OnMouseButtonUp(int x, int y, const IMouseModifiers& modifiers) override;
    void OnMouseDragged(int x, int y, int dx, int dy, const IMouseModifiers& modifiers) override;
    void OnMouseDoubleClicked(int x, int y, const IMouseModifiers& modifiers) override;
    void OnMouseWheelTurned(int x, int y, const IMouseModifiers& modifiers, int notches) override;
    bool OnKeyPressed(int x, int y, int key) override;
    void OnMouseHover(int x, int y, const IMouseModifiers& modifiers) override;
    void OnMouseLeft() override;
    void ParseEnteredText(const char* text, int* value) override;
    void OnPopupMenuChosen(IPopupMenu* menu) override;

    IColorARGB off, on;
    std::vector<std::string> log;
    int paints = 0;
    bool handlesKeys = true;
};

// A module whose resources the tests decode: "PNG" 101 (a 60 x 40 image of kBackgroundColour),
// "PNG" 102 (a 10 x 50 strip of five 10 x 10 frames, frame k filled with StripFrameColour(k)),
// "PNG" 103 (a 4 x 4 image), "TEXTFILE" 200 ("first line\nsecond line\n"), and "PNG" 150 holding
// bytes that are not a PNG image.
HINSTANCE EditorTestModule();
inline constexpr uint32_t kBackgroundColour = 0xFF203040;
uint32_t StripFrameColour(int frame); // frame 1..5

// The editor size of the rig.
inline constexpr int kEditorWidth = 60;
inline constexpr int kEditorHeight = 40;

// The rig with the plug-in above, an editor of kEditorWidth x kEditorHeight on EditorTestModule()
// and a host frame of 200 x 150 at (300, 200). Open() opens the editor the way a host does.
class EditorRig : public quova::test_support::EditorRigOf<EditorTestPlug>
{
public:
    explicit EditorRig(int framesPerSecond = 30)
        : EditorRigOf(kEditorWidth, kEditorHeight, framesPerSecond, EditorTestModule(), 200, 150, 300, 200)
    {
    }
};

// The first and last entries of a log; "" when it is empty.
inline std::string First(const std::vector<std::string>& log)
{
    return log.empty() ? "" : log.front();
}
inline std::string Last(const std::vector<std::string>& log)
{
    return log.empty() ? "" : log.back();
}

// The colour word of an IColorARGB without its alpha byte.
constexpr uint32_t Rgb(const IColorARGB& c)
{
    return c.ToWord() & 0xFFFFFF;
}
