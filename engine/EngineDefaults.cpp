#include "engine/EngineDefaults.h"

#include "engine/ControlTargetTable.h"
#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/Lanes.h"
#include "engine/PatternEngine.h"

#include <vector>

namespace quova
{
namespace
{
struct AreaRange
{
    int start;
    int end;
};
constexpr AreaRange kRanges[KeyAreaList::kAreaCount] = {{36, 59}, {60, 71}, {72, 83}, {84, 107}};
constexpr double kDefaultGate = -0.1; // the "Gate" parameter's -10 percent
constexpr double kSixteenth = 0.25;   // rate 1/16 in beats
constexpr int kStepsPerPattern = 32;
} // namespace

void ApplyDefaultParameterState(EngineHost& host)
{
    KeyAreaList& areas = *host.GetKeyAreas();
    for (int a = 0; a < KeyAreaList::kAreaCount; ++a)
    {
        PatternEngine& area = *areas.GetArea(a);
        area.SetMidiInChannel(1);
        area.SetMidiOutChannel(1);
        area.SetStartNote(kRanges[a].start);
        area.SetEndNote(kRanges[a].end);
        area.SetBaseNote(kRanges[a].start);
        area.SetVolume(0.0);
        area.SetVelocityMode(1);
        area.SetArpOnNoteCount(1);
        area.SetHoldSyncSteps(1);
        area.GetScale().SetScale(-1);
        for (int k = 0; k < PatternEngine::kSceneStepCount; ++k)
        {
            area.SetSceneStepField(k, 0, kStepsPerPattern);
            area.SetSceneStepField(k, 1, 0);
            area.SetSceneStepField(k, 2, 0);
        }
        area.SetSceneEnd(PatternEngine::kSceneStepCount - 1);
        PatternStepper& stepper = area.GetStepper();
        for (int p = 0; p < kPatternCount; ++p)
        {
            stepper.SetPatternLength(p, kStepsPerPattern);
            stepper.SetPatternGate(p, kDefaultGate);
            stepper.SetPatternRate(p, kSixteenth);
            stepper.SetPatternStepLength(p, kSixteenth);
            stepper.SetPatternFreeRateValue(p, 1.0);
            area.SetSortOrder(p, 0);
            area.SetPatternOctaves(p, 1);
            for (int s = 0; s < kStepCount; ++s)
                stepper.SetStepDiv(p, s, 1.0);
        }
        area.SetEnabled(a == 0);
    }
    areas.SelectForEditing(0);
    ControlTargetTable& zone = *host.GetControlTargetTable();
    zone.SetZoneOn(true);
    zone.SetSyncSteps(0);
    zone.SetActions(std::vector<int>(ControlTargetTable::kKeyCount, 0));
}
} // namespace quova
