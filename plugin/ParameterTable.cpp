#include "plugin/ParameterTable.h"

#include "engine/Lanes.h"
#include "engine/Looper.h"
#include "engine/ScaleTable.h"
#include "engine/SortOrder.h"
#include "framework/IEffectBase.h"
#include "views/ParameterIndex.h"

#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <map>

namespace quova
{
namespace
{
using namespace param;
using param::kLaneCount;
using param::kPatternCount;
using param::kStepCount;

const char* const kPitchNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

// A name built from a printf format, cut to the parameter's name field by IParameter.
std::string Format(const char* format, ...)
{
    char text[96];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// text followed by the numbers, separated by '/': Numbered("Step gate ", {1, 2, 3}) is
// "Step gate 1/2/3", as "%d/%d/%d" prints them. Tens of thousands of names are made this way;
// printf would be most of the time the definitions take.
std::string Numbered(const char* text, std::initializer_list<int> numbers)
{
    std::string out(text);
    char digits[16];
    const char* separator = "";
    for (int n : numbers)
    {
        out += separator;
        separator = "/";
        out.append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
    }
    return out;
}

// Defines parameters through one plug-in, with the text helpers the table uses.
class Definer
{
public:
    Definer(IEffectBase& plug, int hostId) : plug_(plug), hostId_(hostId) {}

    IParameter& P(int index) { return *plug_.GetParameter(index); }

    void Int(int index, const std::string& name, int defaultValue, int minimum, int maximum)
    {
        P(index).DefineInt(name.c_str(), defaultValue, minimum, maximum);
    }
    void Switch(int index, const std::string& name, int defaultValue = 0)
    {
        Int(index, name, defaultValue, 0, 1);
    }
    void Double(int index, const std::string& name, double defaultValue, double minimum, double maximum,
                double step)
    {
        P(index).DefineDouble(name.c_str(), defaultValue, minimum, maximum, step);
    }
    IParameter& Enum(int index, const std::string& name, int defaultValue, int count)
    {
        IParameter& p = P(index);
        p.DefineEnum(name.c_str(), defaultValue, count);
        return p;
    }
    // Gives p the display texts that fill adds, from one table shared by every parameter whose
    // texts have the same key (fill runs once per key, on a template parameter). A parameter that
    // has texts already gets them added after its own, as AddValueText does.
    template <class Fill> void Texts(IParameter& p, const std::string& key, Fill fill)
    {
        if (p.CountValueTexts() != 0)
        {
            fill(p);
            return;
        }
        const auto [entry, made] = templates_.try_emplace(key);
        if (made) fill(entry->second);
        p.ShareValueTextsOf(entry->second);
    }
    // An enumeration whose texts are the numbers first .. first + count - 1.
    void NumberedEnum(int index, const std::string& name, int defaultValue, int count, int first)
    {
        Texts(Enum(index, name, defaultValue, count), Numbered("numbers ", {count, first}),
              [&](IParameter& p)
              {
                  for (int v = 0; v < count; ++v)
                      p.AddValueText(v, std::to_string(first + v).c_str());
              });
    }
    void TextEnum(int index, const std::string& name, int defaultValue,
                  std::initializer_list<const char*> texts)
    {
        std::string key = "texts";
        for (const char* text : texts)
            key.append("\n").append(text);
        Texts(Enum(index, name, defaultValue, static_cast<int>(texts.size())), key,
              [&](IParameter& p)
              {
                  int v = 0;
                  for (const char* text : texts)
                      p.AddValueText(v++, text);
              });
    }
    // A note enumeration of 120 values whose texts name value + shift for values 0 .. textCount - 1.
    void NoteEnum(int index, const std::string& name, int defaultValue, int shift, int textCount)
    {
        Texts(Enum(index, name, defaultValue, 120), Numbered("notes ", {shift, textCount}),
              [&](IParameter& p)
              {
                  for (int v = 0; v < textCount; ++v)
                      p.AddValueText(v, FormatNoteName(v + shift, hostId_).c_str());
              });
    }

private:
    IEffectBase& plug_;
    int hostId_;
    std::map<std::string, IParameter> templates_; // the shared display-text tables by key
};

// Step 1: the note learn switches, the menus and the global selectors.
void DefineGlobals(Definer& d)
{
    for (int note = 0; note < 128; ++note)
        d.Int(kNoteLearnBase + note, "", -1, -1, 100000);
    d.Switch(kControllerTeach, "CC Teach");
    {
        IParameter& p = d.Enum(kControllerTeachSelection, "CC teach selection", 0, 129);
        p.AddValueText(0, "-----");
        for (int v = 1; v < 129; ++v)
            p.AddValueText(v, std::to_string(v - 1).c_str());
    }
    d.TextEnum(kStepMenu, "Reset steps", 0,
               {"Toggle On/Off", "MIDI learn", "MIDI unlearn", "Copy to all", "Reset steps"});
    d.TextEnum(kMidiLearnMenu, "MIDI learn", -1, {"MIDI learn", "MIDI unlearn"});
    d.TextEnum(kPatternCopyMenu, "Copy", -1, {"Copy", "Paste", "Paste to all"});
    d.TextEnum(kAreaCopyMenu, "Copy", -1,
               {"Copy", "Paste", "Paste to all", "Toggle send only CC", "Toggle trigger CM"});
    d.Enum(kKeyAreaSelection, "Key Area selection", 0, 4);
    {
        IParameter& p = d.Enum(kScale, "Scale", 0, ScaleTable::kScaleCount + 1);
        p.AddValueText(0, "Off");
        for (int i = 0; i < ScaleTable::kScaleCount; ++i)
            p.AddValueText(i + 1, ScaleTable::GetName(i));
    }
    {
        IParameter& p = d.Enum(kScaleKey, "Scale key ", 0, 12);
        for (int v = 0; v < 12; ++v)
            p.AddValueText(v, kPitchNames[v]);
    }
    d.NumberedEnum(kScaleMode, "Scale mode", 0, 12, 0);
    d.Enum(kPatternStepMode, "Pattern Step mode", 0, kNoteLaneCount);
    d.NumberedEnum(kPatternControllerSelection, "Pattern CC selection", 0, 8, 1);
    d.Double(kGlobalVolume, "Global volume", 64.0, 0.0, 127.0, 1.0);
}

// Step 2: tools, boxes, locks and the chord-memory buttons.
void DefineTools(Definer& d, const std::vector<std::string>& chordNames)
{
    d.Switch(kRandomize, "Randomize");
    d.Switch(kSelectionTool, "Selection tool");
    d.Switch(kDrawTool, "Draw tool", 1);
    d.Switch(kCopyTool, "Copy tool");
    d.Switch(kPasteTool, "Paste tool");
    d.Switch(kClearTool, "Clear tool");
    d.Switch(kPanicTool, "Panic tool");
    d.Switch(kBoxInfo, "Box info");
    d.Switch(kBoxSettings, "Box settings");
    d.Switch(kBoxLeft, "Box left");
    d.Switch(kBoxRight, "Box right");
    d.Switch(kResize, "Resize");
    const char* const lockNames[kLockCount] = {"Lock gate", "Lock swing", "Lock octaves", "Lock transpose",
                                               "Lock rate"};
    for (int i = 0; i < kLockCount; ++i)
    {
        d.Switch(kLockGate + i, lockNames[i]);
        d.P(kLockGate + i).SetKeptOutOfPresetLoads(true);
    }
    {
        IParameter& p = d.Enum(kChordSelection, "Chord memory apply chord selection", 0,
                               static_cast<int>(chordNames.size()));
        for (size_t i = 0; i < chordNames.size(); ++i)
            p.AddValueText(static_cast<int>(i), chordNames[i].c_str());
    }
    d.Switch(kChordMemoryBoxLeft, "CM Box left");
    d.Switch(kChordMemoryBoxRight, "CM Box right");
    d.Switch(kChordMemoryCopy, "CM Copy tool");
    d.Switch(kChordMemoryPaste, "CM Paste tool");
    d.Switch(kChordMemoryClear, "CM Clear tool");
    d.Switch(kChordMemoryApply, "CM apply");
    d.Switch(kChordMemoryInvertLeft, "CM inv left");
    d.Switch(kChordMemoryInvertRight, "CM inv right");
    d.TextEnum(kControlZoneSync, "Control Zone sync", 0, {"Next", "4", "8", "16"});
}

// Step 3: the settings of each pattern.
void DefinePatterns(Definer& d)
{
    for (int a = 0; a < kAreaCount; ++a)
        for (int p = 0; p < kPatternCount; ++p)
        {
            const std::string suffix = MakeAreaSuffix(a, p);
            const int s = Slot(a, p);
            d.Double(kRate + s, "Rate" + suffix, 12.0, 0.0, 22.0, 1.0);
            d.Double(kRateFree + s, "Rate Free mode" + suffix, 1.0, 1.0, 20.0, 0.1);
            d.Switch(kRateFreeToggle + s, "Rate free toggle" + suffix);
            for (int t = 0; t < kStepCount; ++t)
                d.Switch(kPatternStepSwitch + kStepCount * s + t, Numbered("Step on/off ", {t + 1}) + suffix,
                         1);
            d.Texts(d.Enum(kSortOrder + s, "Sort order" + suffix, 0, kSortOrderCount), "sort orders",
                    [](IParameter& order)
                    {
                        for (int v = 0; v < kSortOrderCount; ++v)
                            order.AddValueText(v, kSortOrders[v].text);
                    });
            d.Switch(kResetOnNewNote + s, "Reset on new note" + suffix);
            d.NumberedEnum(kPatternSteps + s, "Pattern steps", 31, 32, 1);
            d.Double(kTranspose + s, "Transpose" + suffix, 0.0, -12.0, 12.0, 1.0);
            d.Double(kOctaves + s, "Octaves" + suffix, 1.0, 1.0, 5.0, 1.0);
            d.Double(kPatternGate + s, "Gate" + suffix, -10.0, -100.0, 100.0, 1.0);
            d.Double(kSwing + s, "Swing" + suffix, 0.0, 0.0, 1.0, 0.01);
        }
}

// Step 4: the settings of each key area.
void DefineAreas(Definer& d)
{
    const int startNotes[kAreaCount] = {24, 48, 60, 72};
    const int endNotes[kAreaCount] = {46, 58, 70, 94};
    for (int a = 0; a < kAreaCount; ++a)
    {
        const std::string suffix = MakeAreaSuffix(a);
        d.Switch(kKeyAreaOnOff + a, "Keyarea on/off" + suffix, a == 0 ? 1 : 0);
        d.Switch(kSendControllers + a, "Send CC" + suffix);
        d.Switch(kTriggerChordMemory + a, "CM Trigger" + suffix);
        d.Int(kSceneEnd + a, "Scene end" + suffix, 15, 0, 16);
        d.NumberedEnum(kArpOnNoteCount + a, "Arp on note count" + suffix, 0, 4, 1);
        d.Texts(d.Enum(kHoldSync + a, "Hold sync" + suffix, 0, 32), "hold sync",
                [](IParameter& p)
                {
                    p.AddValueText(0, "Next");
                    for (int v = 1; v < 32; ++v)
                        p.AddValueText(v, std::to_string(v + 1).c_str());
                });
        d.Switch(kHold + a, "Hold" + suffix);
        d.Switch(kHoldTranspose + a, "Hold transpose" + suffix);
        d.Switch(kHoldBypass + a, "Hold bypass" + suffix);
        d.Switch(kSceneOnOff + a, "Scene on/off" + suffix);
        d.Switch(kNoteRelease + a, "Note release" + suffix);
        d.TextEnum(kVelocityMode + a, "Velocity mode" + suffix, 1,
                   {"Max", "Note", "First", "Last", "Average"});
        d.NoteEnum(kStartNote + a, "Key area start note" + suffix, startNotes[a], 0, 120);
        d.NoteEnum(kEndNote + a, "Key area end note" + suffix, endNotes[a], 1, 120);
        d.NoteEnum(kBaseNote + a, "Key area base note" + suffix, startNotes[a], 0, 128);
        d.Double(kVolume + a, "Volume" + suffix, 0.0, -1.0, 1.0, 0.0);
        d.NumberedEnum(kMidiInChannel + a, "MIDI in channel" + suffix, 0, 16, 1);
        d.NumberedEnum(kMidiOutChannel + a, "MIDI out channel" + suffix, 0, 16, 1);
        d.Enum(kKeyAreaPatterns + a, "Key Area Patterns" + suffix, 0, kPatternCount);
    }
}

// The 32 step parameters of one lane block of one pattern.
void DefineLaneSteps(Definer& d, int a, int p, int lane)
{
    for (int t = 0; t < kStepCount; ++t)
    {
        const int index = StepValue(a, p, lane, t);
        switch (lane)
        {
        case kLaneOrder:
            d.Texts(d.Enum(index, Numbered("Step note list ", {a, p, t}), 0, kNoteChoiceCount),
                    "note choices",
                    [](IParameter& e)
                    {
                        for (int v = 0; v < kNoteChoiceCount; ++v)
                            e.AddValueText(v, NoteChoiceName(v));
                    });
            break;
        case kLaneChordMemory:
            d.Texts(d.Enum(index, Numbered("Step source ", {a, p, t}), 0, 16), "chord memories",
                    [](IParameter& e)
                    {
                        for (int v = 0; v < 16; ++v)
                            e.AddValueText(v, Format("Chord memory %d", v).c_str());
                    });
            break;
        case kLaneLength:
            d.Int(index, Numbered("Step length ", {a, p, t}), 1, 1, 8);
            break;
        case kLaneGate:
            d.Double(index, Numbered("Step gate ", {a, p, t}), 0.0, -100.0, 100.0, 1.0);
            break;
        case kLaneAccent:
            d.Double(index, Numbered("Step accent ", {a, p, t}), 0.0, -100.0, 100.0, 1.0);
            break;
        case kLaneTranspose:
            d.Int(index, Numbered("Step transpose ", {a, p, t}), 0, -24, 24);
            break;
        case kLaneDiv:
            d.Int(index, Numbered("Step div ", {a, p, t}), 0, 0, 7);
            break;
        case kLaneShift:
            d.Double(index, Numbered("Step shift ", {a, p, t}), 0.0, -50.0, 50.0, 0.1);
            break;
        case kLaneChord:
            d.Int(index, Numbered("Step chord ", {a, p, t}), 0, 0, 255);
            break;
        default:
            d.Int(index, Numbered("Step CC  ", {a, p, t}), 0, 0, 127);
            break;
        }
    }
}

// Step 5: per lane of every pattern, lane-major: its two settings, its steps, its on/off switches.
void DefineLanes(Definer& d)
{
    for (int a = 0; a < kAreaCount; ++a)
        for (int p = 0; p < kPatternCount; ++p)
            for (int lane = 0; lane < kLaneCount; ++lane)
            {
                d.Switch(PerLane(kLaneResetOnPatternReset, a, p, lane), "Reset nl on pattern reset");
                d.Texts(d.Enum(PerLane(kLaneDirection, a, p, lane), "Direction", 0, Looper::kModeCount),
                        "directions",
                        [](IParameter& e)
                        {
                            for (int v = 0; v < Looper::kModeCount; ++v)
                                e.AddValueText(v, Looper::ModeName(v));
                        });
                DefineLaneSteps(d, a, p, lane);
                for (int t = 0; t < kStepCount; ++t)
                    d.Switch(StepOnOff(a, p, lane, t), Numbered("Step on/off ", {t + 1}), 1);
            }
}

// Step 6: the scene steps of each key area.
void DefineScenes(Definer& d)
{
    for (int a = 0; a < kAreaCount; ++a)
    {
        for (int k = 0; k < kSceneStepCount; ++k)
            d.NumberedEnum(SceneStep(kSceneStepLength, a, k), "Scene step length", 31, 32, 1);
        for (int k = 0; k < kSceneStepCount; ++k)
            d.NumberedEnum(SceneStep(kSceneStepPattern, a, k), "Scene step pattern", 0, kPatternCount, 1);
        for (int k = 0; k < kSceneStepCount; ++k)
            d.NumberedEnum(SceneStep(kSceneStepRepeat, a, k), "Scene step repeat", 0, 32, 1);
    }
}
} // namespace

std::string MakeAreaSuffix(int area, int pattern)
{
    return pattern < 0 ? Format(" T%d", area + 1) : Format(" T%d P%d", area + 1, pattern + 1);
}

bool HostNamesOctavesLower(int hostId)
{
    return hostId == 3 || hostId == 9 || hostId == 21;
}

std::string FormatNoteName(int value, int hostId)
{
    const int pitch = ((value % 12) + 12) % 12;
    int octave = value / 12;
    if (HostNamesOctavesLower(hostId)) --octave;
    return Format("%s %d", kPitchNames[pitch], octave);
}

bool IsMomentaryButton(int index)
{
    for (int button : kMomentaryButtons)
        if (button == index) return true;
    return false;
}

bool DefineParameters(IEffectBase& plug, int hostId, const std::vector<std::string>& chordNames)
{
    if (plug.NParameters() < kCount) return false;
    Definer d(plug, hostId);
    DefineGlobals(d);
    DefineTools(d, chordNames);
    DefinePatterns(d);
    DefineAreas(d);
    DefineLanes(d);
    DefineScenes(d);
    d.Enum(kMidiOutput, "MIDI output", 0, 0);
    d.Enum(kChordMemorySelection, "Chord memory selection", 0, 16);
    d.Switch(kBoxBrowser, "Box browser");
    return true;
}
} // namespace quova
