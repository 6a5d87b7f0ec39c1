// UIEventHandler: parameter changes into the engine. The information line's
// texts are in UIEventInfo.cpp.
#include "views/UIEventHandler.h"

#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"
#include "engine/PatternStepper.h"
#include "engine/Scale.h"
#include "gui/IControl.h"
#include "views/ParameterIndex.h"
#include "views/ViewHost.h"

#include <algorithm>
#include <cmath>

using namespace quova::param;

namespace
{
// Entries per key area of each kind of block.
constexpr int kPerArea = 1;
constexpr int kPerPattern = kPatternCount;                                                 // 12
constexpr int kPerSceneArea = kSceneStepCount;                                             // 16
constexpr int kPerLaneArea = kPatternCount * kLaneCount;                                   // 204
constexpr int kPerStepArea = kPatternCount * kStepCount;                                   // 384
constexpr int kPerControllerArea = kPatternCount * 8 * kStepCount;                         // 3072
constexpr int kControllerBlockEnd = kStepController + kAreaCount * kPerControllerArea - 1; // 30460

bool InBlock(int i, int base, int count)
{
    return i >= base && i < base + count;
}
bool PerAreaIndex(int i, int base)
{
    return InBlock(i, base, kAreaCount);
}
bool PerPatternIndex(int i, int base)
{
    return InBlock(i, base, kSlotCount);
}

int Trunc(double v)
{
    return static_cast<int>(v);
}
// Rounds half away from zero.
int RoundAway(double v)
{
    return static_cast<int>(std::round(v));
}

struct RateRow
{
    const char* text;
    double beats;
};
constexpr RateRow kRates[] = {
    {"Rate: 1/1", 4.0},       {"Rate: 1/2D", 3.0},         {"Rate: 1/1T", 8.0 / 3.0},
    {"Rate: 1/2", 2.0},       {"Rate: 1/4D", 1.5},         {"Rate: 1/2T", 4.0 / 3.0},
    {"Rate: 1/4", 1.0},       {"Rate: 1/8D", 0.75},        {"Rate: 1/4T", 2.0 / 3.0},
    {"Rate: 1/8", 0.5},       {"Rate: 1/16D", 0.375},      {"Rate: 1/8T", 1.0 / 3.0},
    {"Rate: 1/16", 0.25},     {"Rate: 1/32D", 0.1875},     {"Rate: 1/16T", 1.0 / 6.0},
    {"Rate: 1/32", 0.125},    {"Rate: 1/64D", 0.09375},    {"Rate: 1/32T", 1.0 / 12.0},
    {"Rate: 1/64", 0.0625},   {"Rate: 1/128D", 0.046875},  {"Rate: 1/64T", 1.0 / 24.0},
    {"Rate: 1/128", 0.03125}, {"Rate: 1/256D", 0.0234375}, {"Rate: 1/128T", 1.0 / 48.0},
};
constexpr int kRateCount = static_cast<int>(sizeof kRates / sizeof kRates[0]);
constexpr double kDefaultRateBeats = 4.0;
} // namespace

UIEventHandler::UIEventHandler(TobelApp* app, KeyAreaList* keyAreas, NoteEngine* notes, ViewHost* host)
    : app_(app), keyAreas_(keyAreas), notes_(notes), host_(host)
{
}

PatternEngine* UIEventHandler::Area(int area) const
{
    return keyAreas_ != nullptr ? keyAreas_->GetArea(area) : nullptr;
}

// ---- small rules ---------------------------------------------------------------------------------

double UIEventHandler::GateValue(double v)
{
    double g = v / 100.0;
    if (g > 0.0) g *= 0.5;
    g = std::min(g, 1.0);
    if (g <= -1.0) g = -0.9;
    return g;
}

double UIEventHandler::RateBeats(int t)
{
    return t >= 0 && t < kRateCount ? kRates[t].beats : kDefaultRateBeats;
}

const char* UIEventHandler::RateText(int t)
{
    return t >= 0 && t < kRateCount ? kRates[t].text : nullptr;
}

int UIEventHandler::LaneOfParameterBlock(int base, int offset)
{
    for (int lane = 0; lane < kNoteLaneCount; ++lane)
        if (kStepBlockBase[lane] == base) return lane;
    if (base == kStepController) return kNoteLaneCount + ((offset / kStepCount) % 8 + 8) % 8;
    return base;
}

int UIEventHandler::StepOfParameter(int base, int index)
{
    return ((index - base) % kStepCount + kStepCount) % kStepCount;
}

// ---- mouse events of observed controls ------------------------------------------------------------

void UIEventHandler::OnSubjectMouseEvent(ISubject* subject, int, int, int kind,
                                         const IMouseModifiers& modifiers)
{
    if (subject == nullptr || host_ == nullptr) return;
    auto* control = dynamic_cast<IControl*>(subject);
    switch (subject->GetTag(1))
    {
    case kTagInformation:
        if (modifiers.right && control != nullptr && control->GetParameterIndex() >= 0)
        {
            const int index = control->GetParameterIndex();
            ShowParameterInfo(index, host_->GetParameterValue(index));
        }
        break;
    case kTagAboutBox:
        // The logo opens the box at its release. The open box takes every press (the plug-in names
        // it as the control that does) and closes at the press, wherever it lands, as the
        // information box does; the press's release reaches no control.
        if (kind == (host_->IsAboutBoxShown() ? kMouseDown : kMouseUp)) host_->ToggleAboutBox();
        break;
    case kTagAboutLink:
        if (kind == kMouseUp) host_->OpenAboutLink();
        break;
    case kTagKeyAreaSwitch:
        if (kind == kMouseUp && modifiers.control && control != nullptr)
            host_->SetOtherKeyAreasOnOff(subject->GetTag(0), control->GetValue() != 0.0);
        break;
    default:
        break;
    }
}

// ---- the parameter road ---------------------------------------------------------------------------

void UIEventHandler::OnParameterChanged(int i, double v)
{
    if (host_ == nullptr || keyAreas_ == nullptr || !std::isfinite(v)) return;
    const int t = Trunc(v);

    // Scene end: the area's last scene step.
    if (PerAreaIndex(i, kSceneEnd))
    {
        if (PatternEngine* area = Area(i - kSceneEnd))
            area->SetSceneEnd(std::clamp(t, 0, kSceneStepCount - 1));
    }
    // Scene steps of the three scene blocks.
    for (int base : {kSceneStepLength, kSceneStepPattern, kSceneStepRepeat})
        if (InBlock(i, base, kAreaCount * kSceneStepCount))
            ApplyParameterToEngine(base, i, v, kPerSceneArea, false);

    bool rate = false;
    if (PerPatternIndex(i, kRate))
    {
        ApplyRate((i - kRate) / kPatternCount, (i - kRate) % kPatternCount, v);
        rate = true;
    }
    else if (!ApplyAreaParameter(i, v) && !ApplyPatternParameter(i, v))
    {
        ApplyGlobalParameter(i, v);
    }
    if (informationEnabled_ && !rate) ShowParameterInfo(i, v);
}

void UIEventHandler::ApplyRate(int area, int pattern, double v)
{
    PatternEngine* engine = Area(area);
    if (engine == nullptr) return;
    // The rate's values are whole choices; a host's single-precision value may land just below
    // one (8.9999995 for 9), so the nearest choice counts rather than the truncated one.
    const int t = RoundAway(v);
    engine->GetStepper().SetPatternRate(pattern, RateBeats(t));
    // The rate writes its own information text, so it obeys the same switch as the others.
    const char* text = RateText(t);
    if (informationEnabled_ && text != nullptr) ReplaceText(text);
}

namespace
{
// Blocks with one entry per key area.
constexpr int kAreaBlocks[] = {
    kKeyAreaOnOff,    kSceneOnOff, kArpOnNoteCount, kHoldSync,     kVolume,          kNoteRelease,
    kHoldTranspose,   kHoldBypass, kHold,           kVelocityMode, kMidiInChannel,   kMidiOutChannel,
    kKeyAreaPatterns, kStartNote,  kEndNote,        kBaseNote,     kSendControllers, kTriggerChordMemory};
constexpr int kAreaBlockCount = static_cast<int>(sizeof kAreaBlocks / sizeof kAreaBlocks[0]);
// Blocks with one entry per key area and pattern.
constexpr int kPatternBlocks[] = {kPatternSteps, kPatternGate, kRateFree,  kRateFreeToggle, kSortOrder,
                                  kSwing,        kOctaves,     kTranspose, kResetOnNewNote};
constexpr int kPatternBlockCount = static_cast<int>(sizeof kPatternBlocks / sizeof kPatternBlocks[0]);
constexpr int kLaneBlocks[] = {kLaneResetOnPatternReset, kLaneDirection};

// Which branch of the area and pattern decoding an index takes, worked out once per index by the
// range checks below (in their order) and kept: a state read sends every one of the tens of
// thousands of parameters through the decoding twice.
enum Route : int8_t
{
    kRouteNone = -1,
    // 0 .. kAreaBlockCount - 1: kAreaBlocks[route]
    kRouteAreaUnused = kAreaBlockCount, // 18134..18137, no engine setting
    kRouteStepOnOff,
    kRoutePatternBlock,                                        // + index into kPatternBlocks
    kRouteLaneBlock = kRoutePatternBlock + kPatternBlockCount, // + index into kLaneBlocks
    kRouteStepBlock = kRouteLaneBlock + 2,                     // + lane
    kRouteController = kRouteStepBlock + kNoteLaneCount,
};

Route FindAreaRoute(int i)
{
    for (int b = 0; b < kAreaBlockCount; ++b)
        if (PerAreaIndex(i, kAreaBlocks[b])) return static_cast<Route>(b);
    return PerAreaIndex(i, 18134) ? kRouteAreaUnused : kRouteNone;
}

Route FindPatternRoute(int i)
{
    if (i >= kStepOnOff && i <= kStepOnOffDecodedEnd) return kRouteStepOnOff;
    for (int b = 0; b < kPatternBlockCount; ++b)
        if (PerPatternIndex(i, kPatternBlocks[b])) return static_cast<Route>(kRoutePatternBlock + b);
    for (int b = 0; b < 2; ++b)
        if (InBlock(i, kLaneBlocks[b], kSlotCount * kLaneCount))
            return static_cast<Route>(kRouteLaneBlock + b);
    for (int lane = 0; lane < kNoteLaneCount; ++lane)
        if (InBlock(i, kStepBlockBase[lane], kSlotCount * kStepCount))
            return static_cast<Route>(kRouteStepBlock + lane);
    if (i >= kStepController && i <= kControllerBlockEnd) return kRouteController;
    return kRouteNone;
}

struct RouteTable
{
    Route area[kCount];
    Route pattern[kCount];
    RouteTable()
    {
        for (int i = 0; i < kCount; ++i)
        {
            area[i] = FindAreaRoute(i);
            pattern[i] = FindPatternRoute(i);
        }
    }
};

const RouteTable& Routes()
{
    static const RouteTable table; // built once, thread-safe
    return table;
}

Route AreaRoute(int i)
{
    return i >= 0 && i < kCount ? Routes().area[i] : FindAreaRoute(i);
}
Route PatternRoute(int i)
{
    return i >= 0 && i < kCount ? Routes().pattern[i] : FindPatternRoute(i);
}
} // namespace

bool UIEventHandler::ApplyAreaParameter(int i, double v)
{
    const Route route = AreaRoute(i);
    if (route == kRouteNone) return false;
    if (route != kRouteAreaUnused) ApplyParameterToEngine(kAreaBlocks[route], i, v, kPerArea, false);
    return true;
}

bool UIEventHandler::ApplyStepParameter(int i, double v)
{
    const Route route = PatternRoute(i);
    if (route != kRouteStepOnOff && route < kRouteStepBlock) return false;
    if (host_ == nullptr || keyAreas_ == nullptr || !std::isfinite(v)) return true;
    refreshCells_ = false;
    ApplyPatternParameter(i, v);
    refreshCells_ = true;
    return true;
}

bool UIEventHandler::ApplyPatternParameter(int i, double v)
{
    const Route route = PatternRoute(i);
    if (route == kRouteNone) return false;
    if (route == kRouteStepOnOff)
    {
        StepAddress a;
        DecodeStepOnOff(i, &a);
        if (PatternEngine* area = Area(a.area))
            area->GetStepper().SetStepLaneOn(a.pattern, a.lane, a.step, v == 1.0);
    }
    else if (route < kRouteLaneBlock)
        ApplyParameterToEngine(kPatternBlocks[route - kRoutePatternBlock], i, v, kPerPattern, false);
    else if (route < kRouteStepBlock)
        ApplyParameterToEngine(kLaneBlocks[route - kRouteLaneBlock], i, v, kPerLaneArea, true);
    else if (route < kRouteController)
        ApplyParameterToEngine(kStepBlockBase[route - kRouteStepBlock], i, v, kPerStepArea, false);
    else
        ApplyParameterToEngine(kStepController, i, v, kPerControllerArea, false);
    return true;
}

bool UIEventHandler::ApplyGlobalParameter(int i, double v)
{
    const int t = Trunc(v);
    switch (i)
    {
    case kPatternStepMode:
        host_->SelectLane(t);
        for (int s = 0; s < kStepCount; ++s)
            host_->UpdatePatternViewStep(t, s);
        return true;
    case kPatternControllerSelection:
        host_->SelectLane(t + kNoteLaneCount);
        for (int s = 0; s < kStepCount; ++s)
            host_->UpdatePatternViewStep(t + kNoteLaneCount, s);
        return true;
    case kSelectionTool:
        if (v == 1.0) host_->SetEditTool(1);
        return true;
    case kDrawTool:
        if (v == 1.0) host_->SetEditTool(0);
        return true;
    case kScaleMode:
        for (int a = 0; a < kAreaCount; ++a)
            Area(a)->GetScale().SetRoot(t);
        return true;
    case kKeyAreaSelection:
        host_->SelectKeyArea(t);
        keyAreas_->SelectForEditing(t);
        return true;
    case kScale:
        for (int a = 0; a < kAreaCount; ++a)
            Area(a)->GetScale().SetScale(t - 1);
        return true;
    case kScaleKey:
        for (int a = 0; a < kAreaCount; ++a)
            Area(a)->GetScale().SetBaseNote(t);
        return true;
    case kControllerTeachSelection:
        host_->SetCcLaneNumber(t);
        return true;
    case kControllerTeach:
        host_->SetCcTeachMode(v == 1.0);
        return true;
    default:
        return false;
    }
}

void UIEventHandler::ApplyParameterToEngine(int base, int i, double v, int n, bool lanes)
{
    if (n < 1 || i < base) return;
    const int d = i - base;
    const int a = d / n;
    const int r = d % n;
    PatternEngine* area = Area(a);
    if (area == nullptr) return;
    PatternStepper& stepper = area->GetStepper();
    const int t = Trunc(v);
    const bool on = v == 1.0;

    if (n == kPerArea)
    {
        switch (base)
        {
        case kKeyAreaOnOff:
            area->SetEnabled(on);
            break;
        case kSceneOnOff:
            area->SetSceneEnabled(on);
            host_->ShowScenesOn(a, on);
            break;
        case kArpOnNoteCount:
            area->SetArpOnNoteCount(Trunc(v + 1));
            break;
        case kHoldSync:
            area->SetHoldSyncSteps(Trunc(v + 1));
            break;
        case kVolume:
            area->SetVolume(v);
            break;
        case kNoteRelease:
            area->SetNoteRelease(on);
            break;
        case kHoldTranspose:
            area->SetHoldTranspose(on);
            break;
        case kHoldBypass:
            area->SetHoldBypass(on);
            break;
        case kHold:
            area->SetHold(on);
            break;
        case kVelocityMode:
            area->SetVelocityMode(t);
            break;
        case kMidiInChannel:
            area->SetMidiInChannel(t + 1);
            break;
        case kMidiOutChannel:
            area->SetMidiOutChannel(t + 1);
            break;
        case kKeyAreaPatterns:
            area->ChangePattern(t);
            if (a == host_->GetShownKeyArea()) host_->SelectEditedPattern(t);
            break;
        // The values count from the second MIDI octave: value 0 is MIDI note 12.
        case kStartNote:
            area->SetStartNote(t + 12);
            break;
        case kEndNote:
            area->SetEndNote(t + 13);
            break;
        case kBaseNote:
            area->SetBaseNote(t + 12);
            break;
        case kSendControllers:
            area->SetSendOnlyControllers(on);
            host_->ShowSendOnlyCcState(a);
            break;
        case kTriggerChordMemory:
            area->SetChordMemoryTrigger(on);
            host_->ShowTriggerChordMemoryState(a);
            break;
        default:
            break;
        }
        return;
    }
    if (n == kPerPattern)
    {
        const int p = r;
        switch (base)
        {
        case kPatternSteps:
            stepper.SetPatternLength(p, Trunc(v + 1));
            break;
        case kPatternGate:
            stepper.SetPatternGate(p, GateValue(v));
            break;
        case kRateFree:
            stepper.SetPatternFreeRateValue(p, v);
            break;
        case kRateFreeToggle:
            stepper.SetPatternFreeRate(p, on);
            host_->ShowFreeRateKnob(a, p, on);
            break;
        case kSortOrder:
            area->SetSortOrder(p, t);
            break;
        case kSwing:
            stepper.SetPatternSwing(p, v);
            break;
        case kOctaves:
            area->SetPatternOctaves(p, Trunc(v + 0.5));
            break;
        case kTranspose:
            stepper.SetPatternTranspose(p, RoundAway(v));
            break;
        case kResetOnNewNote:
            stepper.SetPatternResetOnNewNote(p, on);
            break;
        default:
            break;
        }
        return;
    }
    if (n == kPerSceneArea)
    {
        // The scene step is the rest within the area (0..15).
        const int k = r;
        if (base == kSceneStepLength)
            area->SetSceneStepField(k, 0, Trunc(v + 1));
        else if (base == kSceneStepPattern)
            area->SetSceneStepField(k, 1, t);
        else if (base == kSceneStepRepeat)
            area->SetSceneStepField(k, 2, t);
        return;
    }
    if (lanes)
    {
        const int p = r / kLaneCount;
        const int lane = r % kLaneCount;
        if (base == kLaneResetOnPatternReset)
            stepper.SetLaneResetOnPatternReset(p, lane, on);
        else if (base == kLaneDirection)
            stepper.SetLaneDirection(p, lane, t);
        return;
    }

    // Step blocks: a lane of values (384 per area) or the controller block.
    const int step = d % kStepCount;
    if (n == kPerControllerArea)
    {
        if (base != kStepController) return;
        const int p = r / 256;
        stepper.SetStepCC(p, step, (d / kStepCount) % 8, t);
    }
    else
    {
        const int p = r / kStepCount;
        switch (base)
        {
        case kStepLength:
            stepper.SetStepLength(p, step, v);
            break;
        case kStepGate:
            stepper.SetStepGate(p, step, GateValue(v));
            break;
        case kStepAccent:
            stepper.SetStepAccent(p, step, v);
            break;
        case kStepTranspose:
            stepper.SetStepTranspose(p, step, t);
            break;
        case kStepDiv:
            stepper.SetStepDiv(p, step, v + 1);
            break;
        case kStepShift:
            stepper.SetStepShift(p, step, v);
            break;
        case kStepNoteList:
            stepper.SetStepNoteChoice(p, step, t);
            break;
        case kStepChord:
            stepper.SetStepChord(p, step, t);
            break;
        case kStepSource:
            stepper.SetStepSource(p, step, t);
            break;
        default:
            return;
        }
    }
    const int lane = LaneOfParameterBlock(base, d);
    if (refreshCells_ && lane >= 0 && lane < kLaneCount) host_->UpdatePatternViewStep(lane, step);
}
