// UIEventHandler: the information line. Each kind of parameter has one text;
// numbers are written as the rows below say: "%.1f" (AppendDecimal), "%d"
// (AppendInteger), a plain stream of the double ("4", "2.5"), or fixed without
// decimals. Ranges cover every key area and pattern of a parameter.
#include "views/UIEventHandler.h"

#include "views/ParameterIndex.h"
#include "views/ViewHost.h"

#include <cmath>
#include <cstdio>
#include <iomanip>
#include <sstream>

using namespace quova::param;

namespace
{
int Trunc(double v)
{
    return static_cast<int>(v);
}

// A double as a default stream writes it ("4", "2.5", "-0.1").
std::string Plain(double v)
{
    std::ostringstream out;
    out << v;
    return out.str();
}

// A double in fixed notation without decimals.
std::string Fixed(double v)
{
    std::ostringstream out;
    out << std::fixed << std::setprecision(0) << v;
    return out.str();
}

std::string Decimal(double v)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", v);
    return text;
}

std::string Integer(int v)
{
    return std::to_string(v);
}

const char* OnOff(double v)
{
    return v == 1.0 ? "On" : "Off";
}
// "Off" only for exactly 0.
const char* OffWhenZero(double v)
{
    return v == 0.0 ? "Off" : "On";
}

bool In(int i, int first, int last)
{
    return i >= first && i <= last;
}
bool InArea(int i, int base)
{
    return In(i, base, base + kAreaCount - 1);
}
bool InPattern(int i, int base)
{
    return In(i, base, base + kSlotCount - 1);
}
bool StepBlock(int i, int base)
{
    return In(i, base, base + kSlotCount * kStepCount - 1);
}

const char* const kOrderTexts[] = {"Order: Play", "Order: Off",  "Order: Previous", "Order: First",
                                   "Order: Last", "Order: High", "Order: Low",      "Order: Random"};
const char* const kModeTexts[] = {"Mode: Order",        "Mode: Chord Memory", "Mode: Length",
                                  "Mode: Gate",         "Mode: Accent",       "Mode: Transpose",
                                  "Mode: Divide notes", "Mode: Shift notes",  "Mode: Sequence"};
} // namespace

std::optional<std::string> UIEventHandler::ParameterInfoText(int i, double v) const
{
    const int t = Trunc(v);
    auto display = [&](int index)
    { return host_ != nullptr ? host_->GetParameterDisplayText(index, v) : ""; };

    if (In(i, kPatternStepSwitch, kPatternStepSwitch + kSlotCount * kStepCount - 1))
        return std::string("Pattern step: ") + OnOff(v);
    if (In(i, kSceneStepLength, kSceneStepPattern - 1)) return "Step length: " + Plain(v + 1);
    if (In(i, kSceneStepPattern, kSceneStepRepeat - 1)) return "Pattern: " + Plain(v + 1);
    if (In(i, kSceneStepRepeat, kSceneStepRepeat + kAreaCount * kSceneStepCount - 1))
        return "Repeat: " + Plain(v + 1) + " times";
    if (In(i, kLaneResetOnPatternReset, kLaneResetOnPatternReset + kSlotCount * kLaneCount - 1))
        return std::string("Reset on pattern reset: ") + OnOff(v);
    if (In(i, kLaneDirection, kLaneDirection + kSlotCount * kLaneCount - 1))
        return "Loop direction: " + (host_ != nullptr ? host_->GetParameterDisplayText(i, t) : std::string());
    if (StepBlock(i, kStepSource)) return "Chord memory slot: " + Fixed(v);
    if (InArea(i, kKeyAreaPatterns)) return "Pattern: " + Plain(v + 1);
    if (InArea(i, kNoteRelease)) return std::string("Note release: ") + OnOff(v);
    if (InArea(i, kHoldBypass)) return std::string("Hold bypass: ") + OnOff(v);
    if (InArea(i, kHoldTranspose)) return std::string("Hold Transpose: ") + OnOff(v);
    if (InArea(i, kHoldSync))
        return v == 0.0 ? std::string("Hold sync: Immediate") : "Hold sync: " + Fixed(v + 1) + " steps";
    if (InPattern(i, kPatternGate)) return "Gate: " + Decimal(v);
    if (i == kGlobalVolume) return "Global Volume: " + Integer(Trunc(v / 127.0 * 100.0));
    if (InArea(i, kVolume)) return "Key area Volume: " + Integer(Trunc(v * 100.0));
    if (InPattern(i, kRateFreeToggle)) return std::string("Free mode: ") + OnOff(v);
    if (InPattern(i, kRateFree)) return "Rate: " + Plain(v) + " Hz";
    if (InPattern(i, kSortOrder)) return "Play order: " + display(i);
    if (InPattern(i, kSwing)) return "Swing: " + Decimal(v * 100.0);
    if (InPattern(i, kOctaves)) return "Octaves: " + Plain(v);
    if (InPattern(i, kTranspose)) return "Transpose: " + Integer(static_cast<int>(std::round(v)));
    if (InArea(i, kVelocityMode)) return "Velocity mode: " + display(i);
    if (InPattern(i, kResetOnNewNote)) return std::string("Reset on new note: ") + OffWhenZero(v);
    if (InArea(i, kKeyAreaOnOff)) return std::string("Track: ") + OffWhenZero(v);
    if (InPattern(i, kPatternSteps)) return "Pattern length: " + Integer(Trunc(v + 1));
    if (StepBlock(i, kStepLength)) return "Length: " + Integer(t);
    if (StepBlock(i, kStepGate))
    {
        if (gateInSteps_ && v >= 0.0) return "Gate: " + Fixed(Trunc(v / 100.0 * 31.0 + 1.0)) + " steps";
        return "Gate: " + Integer(t);
    }
    if (StepBlock(i, kStepAccent)) return "Accent: " + Integer(t);
    if (StepBlock(i, kStepTranspose)) return "Transpose: " + Integer(t);
    if (StepBlock(i, kStepDiv)) return "Div: " + Integer(t);
    if (StepBlock(i, kStepShift)) return "Shift: " + Integer(t);
    if (StepBlock(i, kStepNoteList))
        return t >= 0 && t < 8 ? std::optional<std::string>(kOrderTexts[t]) : std::nullopt;
    if (i == kPatternStepMode)
        return t >= 0 && t < 9 ? std::optional<std::string>(kModeTexts[t]) : std::nullopt;
    if (i == kPatternControllerSelection) return "CC edit: " + Plain(v + 1);
    if (InArea(i, kArpOnNoteCount)) return "Arp on note count: " + Plain(v + 1);
    if (i == kScaleMode) return "Scale mode: " + display(i);
    if (i == kKeyAreaSelection) return "Track: " + Plain(v);
    if (InArea(i, kHold)) return std::string("Hold: ") + OffWhenZero(v);
    if (i == kScale) return "Scale: " + display(i);
    if (i == kScaleKey) return "Scale key: " + display(i);
    if (InArea(i, kMidiInChannel)) return "MIDI in: " + Integer(t);
    if (InArea(i, kMidiOutChannel)) return "MIDI out: " + Integer(t);
    if (i == kControllerTeachSelection)
        return v == 0.0 ? std::string("Teach CC : disabled") : "Teach CC : " + Integer(t);
    if (i == kControllerTeach) return std::string("CC teach: ") + OffWhenZero(v);
    return std::nullopt;
}

void UIEventHandler::ShowParameterInfo(int i, double v)
{
    if (std::optional<std::string> text = ParameterInfoText(i, v)) ReplaceText(*text);
}

void UIEventHandler::AppendDecimal(const std::string& label, double value)
{
    ReplaceText(label + Decimal(value));
}

void UIEventHandler::AppendInteger(const std::string& label, int value)
{
    ReplaceText(label + Integer(value));
}

void UIEventHandler::AppendText(const std::string& label, const std::string& text)
{
    ReplaceText(label + text);
}

void UIEventHandler::ReplaceText(const std::string& text)
{
    if (host_ != nullptr) host_->ShowStatusText(text);
}
