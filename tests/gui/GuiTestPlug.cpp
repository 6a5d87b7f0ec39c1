#include "tests/gui/GuiTestPlug.h"

GuiTestPlug::GuiTestPlug()
    : IEffectBase(kHidden, kCount, "0-2", 0, "GuiTest", "GuiTest", "Test", 0x00010000, 0x47554954, 0x54455354,
                  0, true, true, true, kApiVST2)
{
    initialize(kHidden, kCount, "0-2", 0, "GuiTest", "GuiTest", "Test");
    GetParameter(kGain)->DefineDouble("Gain", 25.0, 0.0, 100.0, 0.01);
    IParameter* mode = GetParameter(kMode);
    mode->DefineEnum("Mode", 0, 4);
    mode->AddValueText(0, "Up");
    mode->AddValueText(1, "Down");
    mode->AddValueText(2, "Random");
    mode->AddValueText(3, "Chord");
    GetParameter(kSwitch)->DefineBool("Switch", false);
    IParameter* menu = GetParameter(kMenu);
    menu->DefineEnum("Learn", 0, 2);
    menu->AddValueText(0, "MIDI learn");
    menu->AddValueText(1, "MIDI unlearn");
    GetParameter(kHidden)->DefineInt("Hidden", 3, 0, 10);
}
