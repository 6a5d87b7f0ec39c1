#pragma once

#include "engine/Processor.h"
#include "engine/TransportState.h"
#include "framework/IPlugVST.h"
#include "plugin/GlobalSettings.h"
#include "plugin/PresetInfo.h"
#include "plugin/StateFormat.h"

#include <memory>
#include <string>
#include <vector>

class EngineHost;
class PatternEngine;
class TobelApp;

// The plug-in: joins the framework (IPlugVST), the arpeggiator engine and,
// later, the editor. It owns the engine holder, the engine's application
// object, the transport record the engine reads, the global options and the
// state format.
//
// Construction order (each step needs the ones before it): framework first
// phase with the identity below; the global options from the settings file;
// the engine holder; the framework's second phase (the effect record
// announces no parameters: the first 17080 only decide which changes are
// reported to the host as automation); the transport record from the host;
// the application object; the parameter definitions; the options applied.
// Destruction: the application object, then the engine holder, then the
// framework parts (the editor, the parameters, the lock last).
//
// Threads: every operation runs under the plug-in's lock, taken by the host
// entries of the framework; the public helpers below take it themselves.
class Tobel : public IPlugVST, public ProcessorListener
{
public:
    // Identity given to the framework.
    static constexpr int kVersion = 0x00010204; // 1.2.4
    static constexpr int kUniqueId = 846543157; // '2' 'u' '9' '5'
    static constexpr int kMakerId = ('T' << 24) | ('O' << 16) | ('B' << 8) | 'L';
    static constexpr const char* kEffectName = "Quova";
    static constexpr const char* kMakerName = "Tobel";
    static constexpr const char* kChannelIO = "0-2";
    static constexpr int kInitialBlockSize = 1024;

    // Builds a ready plug-in for the host callback (null is tolerated).
    // Throws std::bad_alloc when memory runs out; the module entry turns any
    // exception into a null effect.
    explicit Tobel(VstHostCallback host);
    ~Tobel() override;

    // The module entry's factory.
    static IPlugVST* Create(VstHostCallback host);

    // ---- overrides of the framework --------------------------------------------------------
    void ResetProcessing() override {}
    void OnParameterChanged(int parameterIndex) override;
    void OnPromptedParameterChange(int, int, int, int, int) override {}
    void ProcessAudioBlock(double** inputs, double** outputs, int frames) override;
    void OnEditorOpened() override {}
    void OnEditorClosing() override {}
    void OnActiveChanged(bool active) override;
    void HandleMidiMessage(const IMidiMessage& message) override;
    void HandleSysExMessage() override {}
    bool WriteState(IStateChunk* chunk) override;
    // Returns the position behind the state, or -1 when the state is refused
    // (truncated, hostile, or of a version other than 1..5); a refused state
    // changes nothing. skipKept: read from a preset file (the lock parameters
    // keep their values).
    int ReadState(const IStateChunk* chunk, int pos, bool skipKept) override;
    void ShowHostParameterMenu(int, int, int) override {}
    bool OnKeyPressed(int x, int y, int keyCode) override;
    int GetMouseCaptureControl(int, int, const IMouseModifiers&) override { return -1; }
    bool SendMidiMessages(const HeapBuffer&) override { return true; }
    bool ParametersMatch(const double*, int) override { return true; }
    void OnHostRenamedPreset() override {}

    // ---- the engine road -------------------------------------------------------------------
    // Generated notes of one piece of a block: each note-on (velocity moved by
    // the global volume, limited to 1..127) with its key area's controller
    // messages, each note-off with velocity 127, at the note's offset.
    void SendEvents(std::vector<OutputNote*>& notes) override;
    void NotifyPlaying(bool) override {}

    // ---- transport -------------------------------------------------------------------------
    // Fills the transport record from the host: sample rate, samples per beat
    // (120 bpm when the host gives no tempo), loop range in samples (rounded
    // half away from zero; loop end -1 without an active cycle), beat and
    // sample position (never negative), playing and loop flags.
    void UpdateTransportInfo();
    const TransportState& GetTransportState() const { return transport_; }

    // ---- state -----------------------------------------------------------------------------
    // Appends the whole state (version 5) under the lock; true when the
    // parameter block was written.
    bool WriteFullState(IStateChunk* chunk);
    // Back to the initial state: preset information cleared, every parameter
    // not kept out of preset loads at its default, lane loops 0..32; the
    // global options stay as they are.
    void ResetToInitialState();

    // ---- global options --------------------------------------------------------------------
    // A switch of the settings box changed option 0..6 to value (0.0 or 1.0):
    // the record follows, the option takes effect and the settings file is
    // rewritten at once. Other options are ignored.
    void SetGlobalOption(int option, double value);
    const GlobalSettings& GetGlobalSettings() const { return settings_; }

    // ---- what the state and the options reach (for the editor and tests) --------------------
    EngineHost& GetEngineHost() { return *engine_; }
    TobelApp* GetApp() const { return app_.get(); }
    const PresetInfo& GetPresetInfo() const { return presetInfo_; }
    void SetPresetInfo(const PresetInfo& info) { presetInfo_ = info; }
    const std::string& GetChordMemoryBoxName() const { return chordMemoryBoxName_; }
    // The name the chord-memory box shows (an empty name leaves it unchanged).
    void SetChordMemoryBoxName(const std::string& name);
    const std::string& GetPresetBoxName() const { return presetBoxName_; }
    const std::string& GetStatusText() const { return statusText_; }
    // Controller-lane numbers, index lane + 8 x key area; -1 none.
    int GetControllerLaneNumber(int index) const;
    bool SetControllerLaneNumber(int index, int number); // -1..127
    // The scene end (0..15) the engine uses for a key area.
    int GetSceneEnd(int area) const;
    bool IsEditorCompact() const { return editorCompact_; }
    bool NoteNamesEnabled() const { return noteNames_; }
    bool OnlyOrderOnOff() const { return onlyOrderOnOff_; }
    bool TransposeAsSemitones() const { return transposeAsSemitones_; }
    bool TransposeAllOutputNotes() const { return transposeAll_; }
    bool IsLoadingState() const { return stateLoading_; }

private:
    void DefineAllParameters();
    void ApplyGlobalOptions();
    void ApplyOption(int option, bool on);
    // Sets a parameter's value (limited to its range) and runs the change handler.
    void SetParameterValue(int index, double value);
    // Sets a parameter to a normalised value and runs the change handler, as a control does.
    void SetParameterNormalized(int index, double normalized);
    void SetEngineSceneEnd(int area, int step);
    void ApplyState(const IStateChunk& chunk, const quova::state::StateImage& image, bool skipKept);
    void UpgradeOldState(int version);
    void FillStateImage(quova::state::StateImage* image);
    PatternEngine* Area(int area) const;
    void SendToHost(int offset, uint8_t status, int data1, int data2);

    GlobalSettings settings_;
    TransportState transport_;
    std::unique_ptr<EngineHost> engine_;
    std::unique_ptr<TobelApp> app_;
    PresetInfo presetInfo_;
    std::string presetBoxName_ = "------";
    std::string chordMemoryBoxName_ = "------";
    std::string authorText_;
    std::string statusText_;
    int controllerLanes_[quova::state::kControllerLaneCount];
    int controllerTeachSlot_ = -1;
    int sceneEnd_[4] = {15, 15, 15, 15};
    bool editorCompact_ = false;
    bool noteNames_ = false;
    bool onlyOrderOnOff_ = false;
    bool transposeAsSemitones_ = false;
    bool transposeAll_ = false;
    bool gateLengthInSteps_ = false;
    bool stateLoading_ = false;
    int blockFrames_ = 0;                 // frames of the block being processed
    std::vector<IMidiMessage> passThrough_; // notes no key area took, sent after the engine ran
};
