#include "tests/gui/EditorTestSupport.h"

#include <cstdio>

#include "framework/IParameter.h"
#include "gui/IGraphics.h"
#include "gui/IPopupMenu.h"
#include "platform/resources/ResourceTable.h"
#include "tests/support/ResourceBlob.h"

// ---- plug-in ----------------------------------------------------------------------------------------

EditorTestPlug::EditorTestPlug()
    : IEffectVST(nullptr, kCount, kCount, "0-2", 0, "EditorTest", "EditorTest", "Test", 0x00010000,
                 0x45444954, 0x54455354, 0, true, true, true)
{
    initialize(0, "0-2", 0, "EditorTest", "EditorTest", "Test");
    GetParameter(kGain)->DefineDouble("Gain", 25.0, 0.0, 100.0, 0.01);
    IParameter* mode = GetParameter(kMode);
    mode->DefineEnum("Mode", 0, 4);
    mode->AddValueText(0, "Up");
    mode->AddValueText(1, "Down");
    mode->AddValueText(2, "Random");
    mode->AddValueText(3, "Chord");
    GetParameter(kSwitch)->DefineBool("Switch", false);
    IParameter* learn = GetParameter(kLearn);
    learn->DefineEnum("Learn", 0, 2);
    learn->AddValueText(0, "MIDI learn");
    learn->AddValueText(1, "MIDI unlearn");
    GetParameter(kNote)->DefineInt("Note", 60, 0, 127);
    GetParameter(kFine)->DefineDouble("Fine", 0.0, -1.0, 1.0, 0.01);
    GetParameter(kFine)->SetDisplayNegated(true);
}

// ---- Swatch -------------------------------------------------------------------------------------------

namespace
{

std::string Mods(const IMouseModifiers& m)
{
    std::string s;
    if (m.left) s += "L";
    if (m.right) s += "R";
    if (m.shift) s += "S";
    if (m.control) s += "C";
    if (m.alt) s += "A";
    return s.empty() ? "-" : s;
}

std::string At(const char* what, int x, int y, const IMouseModifiers& m)
{
    return std::string(what) + " " + std::to_string(x) + "," + std::to_string(y) + " " + Mods(m);
}

} // namespace

Swatch::Swatch(IEffectBase* plug, const IRectangle& rect, int parameterIndex, IColorARGB offColour,
               IColorARGB onColour)
    : IControl(plug, rect, parameterIndex), off(offColour), on(onColour)
{
}

bool Swatch::Paint(IGraphics* graphics)
{
    ++paints;
    return graphics->PaintRectangle(GetValue() >= 0.5 ? on : off, GetRect(), &blend_);
}

void Swatch::OnMouseButtonDown(int x, int y, const IMouseModifiers& m)
{
    log.push_back(At("down", x, y, m));
    IControl::OnMouseButtonDown(x, y, m);
}

void Swatch::OnMouseButtonUp(int x, int y, const IMouseModifiers& m)
{
    log.push_back(At("up", x, y, m));
    IControl::OnMouseButtonUp(x, y, m);
}

void Swatch::OnMouseDragged(int x, int y, int dx, int dy, const IMouseModifiers& m)
{
    log.push_back(At("drag", dx, dy, m) + " at " + std::to_string(x) + "," + std::to_string(y));
}

void Swatch::OnMouseDoubleClicked(int x, int y, const IMouseModifiers& m)
{
    log.push_back(At("double", x, y, m));
    IControl::OnMouseDoubleClicked(x, y, m);
}

void Swatch::OnMouseWheelTurned(int x, int y, const IMouseModifiers& m, int notches)
{
    log.push_back(At("wheel", x, y, m) + " " + std::to_string(notches));
    IControl::OnMouseWheelTurned(x, y, m, notches);
}

bool Swatch::OnKeyPressed(int x, int y, int key)
{
    log.push_back("key " + std::to_string(key) + " at " + std::to_string(x) + "," + std::to_string(y));
    return handlesKeys;
}

void Swatch::OnMouseHover(int x, int y, const IMouseModifiers& m)
{
    log.push_back(At("hover", x, y, m));
}

void Swatch::OnMouseLeft()
{
    log.push_back("left");
}

void Swatch::ParseEnteredText(const char* text, int* value)
{
    log.push_back(std::string("parse ") + text);
    // Note names: "C3" is 60, "C#3" 61 (octave 3 starts at 60).
    static const int kSemitones[] = {9, 11, 0, 2, 4, 5, 7}; // A..G
    if (text[0] < 'A' || text[0] > 'G') return;
    int note = kSemitones[text[0] - 'A'];
    const char* rest = text + 1;
    if (*rest == '#')
    {
        ++note;
        ++rest;
    }
    *value = note + 12 * (std::atoi(rest) + 2);
}

void Swatch::OnPopupMenuChosen(IPopupMenu* menu)
{
    log.push_back("chosen " + std::to_string(menu->GetChosenIndex()));
}

// ---- resources -------------------------------------------------------------------------------------------

uint32_t StripFrameColour(int frame)
{
    return 0xFF000000u | static_cast<uint32_t>(frame * 0x282828);
}

namespace
{

using quova::test_support::PngBlob;
using quova::test_support::ResourceBlob;
using quova::test_support::TextBlob;

struct TestModule
{
    ResourceBlob background =
        PngBlob(kEditorWidth, kEditorHeight, [](int, int) { return kBackgroundColour; });
    ResourceBlob strip = PngBlob(10, 50, [](int, int y) { return StripFrameColour(y / 10 + 1); });
    ResourceBlob small = PngBlob(4, 4, [](int, int) { return 0xFF00FF00u; });
    ResourceBlob text = TextBlob("first line\nsecond line\n");
    ResourceBlob notPng = TextBlob("definitely not an image");
    PlatformResource resources[5] = {
        {"PNG", 101, "images/background.png", background.bytes.data(), &background.size},
        {"PNG", 102, "images/strip.png", strip.bytes.data(), &strip.size},
        {"PNG", 103, "images/small.png", small.bytes.data(), &small.size},
        {"TEXTFILE", 200, "misc/text.txt", text.bytes.data(), &text.size},
        {"PNG", 150, "images/broken.png", notPng.bytes.data(), &notPng.size},
    };
    PlatformModule module{resources, 5};
};

} // namespace

HINSTANCE EditorTestModule()
{
    static TestModule* module = new TestModule();
    return &module->module;
}
