#pragma once

#include "engine/EngineVersion.h"
#include "engine/ProcessorListener.h"
#include "engine/TransportState.h"
#include "framework/IEffectVST.h"
#include "gui/IBitmapStrip.h"
#include "gui/IObserverInterface.h"
#include "plugin/BlockContinuity.h"
#include "plugin/GlobalSettings.h"
#include "plugin/SkinLayout.h"
#include "plugin/StateFormat.h"
#include "presets/PresetInfo.h"

#include <array>
#include <atomic>
#include <memory>
#include <random>
#include <string>
#include <vector>

class BitmapFont;
class ChordMemoryPresetHandler;
class ControlLooper;
class ControlRegistry;
class DoubleRadioButtonsListener;
class EngineHost;
class IControl;
class IGraphics;
class IKeyboardControl;
class ILoopSelectionControl;
class InfoControl;
class ITextControl;
class PatternEngine;
class PatternView;
class PostedTextControl;
class PresetHandler;
class PresetLoader;
class SceneView;
class SettingsControl;
class TobelActionSink;
class TobelApp;
class TobelPresetHost;
class TobelViewHost;
class UIEventHandler;

// The plug-in: joins the framework (IEffectVST), the arpeggiator engine and the
// editor. It owns the engine holder, the engine's application object, the
// transport record the engine reads, the global options, the state format, the
// skin rectangles, the bitmap fonts, the event handler and the preset loader;
// the editor object owns the controls and views.
//
// Construction order (each step needs the ones before it): framework first
// phase with the identity below; the global options from the settings file;
// the engine holder; the framework's second phase (the effect record
// announces no parameters: the first 17080 only decide which changes are
// reported to the host as automation); the transport record from the host;
// the application object; the registry; the editor object with the skin,
// chord table, images and fonts from the module's resources; the parameter
// definitions; every control of the editor layout in its fixed order (MIDI
// learn stores control-list indices, so the order is part of every stored
// state); the editor attached; the options applied.
// Destruction: the preset loader (joined without the lock), then the editor
// with its controls, the application object, the engine holder, the fonts,
// and last the framework parts (the parameters, the lock).
//
// Threads: every operation runs under the plug-in's lock, taken by the host
// entries of the framework; the public helpers below take it themselves.
class Tobel : public IEffectVST, public ProcessorListener, public IObserverInterface
{
public:
    // Identity given to the framework.
    static constexpr int kVersion = quova::kVersionPacked; // from the project's VERSION
    static constexpr int kUniqueId = 846543157;            // '2' 'u' '9' '5'
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
    static IEffectVST* Create(VstHostCallback host);

    // ---- overrides of the framework --------------------------------------------------------
    void ResetProcessing() override {}
    void OnParameterChanged(int parameterIndex) override;
    // The pattern view's edit menus (TobelPrompts.cpp).
    void OnPromptedParameterChange(int controlIndex, int parameterIndex, int menuParameterIndex, int x,
                                   int y) override;
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
    // The checks of ReadState alone: a state it calls readable is never refused.
    StateCheck CheckState(const IStateChunk* chunk, int pos) override;
    // A state read skips work that a later step of the read overwrites. On, it runs every step
    // in full instead (the reset with every change handler, the parameter block with every change
    // handler again, each refresh of the controls): the reference the tests compare with.
    void SetLiteralStateRead(bool on) { literalStateRead_ = on; }
    // The short road ends with a refresh of every control.
    bool ReadStateRefreshesControls() const override { return !literalStateRead_; }
    void ShowHostParameterMenu(int, int, int) override {}
    bool OnKeyPressed(int x, int y, int keyCode) override;
    // While the information box, else the settings box, else the about image is visible, its
    // control index (it takes every press, and the wheel and the keys); else -1.
    int GetMouseCaptureControl(int x, int y, const IMouseModifiers& modifiers) override;
    bool SendMidiMessages(const HeapBuffer&) override { return true; }
    bool ParametersMatch(const double*, int) override { return true; }
    // A preset file is loading on the loader's worker: the host hears of the user's load once the
    // state is in.
    bool UserEditUnderway() override { return presetLoading_.load(); }
    // The copy tools, the panic and the information and settings buttons change nothing saved.
    bool IsSavedEdit(int parameterIndex) const override;
    void OnHostRenamedPreset() override {}

    // ---- the engine road -------------------------------------------------------------------
    // Generated notes of one piece of a block: each note-on (velocity moved by
    // the global volume, limited to 1..127) with its key area's controller
    // messages, each note-off with velocity 127, at the note's offset.
    void SendEvents(std::vector<OutputNote*>& notes) override;
    void NotifyPlaying(bool) override {}
    // A note no key area took at its frame goes to the host as it came: a note-on as its key, or
    // with "Transpose all output notes" as TransposedKey (the note is answered); a release as
    // sentAs when its note-on passed through, else as the note-on would go now.
    int PassThrough(const NoteEvent& note, double offset, int sentAs) override;
    // Lights the incoming-note indicators of the areas a key started.
    void AreasStarted(const int flags[NoteEvent::kAreaCount]) override;
    // A learned controller reaches its frame: its control takes the value.
    void LearnedController(int controller, int value) override { HandleLearnedController(controller, value); }
    // A panic reaches its frame (controller 123 from the host, the control zone's key or
    // RequestPanic), the one place it is carried out: controller 123 value 0 on channels 0..15,
    // after what was made before them at that frame (the messages listed before the panic, which
    // they silence) and before what comes after; the notes the engine sounds end there.
    void Panic(double offset) override;
    // A message to pass on (a controller no control learned, the pitch wheel, pressure, system
    // messages) reaches its frame.
    void PassMessage(int status, int data1, int data2, double offset) override;

    // ---- transport -------------------------------------------------------------------------
    // Fills the transport record from the host: sample rate, samples per beat
    // (120 bpm when the host gives no tempo), loop range in samples (rounded
    // half away from zero; loop end -1 without an active cycle), beat and
    // sample position (never negative), playing and loop flags.
    void UpdateTransportInfo();
    // Asks the host for its clock (120 bpm and 4/4 where it gives none) and returns the samples
    // per beat, never 0 or infinite, and never for a tempo above kFastestTempo or below
    // kSlowestTempo.
    double ReadHostClock(ITransportInfo* info);
    static constexpr double kFastestTempo = 999.0;
    static constexpr double kSlowestTempo = 1.0;
    const TransportState& GetTransportState() const { return transport_; }

    // ---- state -----------------------------------------------------------------------------
    // Appends the whole state (version 5) under the lock; true when the
    // parameter block was written.
    bool WriteFullState(IStateChunk* chunk);
    // Back to the initial state: preset information cleared, every parameter
    // not kept out of preset loads at its default, lane loops 0..32; the
    // global options stay as they are. A state read, which refreshes every
    // control after its parameter block anyway, leaves refreshControls off.
    void ResetToInitialState(bool refreshControls = true);
    // A preset file that holds its header and no state: the initial state, applied as a state
    // read applies one (no information texts meanwhile), with the preset box keeping its text.
    void ApplyEmptyPresetState();

    // ---- global options --------------------------------------------------------------------
    // A switch of the settings box changed option 0..6 to value (0.0 or 1.0):
    // the record follows, the option takes effect and the settings file is
    // rewritten at once. Other options are ignored.
    void SetGlobalOption(int option, double value);
    const GlobalSettings& GetGlobalSettings() const { return settings_; }

    // ---- what the state and the options reach (for the editor and tests) --------------------
    EngineHost& GetEngineHost() { return *engine_; }
    const PresetInfo& GetPresetInfo() const { return presetInfo_; }
    void SetPresetInfo(const PresetInfo& info) { presetInfo_ = info; }
    // The name the chord-memory box shows (the box's own text once the editor exists).
    std::string GetChordMemoryBoxName() const;
    // The name the chord-memory box shows (an empty name too).
    void SetChordMemoryBoxName(const std::string& name);
    std::string GetPresetBoxName() const;
    // The preset box shows text, whatever it is (the reset's "------" included).
    void ShowPresetBoxName(const std::string& text);
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

    // MIDI input, control zone and block processing ------------------------------------------
    // The editor object: made at construction (before the parameters are defined) and attached
    // at its end, so every control exists in its control list whether or not the window is open.
    static constexpr int kEditorWidth = 1000;
    static constexpr int kEditorHeight = 565;
    IGraphics* GetGraphics() const;
    // The controls filed by key area, pattern, lane and step (made at construction).
    ControlRegistry* GetControlRegistry() const { return registry_.get(); }

    // MIDI input (TobelMidi.cpp). Controller 1..119 (the pitch wheel's high byte counts as 119),
    // value 0..127: with MIDI learn armed, the controller's learn switch first takes the armed
    // control's index; then a mapped controller sets its control to value / 127 through the
    // control. True when a control took the value. The MIDI input decides whether a controller is
    // consumed when it arrives (DeferLearnedController); this runs at the message's frame, where
    // the answer is no longer needed.
    bool HandleLearnedController(int controller, int value);
    // As HandleLearnedController, but the control takes the value when the block reaches the
    // message's offset (through the note engine and LearnedController), as the notes around it do.
    // True when a control will take it.
    bool DeferLearnedController(int controller, int value, int offset);
    // Arms MIDI learn for the control at controlIndex of the editor's control list (-1 disarms).
    void ArmMidiLearn(int controlIndex);
    int GetLearnSlot() const { return learnSlot_; }
    // Maps controller 0..127 to the control at controlIndex (-1 unmaps) through the controller's
    // learn switch, so the host and the change handler are told. Other controllers are ignored.
    void SetLearnMapping(int controller, int controlIndex);
    // The control index a controller drives, -1 when none.
    int GetLearnMapping(int controller) const;
    // All notes off: the controller a panic sends on every channel, and the one that asks for a
    // panic when it comes in.
    static constexpr int kAllNotesOffController = 123;
    // A panic from the panic tool or the control zone's panic key: the note engine records it for
    // the next block's first frame (while it delivers the zone's key, for that key's frame), and
    // Panic carries it out there, as it does controller 123 from the host.
    void RequestPanic();
    // Controller teach: on, the teach slot becomes (selected controller lane + 8 x edited key
    // area) and the ramp goes out on that key area's MIDI output channel; off, slot -1.
    void SetCcTeachMode(bool on);
    // Stores value - 1 (value 0: none) as the controller number of the selected controller lane
    // of the edited key area; the teach slot follows that lane.
    void SetCcLaneNumber(int value);
    int GetCcTeachSlot() const { return controllerTeachSlot_; }
    // Host key names: "Pattern n" for 24..35, the zone action for 12..23, the key areas' own
    // names ("T1 C4;T2 E3") elsewhere; false while the option is off or nothing names the note.
    bool GetMidiNoteName(int note, char* text, int textSize) override;

    // Block processing (TobelProcess.cpp). One control change on channel 1..16 at offset.
    void SendControllerTeachValue(int value, int number, int offset, int channel);
    // Carries out a panic at once, at offset 0. Part of the class's interface, unused here: a
    // panic is asked for through RequestPanic or controller 123.
    void SendPanic() { Panic(0.0); }

private:
    // With MIDI learn armed, the controller's learn switch first takes the armed control; then the
    // control the controller drives (null: none).
    IControl* LearnedControl(int controller);
    // Hands a note-on or note-off to the note engine, which routes it at its frame (what no key
    // area takes comes back through PassThrough).
    void RouteNote(const IMidiMessage& message);
    // Hands a message to pass on unchanged to the note engine, which hands it back at its frame.
    void PassOn(const IMidiMessage& message);
    // The key itself, or with "Transpose all output notes" the key moved into key area 1's scale.
    int TransposedKey(int key) const;
    // Sends the block's messages to the host in time order and empties the outbox.
    void SendBlockOutbox();
    // Reads the host clock, places the block on the host's timeline (a jump back at the host's loop
    // noted) and fills the transport record; the block's position in *position, whether the engine
    // keeps its own clock in *ownPosition, the frames at its start that were played already in
    // *playedFrames.
    void PrepareBlockClock(int frames, double* position, bool* ownPosition, int* playedFrames);

    std::unique_ptr<ControlRegistry> registry_;
    IGraphics* pendingGraphics_ = nullptr; // the editor object until it is attached
    int learnSlot_ = -1;
    bool ccTeachMode_ = false;
    int ccTeachChannel_ = 1;
    double displayPulse_ = 0.0;
    bool processingStarted_ = false;
    quova::BlockContinuity continuity_;
    double ownBeatCounter_ = 0.0;
    // End of the MIDI block ---------------------------------------------------------------------

public:
    // Parameter changes and display setters --------------------------------------------------
    // (TobelParameters.cpp, TobelDisplay.cpp, TobelPrompts.cpp; the views' and the engine's
    // entries into the plug-in are TobelViewHost.h.) Every operation runs under the plug lock.

    // Applies parameter index with plain value: editor buttons and selectors act here (chord
    // memory, copy and paste, presets, panic, locks, control-zone sync, editor size, settings
    // box); every other change goes to the UIEventHandler (engine and information line).
    // Invalid indices and non-finite values are ignored.
    void ApplyParameter(int index, double value);
    UIEventHandler* GetEventHandler() const { return events_.get(); }

    // Display setters: each sets a control through IControl::SetValueByUser, so the parameter,
    // the host and the change handler follow (unless said otherwise). Areas 0..3, patterns 0..11,
    // lanes 0..16; other values are ignored.
    // The edited key area's "Key Area Patterns" selector shows pattern (value pattern / 11).
    void ShowCurrentPattern(int pattern);
    void ShowAreaCurrentPattern(int area, int pattern);
    // The edited key area's "Hold" switch := 1 when the engine's hold is off, else 0.
    void ShowHoldSwitch();
    // Its "Hold bypass" switch := 0 when hold bypass and hold are both on, else 1.
    void ShowHoldBypassSwitch();
    // The "Hold" / "Hold bypass" switch of a key area := on.
    void SetHoldSwitch(int area, bool on);
    void SetHoldBypassSwitch(int area, bool on);
    // The "Keyarea on/off" switches of every area but area := not flag.
    void SetOtherKeyAreasOnOff(int area, bool flag);
    // The key area's send-only-controllers / trigger-chord-memory parameter follows the flag of
    // its parameter; for the edited area the status line says "Sending only CC" / "Trigger CM"
    // when it is set and is emptied otherwise, and the key-area box's MODE notes follow.
    void ShowSendOnlyCcState(int area);
    void ShowTriggerChordMemoryState(int area);
    // The chord-memory slot selector := 0.
    void ResetChordMemorySelection();
    // Shows the "Rate Free mode" knob and hides the "Rate" knob of area and pattern (flag set),
    // or the reverse; only while that pattern's controls are shown.
    void ShowFreeRateKnob(int area, int pattern, bool flag);
    // Shows lane's controls (step cells and switches) of the edited key area and pattern and
    // hides the other lanes'. With "Use only ORDER on/off", lanes 1..8 show the ORDER lane's on/off
    // switches. A controller lane makes its number the teach slot and the controller-number
    // selector shows its number + 1 (0 when none), without touching the stored number.
    void SelectLane(int lane);
    // Makes area the edited key area (nothing when it already is): the old area's controls are
    // hidden and those of the new area's current pattern and the shown lane shown.
    void SelectKeyArea(int area);
    // Shows pattern's controls in the edited key area (the shown lane) and applies the lane again.
    void SelectEditedPattern(int pattern);
    void ShowEditedPattern(int pattern);
    // Shows or hides one pattern's controls (with lane when showing).
    void ShowPatternControls(int area, int pattern, bool show, int lane);
    // The pattern view's column step of lane from its parameter (edited key area and pattern),
    // and the loop strip from the lane's loop range when lane is the shown one.
    void UpdatePatternViewStep(int lane, int step);
    // 0 draw tool, 1 selection tool: the tool switches follow.
    void SetEditTool(int tool);
    // The step range the pattern view has selected (first > last or -1: none).
    void SetStepSelection(int first, int last);
    void ToggleAboutBox();
    // The status line's text, once processing has started.
    void ShowStatusText(const std::string& text);
    // Greys out (true) or restores the preset boxes' previous and next buttons and, per key area,
    // the MIDI channel and start, end and base note selectors.
    void GrayOutPresetControls(bool flag);

    // The edited key area, pattern and lane as the step grid shows them.
    int GetEditedArea() const;
    int GetShownPattern() const { return shownPattern_; }
    int GetShownLane() const { return shownLane_; }
    int GetEditTool() const { return editTool_; }
    // The settings box also closes itself (a press beside its switches): its own flag counts.
    bool IsSettingsBoxShown() const;
    bool IsAboutBoxShown() const { return aboutBoxShown_; }

    // Queries.
    double GetParameterValue(int index) const;
    // The value text of parameter index for value (empty when it has none).
    std::string GetParameterDisplayText(int index, double value) const;
    // The edited pattern's looper of lane, or null.
    ControlLooper* GetEditedLaneLooper(int lane);
    // Whether a step value of lane (0..16) of the edited key area and pattern differs from its
    // default; PatternHasEdits: the same over lanes 0..8 of pattern.
    bool LaneHasEdits(int lane) const;
    bool PatternHasEdits(int pattern) const;

private:
    // Step values copied by the copy tool or a menu, with the loop ranges of lanes 0..8.
    struct StepClipboard
    {
        int area = -1;
        int pattern = -1;
        int lane = -1;
        int first = -1; // -1: a whole lane
        int last = -1;
        HeapBuffer values{4096};
    };
    struct LoopRange
    {
        int start = 0;
        int end = 32;
    };
    struct PatternClipboard
    {
        int area = -1;
        int pattern = -1; // -1 for an area clipboard
        HeapBuffer values{4096};
        std::vector<LoopRange> loops; // lanes 0..8 of each copied pattern
    };

    // The control showing parameter index: area, pattern and global controls.
    IControl* FindParameterControl(int index) const;
    // Sets a parameter's value and its controls without running the change handler.
    void SetParameterQuietly(int index, double value);
    bool ApplyEditorButton(int index, double value);
    // The step grid's range selection, when it has one, becomes the step tools' selection.
    void TakeViewSelection();
    void RandomizeSteps();
    void CopySteps();
    void PasteSteps();
    void ResetStepsInRange();
    void LockPatternControls(int key, bool lock);
    void SetControlZoneSync(double value);
    using IEffectVST::ResizeEditor; // the host-side resize stays reachable beside this one
    void ResizeEditor(double value);
    // The selection's steps (all 32 when none) into *first and *last.
    void SelectedRange(int* first, int* last) const;
    std::vector<LoopRange> CollectLoops(int area, int pattern);
    void ApplyLoops(int area, int pattern, const std::vector<LoopRange>& loops, size_t offset);
    void HandleStepMenu(int entry, int x, int y, int controlIndex);
    void HandleAreaMenu(int entry);
    void HandlePatternMenu(int entry);
    // The step of the edited lane whose cell is the control at controlIndex, or -1.
    int StepAtPoint(int x, int y, int controlIndex) const;

    std::unique_ptr<UIEventHandler> events_;
    std::unique_ptr<TobelViewHost> viewHost_;
    std::unique_ptr<TobelActionSink> actionSink_;
    int shownPattern_ = 0;
    int shownLane_ = 0;
    int editTool_ = 0;
    int selectionFirst_ = -1;
    int selectionLast_ = -1;
    bool settingsBoxShown_ = false;
    bool aboutBoxShown_ = false;
    StepClipboard stepClipboard_;
    PatternClipboard patternClipboard_;
    PatternClipboard areaClipboard_;
    // End of the parameter block --------------------------------------------------------------

public:
    // The editor (TobelEditor.cpp, TobelEditorLayout.cpp) ------------------------------------
    // The five bitmap fonts, in the order they are made.
    enum FontId
    {
        kFont12 = 0,      // Calibri 12 px
        kFont10 = 1,      // Calibri 10 px
        kFont12White = 2, // Calibri 12 px white
        kFont14 = 3,      // Calibri 14 px
        kFont12Black = 4, // Calibri 12 px black
        kFontCount = 5
    };
    const SkinLayout& GetSkin() const { return skin_; }
    BitmapFont* GetFont(int id) const;
    PatternView* GetPatternView() const { return patternView_; }
    SceneView* GetSceneView() const { return sceneView_; }
    IKeyboardControl* GetKeyboard() const { return keyboard_; }
    ILoopSelectionControl* GetLoopStrip() const { return loopStrip_; }
    IControl* GetChordMemorySelector() const { return chordSelector_; }
    PresetHandler* GetPresetBox() const { return presetBox_; }
    ChordMemoryPresetHandler* GetChordMemoryBox() const { return chordMemoryBox_; }
    InfoControl* GetInfoBox() const { return infoBox_; }
    SettingsControl* GetSettingsBox() const { return settingsBox_; }
    IControl* GetAboutImage() const { return aboutImage_; }
    IControl* GetVersionText() const { return versionText_; }
    PostedTextControl* GetSendOnlyCcNote() const { return sendOnlyCcNote_; }
    PostedTextControl* GetTriggerChordMemoryNote() const { return triggerCmNote_; }
    PresetLoader* GetPresetLoader() const { return presetLoader_.get(); }

    // ---- IObserverInterface: the seven option switches of the settings box -------------------
    // A switch's new value becomes its global option (SetGlobalOption).
    void OnSubjectChanged(ISubject* subject) override;
    void OnSubjectMouseEvent(ISubject*, int, int, int, const IMouseModifiers&) override {}

    // ---- what the views and the preset library reach (TobelViewHost, TobelPresetHost) ---------
    // The step value control of (area, pattern, lane, step), or null.
    IControl* FindStepControl(int area, int pattern, int lane, int step) const;
    bool LaneHasEdits(int area, int pattern, int lane) const;
    bool PatternHasEdits(int area, int pattern) const;
    // Engine actions 0, 1, 2: the pattern view's note markers.
    void MarkNoteSounding(const OutputNote& note);
    void MarkNoteReleased(const OutputNote& note);
    void ClearNoteMarkers();
    // Engine actions 5 (+1) and 6 (-1): the preset box loads the next or previous preset.
    void StepPreset(int direction);
    // The about box's link (opened through the editor window).
    void OpenAboutLink();
    // The scene strip's scenes-on flag of the edited area.
    void ShowScenesOn(int area, bool on);
    // A chord-memory set was loaded: slot selector to 0, keyboard shows it.
    void OnChordMemorySetLoaded();
    // The preset information's four texts; the setter also shows the author.
    void SetPresetTexts(const PresetInfo& info);
    std::atomic<bool>& PresetLoadingFlag() { return presetLoading_; }
    void RedrawPatternView();

private:
    // The editor's contents, made by the constructor once the parameters are defined: the
    // background, the views and every control of the layout in its fixed order (MIDI learn
    // stores control-list indices, so the order is part of every stored state): global,
    // pattern, key-area, step-grid and box controls. LoadFonts runs earlier, before the
    // parameters, since the controls' texts need the fonts.
    void BuildEditor(IGraphics* graphics);
    void LoadFonts(IGraphics* graphics);
    void CreateGlobalControls(IGraphics* graphics);
    void CreatePatternControls(IGraphics* graphics);
    void CreateAreaControls(IGraphics* graphics);
    void CreateStepGridControls(IGraphics* graphics);
    void CreateBoxControls(IGraphics* graphics, std::unique_ptr<PatternView>& patternView);
    // A knob (frame per value of image) at the rectangle's corner for parameter index, with the
    // learn menu on a right press.
    IControl* CreateKnobControl(IGraphics* graphics, int skinPosition, int index, int imageId);
    // Tells the keyboard to show the slot the chord-memory selector names.
    void TellKeyboard();
    // While the editor's window is open on another thread, queues call(this, a, b) for that
    // thread's next tick and answers true: views are changed only there (IGraphics::MustPost).
    // False (nothing queued) when this thread may change them itself.
    bool PostToEditor(void (*call)(void* plug, int a, int b), int a = 0, int b = 0);
    // The pattern view, the loop strip and the scene strip show the edited area, pattern and lane.
    void SyncViews();
    // The MODE box's notes of the send-only-CC and trigger-CM flags of the edited area.
    void ShowKeyAreaModeNotes(int area);
    // The step grid numbers the gate lane in steps (on) or in its own units; a shown gate lane's
    // cells are given again.
    void ShowGateInSteps(bool on);
    // Binds the loop strip to the shown lane's looper and gives it the pattern's other 16 lane
    // loopers, which a Control drag writes as well.
    void BindLoopStrip();
    // Shows (or hides again) the information box with the preset's texts.
    void ShowPresetInfoBox();
    // Steps the preset box (box 0) or the chord-memory box (box 1) to its next or previous entry.
    void StepBox(int box, bool forward);

    SkinLayout skin_;
    std::array<IBitmapStrip, kFontCount> fontImages_{};
    std::array<std::unique_ptr<BitmapFont>, kFontCount> fonts_;
    PatternView* patternView_ = nullptr;
    SceneView* sceneView_ = nullptr;
    IKeyboardControl* keyboard_ = nullptr;
    ILoopSelectionControl* loopStrip_ = nullptr;
    IControl* chordSelector_ = nullptr;
    PostedTextControl* statusLine_ = nullptr;
    PostedTextControl* authorLine_ = nullptr;
    PostedTextControl* sendOnlyCcNote_ = nullptr;
    PostedTextControl* triggerCmNote_ = nullptr;
    PresetHandler* presetBox_ = nullptr;
    ChordMemoryPresetHandler* chordMemoryBox_ = nullptr;
    InfoControl* infoBox_ = nullptr;
    SettingsControl* settingsBox_ = nullptr;
    IControl* aboutImage_ = nullptr;
    IControl* versionText_ = nullptr;
    std::unique_ptr<DoubleRadioButtonsListener> laneButtonsListener_;
    std::unique_ptr<TobelPresetHost> presetHost_;
    std::unique_ptr<PresetLoader> presetLoader_;
    std::atomic<bool> presetLoading_{false};
    // End of the editor block ------------------------------------------------------------------

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
    void UpgradeOldState(int version, bool refreshControls);
    // The parts of a state read (TobelState.cpp).
    void ResetBeforeRead();
    void ReadParameterBlock(const IStateChunk& chunk, int pos, bool skipKept);
    void ClearPresetInformation();
    void ResetParameterToDefault(int index);
    void ResetLaneLoops();
    void RefreshControlsAfterRead(int version);
    void FillStateImage(quova::state::StateImage* image);
    PatternEngine* Area(int area) const;
    // Queues a message for the host at an offset of the block being processed; the block's end
    // sends it (SendBlockOutbox).
    void SendToHost(int offset, uint8_t status, int data1, int data2);

    GlobalSettings settings_;
    TransportState transport_;
    std::unique_ptr<EngineHost> engine_;
    std::unique_ptr<TobelApp> app_;
    PresetInfo presetInfo_;
    // The Randomize tool's draws: the instance's own generator, so that the host's rand() sequence
    // and other instances are left alone (seeded from the clock when the plug-in is made).
    std::minstd_rand stepRandom_;
    std::string presetBoxName_ = "------";
    std::string chordMemoryBoxName_ = "------";
    std::string authorText_;
    std::string statusText_;
    int controllerLanes_[quova::state::kControllerLaneCount];
    int controllerTeachSlot_ = -1;
    bool editorCompact_ = false;
    bool noteNames_ = false;
    bool onlyOrderOnOff_ = false;
    bool transposeAsSemitones_ = false;
    bool transposeAll_ = false;
    bool gateLengthInSteps_ = false;
    bool stateLoading_ = false;
    bool literalStateRead_ = false;
    bool stepCellsDeferred_ = false;     // during a state read: the pattern view's cells wait
    std::vector<double> readValues_;     // the parameter values of the state being read
    std::vector<double> readNormalised_; // their normalised values, for the controls
    int blockFrames_ = 0;                // frames of the block being processed
    // The messages of the block being processed, in the order they were made; room for a busy
    // block is made at construction, so the audio thread does not allocate for it.
    static constexpr size_t kMessagesPerBlockReserve = 4096;
    // Ordered by offset, then by sequence: the order they were made.
    struct OutboxEntry
    {
        IMidiMessage message;
        int sequence;
    };
    std::vector<OutboxEntry> outbox_;
};
