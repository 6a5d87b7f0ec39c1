// IEffectBase: the host-neutral plug-in. It owns the plug lock, the parameters, the presets, the
// channel records and buffers and the editor, and defines the virtual operations through which
// the host layer (IEffectVST) reaches the plug-in and the plug-in reaches the host.
//
// Life cycle: constructor (first phase) -> the plug-in class makes its members -> initialize
// (second phase, through IEffectVST::initialize) -> AttachEditor -> host calls -> destructor (editor
// first, then parameters, presets, channels; the lock last).
//
// Locking: every host entry holds the plug lock for the whole call; SetParameterFromGUI,
// SetParameterFromGUIPrompt, SerializeParams, UnserializeParams, WriteState and AttachEditor take
// it as well. The lock is recursive, so handlers may call back into the framework.
//
// Index of the sections below: construction; virtual operations (in table order); parameters and
// the editor road; channels and block processing; presets and blocks (IEffectBasePresets.cpp);
// versions and host.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/EffectEditor.h"
#include "framework/EffectLock.h"
#include "framework/EffectTypes.h"
#include "framework/HeapBuffer.h"
#include "framework/IMidiMessage.h"
#include "framework/IParameter.h"
#include "framework/IPreset.h"
#include "framework/IStateChunk.h"
#include "framework/PtrList.h"

class IEffectBase
{
public:
    static constexpr int kNameSize = 128;

    // ---- construction --------------------------------------------------------------------------
    // First phase: stores counts, version (0xMMMMmmbb), ids, latency, flags and the API code.
    // The texts and presetCount are used by the second phase only. hostId starts at -1,
    // sampleRate at 44100, blockSize at 0.
    IEffectBase(int hostVisibleCount, int parameterCount, const char* channelIOText, int presetCount,
                const char* effectName, const char* productName, const char* makerName, int version,
                int uniqueId, int makerId, int latency, bool doesMidi, bool usesChunks, bool isInstrument,
                int pluginApi);
    virtual ~IEffectBase();
    IEffectBase(const IEffectBase&) = delete;
    IEffectBase& operator=(const IEffectBase&) = delete;

    // Second phase: creates parameterCount parameters (those at or beyond hostVisibleCount are not
    // automated), presetCount uninitialised presets named "empty", copies the names (at most 127
    // characters), parses channelIOText ("in-out" pairs separated by single spaces; an unparsable
    // pair is a programming error: asserted, and skipped in release builds) and makes one channel
    // per input and output. Throws std::bad_alloc when memory runs out.
    void initialize(int hostVisibleCount, int parameterCount, const char* channelIOText, int presetCount,
                    const char* effectName, const char* productName, const char* makerName);

    // ---- virtual operations --------------------------------------------------------------------
    // Base: takes and releases the lock. Called after sample rate, block size or state changes.
    virtual void ResetProcessing();
    // Base: takes and releases the lock. A value was picked from a control's menu parameter.
    virtual void OnPromptedParameterChange(int controlListIndex, int parameterIndex, int menuParameterIndex,
                                           int x, int y);
    // Base: takes and releases the lock. Parameter parameterIndex has a new value.
    virtual void OnParameterChanged(int parameterIndex);
    // Processes one block. inputs/outputs hold one pointer per channel, each valid for frames
    // samples (frames <= blockSize). Base: copies input i to output i, zeroes the other outputs.
    virtual void ProcessAudioBlock(double** inputs, double** outputs, int frames);
    // The same on floats (nothing in the framework calls it).
    virtual void ProcessAudioBlockFloat(float** inputs, float** outputs, int frames);
    virtual void OnEditorOpened() {}
    virtual void OnEditorClosing() {}
    // Base: takes and releases the lock.
    virtual void OnActiveChanged(bool active);
    // A MIDI message from the host, under the lock inside the process-events call.
    // Base: sends it straight back (SendMidiMessage).
    virtual void HandleMidiMessage(const IMidiMessage& message);
    // A system-exclusive message (unused).
    virtual void HandleSysExMessage() {}
    // Writes the display name of note (0..127) into text (textSize bytes). Base: "" and false.
    virtual bool GetMidiNoteName(int note, char* text, int textSize);
    // Appends the plug-in's state to chunk. Base: SerializeParams under the lock.
    virtual bool WriteState(IStateChunk* chunk);
    // Reads the plug-in's state at pos; returns the position behind it, or -1 when nothing could be
    // applied. The host layer never calls it with pos -1. Base: UnserializeParams.
    virtual int ReadState(const IStateChunk* chunk, int pos, bool skipKept);
    // Whether ReadState would take the state at pos, found without changing anything. A reader
    // that can tell answers kStateReadable or kStateRefused and then refuses nothing it called
    // readable; the default, kStateUnchecked, means a read may fail part-way (the VST layer then
    // keeps a copy of the state in force to put back).
    enum StateCheck
    {
        kStateRefused = 0,
        kStateReadable = 1,
        kStateUnchecked = -1
    };
    virtual StateCheck CheckState(const IStateChunk* /*chunk*/, int /*pos*/) { return kStateUnchecked; }
    // Whether ReadState ends with every control showing its parameter's value (effSetChunk then
    // does not refresh them once more). Base: false.
    virtual bool ReadStateRefreshesControls() const { return false; }
    virtual void ShowHostParameterMenu(int /*parameterIndex*/, int /*x*/, int /*y*/) {}
    // Host notifications, implemented by the host layer.
    virtual void BeginParameterEdit(int parameterIndex) = 0;
    virtual void NotifyHostOfParameterChange(int parameterIndex, double normalizedValue) = 0;
    virtual void EndParameterEdit(int parameterIndex) = 0;
    // Tells the host that the plug-in's state changed (audioMaster 42, update display): see
    // TellHostOfEditorEdits.
    virtual void NotifyHostOfPresetChange() = 0;
    // A key press in the editor (keyCode as the GUI toolkit numbers keys); true when handled.
    virtual bool OnKeyPressed(int /*x*/, int /*y*/, int /*keyCode*/) { return false; }
    // Host clock queries, implemented by the host layer (see IEffectVST for the fallbacks).
    virtual int64_t GetSamplePosition() = 0;
    virtual double GetHostTempo() = 0;
    virtual void GetTimeSignature(int* numerator, int* denominator) = 0;
    virtual void GetTransportInfo(ITransportInfo* info) = 0;
    virtual int GetHostId() { return hostId_; }
    virtual int GetPluginApi() { return pluginApi_; }
    // Sets the host-visible editor rectangle from the editor's size.
    virtual void ResizeEditor() = 0;
    // The index of a control that takes every mouse press (an open box; the editor gives it the
    // wheel and the keys too, IControl::OnInputTakenAsPress), or -1.
    virtual int GetMouseCaptureControl(int /*x*/, int /*y*/, const IMouseModifiers& /*modifiers*/)
    {
        return -1;
    }
    // Host-specific set-up, once, when the host opens the plug-in.
    virtual void AdaptToHost() {}
    // Under the lock: PrepareDrawing, then the editor is owned by the plug-in (an earlier one is
    // deleted). Null detaches and deletes the current editor.
    virtual void AttachEditor(IEffectEditor* editor);
    // Resizes every channel's scratch to frames doubles (zeroed) unless frames equals blockSize.
    // frames <= 0, or more than kMaxBlockSize, is ignored; on an allocation failure the old size
    // stays in force.
    virtual void ChangeBlockSize(int frames);
    virtual void ChangeLatency(int samples) { latency_ = samples; }
    // Sends one MIDI message to the host (inside a processing call); true when the host took it.
    virtual bool SendMidiMessage(const IMidiMessage& message) = 0;
    // Sends every IMidiMessage in the buffer; true when all were taken.
    virtual bool SendMidiMessages(const HeapBuffer& messages) = 0;
    // Appends the parameter block (8-byte little-endian double per parameter, in index order)
    // under the lock; true when the whole block was written.
    virtual bool SerializeParams(IStateChunk* chunk);
    // Reads a parameter block at pos under the lock: see IEffectBasePresets.cpp. Returns the position
    // behind the block or -1.
    virtual int UnserializeParams(const IStateChunk* chunk, int pos, bool skipKept);
    // Stores a value read from a parameter block: limited to the parameter's range, except that
    // the parameter's own default is stored as it is (a menu's "nothing chosen yet" lies outside its
    // range), so the state of a fresh instance reads back to the same bytes.
    static void ReadParameterValue(IParameter* parameter, double value)
    {
        const bool outside = value < parameter->GetMinimum() || value > parameter->GetMaximum();
        if (outside && value == parameter->GetDefault())
            parameter->SetValue(value);
        else
            parameter->SetLimitedValue(value);
    }
    // When an editor is attached: every control takes its parameter's value again.
    virtual void RedrawParameterControls();
    // Appends the preset block (name, initialised byte, block when initialised, per preset).
    virtual bool SerializePresets(IStateChunk* chunk);
    // Reads a preset block at pos into the presets (loading each initialised one), then loads the
    // current preset. Returns the position behind it or -1.
    virtual int UnserializePresets(const IStateChunk* chunk, int pos);
    // True when every parameter's value (as float) is within 1e-5 of values[start + index].
    virtual bool ParametersMatch(const double* values, int start);
    virtual void OnHostRenamedPreset() {}

    // ---- parameters and the editor road ---------------------------------------------------------
    static constexpr int kMaxBlockSize = 1 << 24;

    // The parameter at i, or null.
    IParameter* GetParameter(int i) const { return parameters_.Get(i); }
    int NParameters() const { return parameters_.Count(); }
    int HostVisibleCount() const { return hostVisibleCount_; }
    // A control changed parameter i to normalised n (limited to 0..1): under the lock, sets it,
    // reports it to the host when automatable and i < hostVisibleCount, then OnParameterChanged.
    // An invalid i is ignored.
    void SetParameterFromGUI(int i, double n);
    // A value picked from a control's menu parameter; see SetParameterFromGUI, then
    // OnPromptedParameterChange.
    void SetParameterFromGUIPrompt(int controlListIndex, int parameterIndex, int menuParameterIndex, double n,
                                   int x, int y);
    // OnParameterChanged for every parameter in index order, then ResetProcessing.
    void OnParametersReset();
    IEffectEditor* GetEditor() const { return editor_; }
    IEffectLock& GetLock() { return plugLock_; }

    // ---- the user's edits and the host ------------------------------------------------------------
    // A host saves the plug-in's state when the user saves the project, and asks before quitting
    // only when it knows the project changed: every edit of the saved state the user makes in the
    // editor is noted where it reaches the plug-in (SetParameterFromGUI, SetParameterFromGUIPrompt,
    // and NoteEditorEdit for the editor's other writes), and the editor's thread tells the host once
    // the gesture is over (TellHostOfEditorEdits at its tick), once for the whole gesture. What other
    // threads change (a state the host loads, what MIDI changes while playing) is not noted.
    //
    // True on the editor's thread while it handles the user's input (IEffectEditor). Any thread.
    bool UserIsEditing() const { return editor_ != nullptr && editor_->HandlesUserInput(); }
    // Notes an edit when the user is making it (UserIsEditing). Any thread.
    void NoteEditorEdit()
    {
        if (UserIsEditing()) NoteUserEdit();
    }
    // Whether setting the parameter from the editor changes the saved state. Base: true; a plug-in
    // answers false for buttons whose press changes nothing saved (a panic, opening a box), so
    // that the host is not told of a change that is none.
    virtual bool IsSavedEdit(int /*parameterIndex*/) const { return true; }
    // Notes an edit the user asked for that another thread carries out (a learn the user armed).
    // Any thread; never calls the host.
    void NoteUserEdit() { userEdited_.store(true, std::memory_order_release); }
    // True while an edit the user began is still being carried out (a preset loading on its
    // worker): the host hears of it when it is done. Base: false.
    virtual bool UserEditUnderway() { return false; }
    // When an edit was noted and none is underway: forgets the note and tells the host
    // (NotifyHostOfPresetChange). The editor's thread, between the user's gestures. True when the
    // host was told.
    bool TellHostOfEditorEdits();

    // ---- channels and block processing -----------------------------------------------------------
    // Stores the sample rate; values that are not finite, or below 1 kHz, are ignored.
    void ChangeSampleRate(double rate);
    double GetSampleRate() const { return sampleRate_; }
    int GetBlockSize() const { return blockSize_; }
    int GetLatency() const { return latency_; }
    // sampleRate x 60 / host tempo; 0.0 when the tempo is not above 0.
    double GetSamplesPerBeat();
    // True when a channel configuration matches (-1 matches any count).
    bool LegalIO(int inputs, int outputs) const;
    int NInChannels() const { return inputChannels_.Count(); }
    int NOutChannels() const { return outputChannels_.Count(); }
    bool IsInputConnected(int i) const;
    bool IsOutputConnected(int i) const;
    // Connect or disconnect channels first .. min(first + count, channel count) - 1 (negative first
    // or count are limited to 0). A disconnected channel's pointer is pointed at its own scratch.
    void ConnectInputChannels(int first, int count, bool connected);
    void ConnectOutputChannels(int first, int count, bool connected);
    // Bind the host's buffers of one block (frames <= blockSize) for connected channels in
    // first .. first + count - 1; host pointer j belongs to channel first + j. Null arrays or null
    // entries leave the channel on its scratch.
    void ConnectInputBuffersFloat(float** buffers, int first, int count, int frames);
    void ConnectInputBuffersDouble(double** buffers, int first, int count);
    void ConnectOutputBuffersFloat(float** buffers, int first, int count);
    void ConnectOutputBuffersDouble(double** buffers, int first, int count);
    // ProcessAudioBlock, then every connected float output's scratch copied (or added) into the
    // host's buffer. frames must be within 1..blockSize.
    void ProcessBuffersFloat(int frames);
    void ProcessBuffersAccumulating(int frames);
    // ProcessAudioBlock straight on the bound pointers.
    void ProcessBuffersDouble(int frames);
    // Input channels from the third on become unconnected.
    void ReduceToTwoChannels();

    // ---- presets (IEffectBasePresets.cpp) ----------------------------------------------------------
    int NPresets() const { return presets_.Count(); }
    int GetCurrentPresetIndex() const { return currentPreset_; }
    IPreset* GetPreset(int i) const { return presets_.Get(i); }
    // count times: the first uninitialised preset takes name ("Empty" for null) and the current
    // values.
    void FillPresets(const char* name, int count);
    void FillEmptyPresets() { FillPresets("Empty", NPresets()); }
    // Makes preset i current (see IEffectBasePresets.cpp); false when i is invalid or its block
    // cannot be read.
    bool LoadPreset(int i);
    // Stores the current values into the current preset; a non-empty name renames it.
    void ModifyCurrentPreset(const char* name = nullptr);
    // The name of preset i, or "" when i is out of range.
    const char* GetPresetName(int i) const;

    // ---- versions and host ------------------------------------------------------------------------
    // version (packed), or major x 10000 + minor x 100 + patch level.
    int GetEffectVersion(bool asDecimal) const;
    // "v%d.%d.%d" into text (always terminated).
    void GetEffectVersionText(char* text, int textSize) const;
    const char* GetEffectName() const { return effectName_; }
    const char* GetProductName() const { return productName_; }
    const char* GetMakerName() const { return makerName_; }
    int GetUniqueId() const { return uniqueId_; }
    int GetMakerId() const { return makerId_; }
    int GetHostVersion() const { return hostVersion_; }
    bool DoesMidi() const { return doesMidi_; }
    bool UsesChunks() const { return usesChunks_; }
    bool IsInstrument() const { return isInstrument_; }
    // hostId := FindHostId(productText); hostVersion := packedVersion.
    void SetHost(const char* productText, int packedVersion);

protected:
    // Fields: the lock first, so that it is destroyed last (every destructor before it may still
    // take it); then the identity and counts the first construction phase stores; then what the
    // second phase makes (parameters, presets, channels and their buffers) and the editor that
    // AttachEditor hands over.
    IEffectLock plugLock_;
    PtrList<IChannelIO> channelIOList_;
    int hostVisibleCount_;
    int parameterCount_;
    char effectName_[kNameSize] = {};
    char productName_[kNameSize] = {};
    char makerName_[kNameSize] = {};
    int uniqueId_;
    int makerId_;
    int version_;
    int pluginApi_;
    int hostId_ = kHostUninit;
    int hostVersion_ = 0;
    bool usesChunks_;
    bool isInstrument_;
    double sampleRate_ = 44100.0;
    int blockSize_ = 0;
    int latency_;
    bool doesMidi_;
    PtrList<IParameter> parameters_;                             // into the blocks below
    std::vector<std::unique_ptr<IParameter[]>> parameterBlocks_; // owns the parameters
    IEffectEditor* editor_ = nullptr;
    PtrList<IPreset> presets_;
    int currentPreset_ = 0;
    HeapBuffer inputPointers_;
    HeapBuffer outputPointers_;
    PtrList<IChannel> inputChannels_;
    PtrList<IChannel> outputChannels_;
    // An edit of the user's waits to be told to the host.
    std::atomic<bool> userEdited_{false};

private:
    static void ConnectChannels(PtrList<IChannel>& channels, int first, int count, bool connected);
    void FinishFloatOutputs(int frames, bool accumulate);
    double** InputPointers() const { return static_cast<double**>(inputPointers_.Data()); }
    double** OutputPointers() const { return static_cast<double**>(outputPointers_.Data()); }
};
