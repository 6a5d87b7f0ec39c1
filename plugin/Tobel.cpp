// Tobel: construction, destruction, the global options, the host clock and
// the editor keys. The state lives in TobelState.cpp, the engine road in
// TobelMidi.cpp (MIDI in) and TobelProcess.cpp (blocks, generated notes).
#include "plugin/Tobel.h"

#include "engine/ActionDispatcher.h"
#include "engine/ChordMemory.h"
#include "engine/ControlTargetTable.h"
#include "engine/EngineDefaults.h"
#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"
#include "engine/Processor.h"
#include "gui/BitmapFont.h"
#include "gui/DoubleRadioButtonsListener.h"
#include "gui/IControl.h"
#include "gui/ICustomSwitchControl.h"
#include "gui/IEditorWindow.h"
#include "platform/resources/Resources.h"
#include "plugin/ChordTableReader.h"
#include "plugin/ControlRegistry.h"
#include "plugin/ControlZoneFile.h"
#include "plugin/ParameterTable.h"
#include "plugin/TobelPresetHost.h"
#include "plugin/TobelViewHost.h"
#include "plugin/controls/PostedTextControl.h"
#include "presets/PresetLoader.h"
#include "presets/SavePresetDialogs.h"
#include "views/ParameterIndex.h"
#include "views/UIEventHandler.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <mutex>

using namespace quova;

namespace
{
// Rounds half away from zero, as the host clock's loop range is rounded.
double RoundHalfAway(double v)
{
    return std::round(v);
}
} // namespace

Tobel::Tobel(VstHostCallback host)
    : IEffectVST(host, param::kHostVisibleCount, param::kCount, kChannelIO, 0, kEffectName, "", kMakerName,
                 kVersion, kUniqueId, kMakerId, 0, true, true, true)
{
    for (int& lane : controllerLanes_)
        lane = -1;
    controllerTeachSlot_ = -1;
    outbox_.reserve(kMessagesPerBlockReserve);

    ReadGlobalSettings(&settings_);
    engine_ = std::make_unique<EngineHost>(transport_);
    ApplyDefaultParameterState(*engine_);

    // The effect record announces no parameters; the host-visible count only
    // decides which changes are reported as automation.
    initialize(0, kChannelIO, 0, kEffectName, "", kMakerName);

    UpdateTransportInfo();
    app_ = std::make_unique<TobelApp>(transport_, *this, *engine_);
    registry_ = std::make_unique<ControlRegistry>();
    BuildControlZoneActions(*engine_->GetControlTargetTable());

    presetInfo_.Clear();
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    stepRandom_.seed(static_cast<unsigned>(((ms / 1000) % (1 << 20)) * 1000 + ms % 1000));

    // The editor object exists from here on (its window only when the host opens the editor);
    // the controls made below live in its control list.
    auto editor = std::make_unique<IEditorWindow>(this, kEditorWidth, kEditorHeight, 0);
    editor->SetHoverTracking(true);
    pendingGraphics_ = editor.get();

    // The skin rectangles and the chord table (the chord selector's texts need it), then the
    // fonts the controls draw with.
    ReadSkinLayout(&skin_, editor.get());
    ReadChordTable(engine_->GetChordMemory(), editor.get());
    LoadFonts(editor.get());

    DefineAllParameters();
    viewHost_ = std::make_unique<TobelViewHost>(*this);
    actionSink_ = std::make_unique<TobelActionSink>(*this);
    presetHost_ = std::make_unique<TobelPresetHost>(*this);
    presetLoader_ = std::make_unique<PresetLoader>(presetHost_.get());
    static std::once_flag dialogsRegistered;
    std::call_once(dialogsRegistered, [] { RegisterSavePresetDialogs(PluginModule()); });

    BuildEditor(editor.get());
    engine_->GetDispatcher()->SetSink(actionSink_.get());

    // Only key area 0, pattern 0 and its first lane show.
    for (int a = 0; a < param::kAreaCount; ++a)
        registry_->HideKeyArea(a);
    ShowPatternControls(GetEditedArea(), shownPattern_, true, shownLane_);

    IEffectVST::AttachEditor(editor.release());
    pendingGraphics_ = nullptr;
    ApplyGlobalOptions();
    // The controller-teach selection starts at "-----" without arming a teach slot.
    GetParameter(param::kControllerTeachSelection)->SetValue(0.0);
    if (editor_ != nullptr) editor_->RefreshParameterControls();
    SyncViews();
}

Tobel::~Tobel()
{
    // A preset load in progress ends first; it needs the lock, so it is not held here.
    presetLoader_.reset();
    // The editor's views keep pointers into the engine: the editor goes while
    // the engine still exists. Then the application object, which refers to
    // the engine holder, and last the holder itself. The engine's actions reach
    // the controls, so they stop first.
    engine_->GetDispatcher()->SetSink(nullptr);
    if (editor_ != nullptr) IEffectVST::AttachEditor(nullptr);
    patternView_ = nullptr;
    sceneView_ = nullptr;
    keyboard_ = nullptr;
    loopStrip_ = nullptr;
    chordSelector_ = nullptr;
    statusLine_ = nullptr;
    authorLine_ = nullptr;
    sendOnlyCcNote_ = nullptr;
    triggerCmNote_ = nullptr;
    presetBox_ = nullptr;
    chordMemoryBox_ = nullptr;
    infoBox_ = nullptr;
    settingsBox_ = nullptr;
    aboutImage_ = nullptr;
    versionText_ = nullptr;
    app_.reset();
    engine_.reset();
}

IEffectVST* Tobel::Create(VstHostCallback host)
{
    return new Tobel(host);
}

void Tobel::DefineAllParameters()
{
    std::vector<std::string> chordNames;
    const ChordMemory& chords = *engine_->GetChordMemory();
    for (int i = 0; i < chords.ChordTableSize(); ++i)
        chordNames.push_back(chords.GetChordTableEntry(i)->name);
    DefineParameters(*this, GetHostId(), chordNames);
}

PatternEngine* Tobel::Area(int area) const
{
    return engine_->GetKeyAreas()->GetArea(area);
}

// ---- parameters ---------------------------------------------------------------------------------

void Tobel::SetParameterValue(int index, double value)
{
    IParameter* p = GetParameter(index);
    if (p == nullptr) return;
    p->SetLimitedValue(value);
    if (editor_ != nullptr) editor_->UpdateParameterControls(index, p->GetNormalizedValue(), true);
    OnParameterChanged(index);
}

void Tobel::SetParameterNormalized(int index, double normalized)
{
    IParameter* p = GetParameter(index);
    if (p == nullptr) return;
    p->SetNormalizedValue(normalized);
    if (editor_ != nullptr) editor_->UpdateParameterControls(index, p->GetNormalizedValue(), true);
    OnParameterChanged(index);
}

void Tobel::SetEngineSceneEnd(int area, int step)
{
    if (PatternEngine* engine = Area(area)) engine->SetSceneEnd(step);
}

int Tobel::GetSceneEnd(int area) const
{
    // The engine's own end: the scene strip sets it directly, without the parameter.
    const PatternEngine* engine = Area(area);
    return engine != nullptr ? engine->GetSceneEnd() : -1;
}

int Tobel::GetControllerLaneNumber(int index) const
{
    return index >= 0 && index < state::kControllerLaneCount ? controllerLanes_[index] : -1;
}

bool Tobel::SetControllerLaneNumber(int index, int number)
{
    if (index < 0 || index >= state::kControllerLaneCount || number < -1 || number > 127) return false;
    IEffectLockGuard guard(plugLock_);
    controllerLanes_[index] = number;
    return true;
}

// ---- global options -----------------------------------------------------------------------------

void Tobel::ApplyOption(int option, bool on)
{
    switch (option)
    {
    case GlobalSettings::kMidiNoteNames:
        noteNames_ = on;
        break;
    case GlobalSettings::kStartNotesImmediately:
        engine_->SetFlagByte(EngineHost::kStartNotesImmediately, on);
        break;
    case GlobalSettings::kUseOnlyOrderOnOff:
        if (onlyOrderOnOff_ != on)
        {
            onlyOrderOnOff_ = on;
            // The shown lane's on/off switches depend on the option: show them again.
            SelectLane(shownLane_);
        }
        break;
    case GlobalSettings::kTransposeAsSemitones:
        transposeAsSemitones_ = on;
        for (int a = 0; a < param::kAreaCount; ++a)
            Area(a)->SetTransposeAsSemitones(on);
        break;
    case GlobalSettings::kTransposeAllOutputNotes:
        transposeAll_ = on;
        break;
    case GlobalSettings::kDisableControlZone:
        engine_->GetControlTargetTable()->SetZoneOn(!on);
        break;
    case GlobalSettings::kGateLengthInSteps:
        gateLengthInSteps_ = on;
        if (events_ != nullptr) events_->SetGateInSteps(on);
        ShowGateInSteps(on);
        for (int a = 0; a < param::kAreaCount; ++a)
            Area(a)->SetGateLengthInSteps(on);
        break;
    default:
        break;
    }
}

void Tobel::ApplyGlobalOptions()
{
    for (int i = 0; i < GlobalSettings::kOptionCount; ++i)
    {
        const bool on = settings_.Get(i);
        GetParameter(param::kOptionSwitches[i])->SetValue(on ? 1.0 : 0.0);
        if (editor_ != nullptr)
            editor_->UpdateParameterControls(param::kOptionSwitches[i], on ? 1.0 : 0.0, true);
        ApplyOption(i, on);
    }
}

void Tobel::SetGlobalOption(int option, double value)
{
    if (option < 0 || option >= GlobalSettings::kOptionCount) return;
    IEffectLockGuard guard(plugLock_);
    const bool on = value == 1.0;
    settings_.options[option] = on ? 1 : 0;
    GetParameter(param::kOptionSwitches[option])->SetValue(on ? 1.0 : 0.0);
    ApplyOption(option, on);
    WriteGlobalSettings(settings_);
}

// ---- host clock ---------------------------------------------------------------------------------

double Tobel::ReadHostClock(ITransportInfo* info)
{
    info->tempo = 120.0;
    info->numerator = 4;
    info->denominator = 4;
    info->samplePosition = -1.0;
    info->ppqPosition = -1.0;
    info->lastBarStart = -1.0;
    info->cycleStart = -1.0;
    info->cycleEnd = -1.0;
    info->playing = false;
    info->cycleActive = false;
    GetTransportInfo(info);

    // A host that gives no tempo (or 0) plays at 120 bpm: a zero here would make every beat
    // position infinite. No host offers more than 999 bpm; a faster tempo would multiply a block's
    // work without bound, so it counts as 999. Nor does one offer less than 1 bpm; a slower tempo
    // (a denormal, say) would put every sample position beyond any song, so it counts as 1.
    double samplesPerBeat = GetSamplesPerBeat();
    if (!(samplesPerBeat > 0.0 && std::isfinite(samplesPerBeat)))
    {
        const double tempo = info->tempo > 0.0 && std::isfinite(info->tempo) ? info->tempo : 120.0;
        samplesPerBeat = GetSampleRate() * 60.0 / tempo;
    }
    return std::clamp(samplesPerBeat, GetSampleRate() * 60.0 / kFastestTempo,
                      GetSampleRate() * 60.0 / kSlowestTempo);
}

void Tobel::UpdateTransportInfo()
{
    const double sampleRate = GetSampleRate();
    ITransportInfo info;
    const double samplesPerBeat = ReadHostClock(&info);

    const double loopStart = RoundHalfAway(info.cycleStart * samplesPerBeat);
    const double loopEnd = info.cycleActive ? RoundHalfAway(info.cycleEnd * samplesPerBeat) : -1.0;
    const double samplePosition = static_cast<double>(GetSamplePosition());

    transport_.playing = info.playing;
    transport_.loop = info.cycleActive;
    transport_.loopStart = RoundHalfAway(loopStart);
    transport_.loopEnd = RoundHalfAway(loopEnd);
    transport_.sampleRate = sampleRate;
    transport_.samplesPerBeat = samplesPerBeat;
    transport_.beatPosition = std::max(0.0, info.ppqPosition);
    transport_.samplePosition = std::max(0.0, samplePosition);
}

// ---- host notifications and editor keys -------------------------------------------------------

void Tobel::OnActiveChanged(bool)
{
    IEffectLockGuard guard(plugLock_);
}

bool Tobel::OnKeyPressed(int, int, int keyCode)
{
    IEffectLockGuard guard(plugLock_);
    // Letters A..Z are key codes 15..40, digits 0..9 are 5..14.
    auto letter = [](char c) { return 15 + (c - 'A'); };
    struct LaneKey
    {
        char key;
        double value;
    };
    static constexpr LaneKey kLaneKeys[] = {{'A', 0.0},  {'Q', 0.0},   {'W', 0.125}, {'Z', 0.125},
                                            {'E', 0.25}, {'R', 0.375}, {'T', 0.5},   {'Y', 0.625},
                                            {'U', 0.75}, {'I', 0.875}, {'O', 1.0}};
    for (const LaneKey& k : kLaneKeys)
        if (keyCode == letter(k.key))
        {
            // Through the lane buttons, so they show the lane chosen.
            if (IControl* lanes =
                    registry_ != nullptr ? registry_->FindGlobalControl(param::kPatternStepMode) : nullptr)
                lanes->SetValueByUser(k.value);
            else
                SetParameterFromGUI(param::kPatternStepMode, k.value);
            return true;
        }
    if (keyCode >= 6 && keyCode <= 9)
    {
        // Digits 1..4: pattern 1..4 of the edited key area.
        ShowCurrentPattern(keyCode - 6);
        return true;
    }
    struct ToolKey
    {
        int digit;
        int parameter;
    };
    static constexpr ToolKey kToolKeys[] = {{5, param::kDrawTool},  {6, param::kSelectionTool},
                                            {7, param::kRandomize}, {8, param::kClearTool},
                                            {9, param::kCopyTool},  {0, param::kPasteTool}};
    for (const ToolKey& k : kToolKeys)
        if (keyCode == 5 + k.digit)
        {
            // A press acts without leaving the button's parameter on: a saved 1.0 would count
            // as a press again when the state is read.
            ApplyParameter(k.parameter, 1.0);
            return true;
        }
    return false;
}
