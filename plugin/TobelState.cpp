// Tobel: the plug-in state (format version 5), the readers of versions 1 to 4
// and the reset to the initial state. Layout: StateFormat.h.
//
// A state is parsed and checked completely before anything is applied, so a
// truncated or hostile state is refused without a change to the plug-in.
#include "plugin/Tobel.h"

#include "plugin/ParameterTable.h"

#include "plugin/controls/PostedTextControl.h"
#include "presets/PresetHandler.h"

#include "engine/ChordMemory.h"
#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"
#include "views/ParameterIndex.h"
#include "views/UIEventHandler.h"

#include <algorithm>
#include <cstring>

using namespace quova;

namespace
{
bool IsOptionSwitch(int index)
{
    for (int option : param::kOptionSwitches)
        if (option == index) return true;
    return false;
}

// The step parameters: the step values of every lane (note lanes, then controller lanes) and the
// step on/off switches, nine in ten of all parameters, in three blocks of indices. Their change
// handler only writes the step's own field in the engine and refreshes a step cell of the
// pattern view.
struct IndexRange
{
    int first;
    int end; // exclusive
};
constexpr IndexRange kStepBlocks[] = {
    {param::kStepLength, param::kStepLength + param::kNoteLaneCount* param::kSlotCount* param::kStepCount},
    {param::kStepController, param::kStepController + 8 * param::kSlotCount* param::kStepCount},
    {param::kStepOnOff, param::kStepOnOff + param::kLaneCount* param::kSlotCount* param::kStepCount},
};
static_assert(kStepBlocks[0].end == param::kChordMemorySelection && kStepBlocks[1].end == 30461 &&
              kStepBlocks[2].end == param::kOptionSwitches[2]);

bool IsStepParameter(int index)
{
    for (const IndexRange& block : kStepBlocks)
        if (index >= block.first && index < block.end) return true;
    return false;
}

// Calls visit(first, end) for every range of indices in 0..count-1 between the step blocks
// (end exclusive, never empty), in index order.
template <class Visit> void ForEachRangeOutsideStepBlocks(int count, Visit visit)
{
    int first = 0;
    for (const IndexRange& block : kStepBlocks)
    {
        if (std::min(block.first, count) > first) visit(first, std::min(block.first, count));
        first = std::max(first, block.end);
    }
    if (count > first) visit(first, count);
}

// Calls visit(i) for every index 0..count-1 outside the step blocks, in index order.
template <class Visit> void ForEachOutsideStepBlocks(int count, Visit visit)
{
    ForEachRangeOutsideStepBlocks(count,
                                  [&visit](int first, int end)
                                  {
                                      for (int i = first; i < end; ++i)
                                          visit(i);
                                  });
}
} // namespace

// ---- writing ------------------------------------------------------------------------------------

void Tobel::FillStateImage(state::StateImage* image)
{
    image->editorCompact = editorCompact_ ? 1 : 0;
    image->info = presetInfo_;
    std::memset(image->chordMemoryName, 0, sizeof image->chordMemoryName);
    const std::string chordMemoryName = GetChordMemoryBoxName();
    std::memcpy(image->chordMemoryName, chordMemoryName.data(),
                std::min<size_t>(chordMemoryName.size(), state::kChordNameSize));

    const ChordMemory& chords = *engine_->GetChordMemory();
    image->slots.assign(state::kChordSlotCount, state::ChordSlot{});
    for (int s = 0; s < state::kChordSlotCount; ++s)
    {
        const NoteList& chord = chords.GetSlot(s)->Chord();
        image->slots[s].root = chord.RootNote();
        for (const NoteRecord* record : chord.Ordered())
            image->slots[s].notes.push_back(record->note);
    }
    for (int i = 0; i < state::kControllerLaneCount; ++i)
        image->controllerLanes[i] = controllerLanes_[i];
    for (int a = 0; a < param::kAreaCount; ++a)
    {
        const PatternStepper& stepper = Area(a)->GetStepper();
        for (int p = 0; p < param::kPatternCount; ++p)
            for (int l = 0; l < param::kLaneCount; ++l)
            {
                const ControlLooper* looper = stepper.GetLaneLooper(p, l);
                state::LaneLoop& loop = image->loops[state::LoopIndex(a, p, l)];
                loop.start = looper->LoopStart();
                loop.end = looper->LoopEnd();
                loop.on = 1;
            }
    }
    image->switches[0] = GetParameter(param::kOptionSwitches[GlobalSettings::kMidiNoteNames])->Value();
    image->switches[1] =
        GetParameter(param::kOptionSwitches[GlobalSettings::kStartNotesImmediately])->Value();
    image->switches[2] = GetParameter(param::kOptionSwitches[GlobalSettings::kUseOnlyOrderOnOff])->Value();
}

bool Tobel::WriteFullState(IStateChunk* chunk)
{
    if (chunk == nullptr) return false;
    IEffectLockGuard guard(plugLock_);
    state::StateImage image;
    FillStateImage(&image);
    state::AppendStateHead(*chunk, image);
    onlyOrderOnOff_ = image.switches[2] == 1.0;
    for (int a = 0; a < param::kAreaCount; ++a)
    {
        IParameter* sceneEnd = GetParameter(param::kSceneEnd + a);
        sceneEnd->SetNormalizedValue(sceneEnd->Normalize(GetSceneEnd(a)));
    }
    return SerializeParams(chunk);
}

bool Tobel::WriteState(IStateChunk* chunk)
{
    IEffectLockGuard guard(plugLock_);
    return WriteFullState(chunk);
}

// ---- reading ------------------------------------------------------------------------------------

int Tobel::ReadState(const IStateChunk* chunk, int pos, bool skipKept)
{
    if (chunk == nullptr) return -1;
    IEffectLockGuard guard(plugLock_);
    state::StateImage image;
    if (!state::ParseState(*chunk, pos, NParameters(), &image)) return -1;
    stateLoading_ = true;
    ApplyState(*chunk, image, skipKept);
    stateLoading_ = false;
    statusText_ = "-- WELCOME --";
    if (statusLine_ != nullptr) statusLine_->PostText(statusText_);
    return image.endPos;
}

IEffectBase::StateCheck Tobel::CheckState(const IStateChunk* chunk, int pos)
{
    if (chunk == nullptr) return kStateRefused;
    IEffectLockGuard guard(plugLock_);
    state::StateImage image;
    return state::ParseState(*chunk, pos, NParameters(), &image) ? kStateReadable : kStateRefused;
}

void Tobel::ApplyState(const IStateChunk& chunk, const state::StateImage& image, bool skipKept)
{
    // A state without a preset name leaves the preset box showing what it showed before the read
    // (for a preset file, the name of the file chosen), not the reset's "------".
    const std::string shownName = GetPresetBoxName();
    // The short road leaves out work whose effect a later step overwrites: the reset's handler
    // pass over the step parameters (the parameter block sets each of them again), and the step
    // cells of the pattern view until the read shows its lane again at the end.
    const bool shortRoad = !literalStateRead_;
    stepCellsDeferred_ = shortRoad;
    if (shortRoad)
        ResetBeforeRead();
    else
        ResetToInitialState(false);

    // Preset information: the name goes to the preset box, the author to its text.
    presetInfo_ = image.info;
    const std::string name(presetInfo_.name, strnlen(presetInfo_.name, sizeof presetInfo_.name));
    ShowPresetBoxName(name.empty() ? shownName : name);
    authorText_ = presetInfo_.author;
    if (authorLine_ != nullptr) authorLine_->PostText(authorText_);

    // Chord memory.
    SetChordMemoryBoxName(image.chordMemoryName);
    ChordMemory& chords = *engine_->GetChordMemory();
    chords.ClearAllSlots();
    for (size_t s = 0; s < image.slots.size(); ++s)
    {
        const int slot = static_cast<int>(s);
        chords.SetSlotRootNote(slot, image.slots[s].root);
        for (int32_t note : image.slots[s].notes)
            chords.SetSlotNote(slot, note, true);
    }

    for (int i = 0; i < state::kControllerLaneCount; ++i)
        controllerLanes_[i] = image.controllerLanes[i];

    for (int a = 0; a < param::kAreaCount; ++a)
    {
        PatternStepper& stepper = Area(a)->GetStepper();
        for (int p = 0; p < param::kPatternCount; ++p)
            for (int l = 0; l < param::kLaneCount; ++l)
            {
                const state::LaneLoop& loop = image.loops[state::LoopIndex(a, p, l)];
                ControlLooper* looper = stepper.GetLaneLooper(p, l);
                looper->SetLoopRange(loop.start, loop.end);
                looper->SetLength(loop.end - loop.start);
                looper->SetPosition(loop.start);
                stepper.SetLaneEnabled(p, l, loop.on != 0);
            }
    }

    // The option switches as the state held them; the global options win at the end.
    GetParameter(param::kOptionSwitches[GlobalSettings::kMidiNoteNames])->SetLimitedValue(image.switches[0]);
    GetParameter(param::kOptionSwitches[GlobalSettings::kStartNotesImmediately])
        ->SetLimitedValue(image.switches[1]);
    engine_->SetFlagByte(EngineHost::kStartNotesImmediately, image.switches[1] == 1.0);
    if (image.hasThirdSwitch)
    {
        GetParameter(param::kOptionSwitches[GlobalSettings::kUseOnlyOrderOnOff])
            ->SetLimitedValue(image.switches[2]);
        onlyOrderOnOff_ = image.switches[2] == 1.0;
    }

    if (shortRoad)
        ReadParameterBlock(chunk, image.parameterPos, skipKept);
    else
        UnserializeParams(&chunk, image.parameterPos, skipKept);
    // A button saved pressed (by a host, or by an older save) did not act and reads as released.
    for (int button : kMomentaryButtons)
        GetParameter(button)->SetValue(0.0);

    SetParameterValue(param::kSelectionTool, 0.0);
    SetParameterValue(param::kDrawTool, 1.0);
    // The short road refreshes the controls once, at the end: every later step of the read
    // keeps the controls it changes in step with their parameters.
    if (!shortRoad) RedrawParameterControls();

    UpgradeOldState(image.version, !shortRoad);

    // The lane selector below shows lane 0 again and refreshes each of its step cells.
    stepCellsDeferred_ = false;

    // The editor's selectors return to their first entries.
    SetParameterNormalized(param::kKeyAreaSelection, 0.0);
    for (int a = 0; a < param::kAreaCount; ++a)
        SetParameterNormalized(param::kKeyAreaPatterns + a, 0.0);
    SetParameterNormalized(param::kPatternStepMode, 0.0);
    SetParameterNormalized(param::kChordMemorySelection, 0.0);
    // The keyboard shows the slot's chord and root from the chord memory just read, also when the
    // selection was on slot 1 already.
    TellKeyboard();

    // A loaded project or preset never changes the machine-wide options.
    ApplyGlobalOptions();

    // Set without the change handler: choosing "-----" there would clear the
    // controller number of the current teach slot that the state just set.
    GetParameter(param::kControllerTeachSelection)->SetValue(0.0);
    if (editor_ != nullptr) editor_->UpdateParameterControls(param::kControllerTeachSelection, 0.0, true);
    if (shortRoad) RefreshControlsAfterRead(image.version);
}

void Tobel::RefreshControlsAfterRead(int version)
{
    // The controls of the step parameters took their values in ReadParameterBlock, except the
    // step switches older states set afterwards.
    if (editor_ == nullptr) return;
    if (version <= 2)
    {
        RedrawParameterControls();
        return;
    }
    readNormalised_.resize(static_cast<size_t>(NParameters()));
    ForEachRangeOutsideStepBlocks(
        NParameters(),
        [this](int first, int end)
        {
            for (int i = first; i < end; ++i)
                readNormalised_[static_cast<size_t>(i)] = GetParameter(i)->GetNormalizedValue();
            editor_->UpdateParameterControlsBlock(first, end - first, readNormalised_.data() + first);
        });
}

void Tobel::UpgradeOldState(int version, bool refreshControls)
{
    if (version <= 4)
    {
        // Note values counted from a different octave before version 5.
        for (int a = 0; a < param::kAreaCount; ++a)
            for (int base : {param::kBaseNote, param::kStartNote, param::kEndNote})
                SetParameterValue(base + a, GetParameter(base + a)->Value() + 24.0);
    }
    if (version == 1)
    {
        for (int a = 0; a < param::kAreaCount; ++a)
        {
            SetParameterNormalized(param::kSceneEnd + a, 1.0);
            SetEngineSceneEnd(a, 15);
        }
    }
    if (version <= 2)
    {
        // The per-lane step switches did not exist: lanes 1..8 play every
        // step, lane 0 follows the old per-step switch.
        for (int a = 0; a < param::kAreaCount; ++a)
        {
            PatternStepper& stepper = Area(a)->GetStepper();
            for (int p = 0; p < param::kPatternCount; ++p)
                for (int t = 0; t < param::kStepCount; ++t)
                {
                    for (int l = 1; l < param::kNoteLaneCount; ++l)
                    {
                        GetParameter(param::StepOnOff(a, p, l, t))->SetValue(1.0);
                        stepper.SetStepLaneOn(p, l, t, true);
                    }
                    const int old = param::kPatternStepSwitch + param::kStepCount * param::Slot(a, p) + t;
                    const bool on = GetParameter(old)->Value() != 0.0;
                    GetParameter(param::StepOnOff(a, p, 0, t))->SetValue(on ? 1.0 : 0.0);
                    stepper.SetStepLaneOn(p, 0, t, on);
                }
        }
        if (refreshControls) RedrawParameterControls();
    }
}

// ---- reset --------------------------------------------------------------------------------------

void Tobel::ResetToInitialState(bool refreshControls)
{
    IEffectLockGuard guard(plugLock_);
    ClearPresetInformation();
    for (int i = 0; i < NParameters(); ++i)
        ResetParameterToDefault(i);
    OnParametersReset();
    ResetLaneLoops();
    if (refreshControls) RedrawParameterControls();
}

void Tobel::ResetBeforeRead()
{
    // The step parameters are all set again from the parameter block, with their handler.
    ClearPresetInformation();
    ForEachOutsideStepBlocks(NParameters(), [this](int i) { ResetParameterToDefault(i); });
    ForEachOutsideStepBlocks(NParameters(), [this](int i) { OnParameterChanged(i); });
    ResetProcessing();
    ResetLaneLoops();
}

void Tobel::ReadParameterBlock(const IStateChunk& chunk, int pos, bool skipKept)
{
    // Every value first, as the handlers read other parameters; then the handlers in index order.
    // The step parameters go straight into the engine (the plug-in's own part of their road does
    // nothing for them, and their cells wait for the end of the read), with the values kept from
    // the first pass.
    const int count = NParameters();
    readValues_.resize(static_cast<size_t>(count));
    readNormalised_.resize(static_cast<size_t>(count));
    const uint8_t* block = chunk.Data() + pos;
    for (int i = 0; i < count; ++i)
    {
        double value;
        std::memcpy(&value, block + 8 * static_cast<size_t>(i), sizeof value);
        IParameter* parameter = GetParameter(i);
        if (!(skipKept && parameter->IsKeptOutOfPresetLoads())) ReadParameterValue(parameter, value);
        readValues_[static_cast<size_t>(i)] = parameter->Value();
        readNormalised_[static_cast<size_t>(i)] = parameter->GetNormalizedValue();
    }
    // The controls take the values in one sweep; nothing later in the read changes a step
    // parameter (RefreshControlsAfterRead does the others).
    if (editor_ != nullptr) editor_->UpdateParameterControlsBlock(0, count, readNormalised_.data());
    for (int i = 0; i < count; ++i)
    {
        if (events_ != nullptr && IsStepParameter(i))
            events_->ApplyStepParameter(i, readValues_[static_cast<size_t>(i)]);
        else
            OnParameterChanged(i);
    }
    ResetProcessing();
}

void Tobel::ClearPresetInformation()
{
    presetInfo_.Clear();
    authorText_.clear();
    presetBoxName_ = "------";
    if (presetBox_ != nullptr) presetBox_->ChangeText(presetBoxName_);
    if (authorLine_ != nullptr) authorLine_->PostText(authorText_);
}

void Tobel::ResetParameterToDefault(int index)
{
    IParameter* p = GetParameter(index);
    // The option switches mirror the machine-wide options, not the preset.
    if (p->IsKeptOutOfPresetLoads() || IsOptionSwitch(index)) return;
    p->SetNormalizedValue(p->Normalize(p->GetDefault()));
}

void Tobel::ResetLaneLoops()
{
    for (int a = 0; a < param::kAreaCount; ++a)
    {
        PatternStepper& stepper = Area(a)->GetStepper();
        for (int p = 0; p < param::kPatternCount; ++p)
            for (int l = 0; l < param::kLaneCount; ++l)
            {
                ControlLooper* looper = stepper.GetLaneLooper(p, l);
                looper->SetLoopRange(0, param::kStepCount);
                looper->SetLength(param::kStepCount);
                looper->SetPosition(0);
            }
    }
}
