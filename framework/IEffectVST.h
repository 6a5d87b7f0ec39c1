// IEffectVST: binds IEffectBase to the VST 2.4 binary interface (platform/vst/VstAbi.h).
//
// Three thin layers: the C entry functions (static VST* members, filled into the effect record)
// check the record, take the plug lock for the whole call (the editor opcodes: see DispatchEditor),
// catch every exception and forward; Dispatch translates opcodes; IEffectBase keeps the life-cycle
// rules.
//
// Threads: the host calls the dispatcher, setParameter and getParameter from its user-interface
// thread and the processing entries from its audio thread, in any order; the plug lock
// serialises them. MIDI goes back to the host from inside the processing call holding the lock.
// The editor opcodes and effClose take the window layer's lock first (one per module copy): a
// host may open, idle and close editors from several threads, and every instance's editor shares
// the window layer and the X connection. Opening and closing the editor hold the plug lock only
// for the editor's own part, never while waiting for the X server, so the audio thread never waits
// for the server.
//
// Host chunk (little-endian): u32 tag 0x70666674, u32 version 0x00010000, [bank only: the preset
// block], then what WriteState appends. A chunk that does not begin with the tag is read as bare
// state from its first byte (program chunk). effSetChunk answers 1 only when the state was
// applied: a chunk cut short inside its header, with a version newer than ours, or whose preset
// block or state runs past its end or is refused by the reader changes nothing and answers 0.
//
// Index: construction; IEffectBase operations through the host; entries (IEffectVST.cpp);
// dispatcher, chunks, events (IEffectVSTDispatcher.cpp).
#pragma once

#include <cstdint>

#include "framework/IEffectBase.h"
#include "framework/IStateChunk.h"
#include "platform/vst/VstAbi.h"

class IEffectVST : public IEffectBase
{
public:
    static constexpr uint32_t kChunkTag = 0x70666674;     // bytes 74 66 66 70
    static constexpr uint32_t kChunkVersion = 0x00010000; // bytes 00 00 01 00
    static constexpr double kDefaultTempo = 120.0;        // when the host reports none
    static constexpr int kParamTextSize = 32;             // what parameter texts write into host buffers

    // First phase: the IEffectBase constructor with plug-in API 0 (VST2); keeps the host callback
    // (null is tolerated: every host call then answers 0).
    IEffectVST(VstHostCallback hostCallback, int hostVisibleCount, int parameterCount,
               const char* channelIOText, int presetCount, const char* effectName, const char* productName,
               const char* makerName, int version, int uniqueId, int makerId, int latency, bool doesMidi,
               bool usesChunks, bool isInstrument);
    ~IEffectVST() override;

    // Second phase: IEffectBase::initialize with the first phase's counts and the given texts; fills
    // the effect record (numParams = effectParamCount, numPrograms = presetCount), zeroes editRect,
    // sets the speaker arrangements, connects every channel and sets the block size to 1024.
    void initialize(int effectParamCount, const char* channelIOText, int presetCount, const char* effectName,
                    const char* productName, const char* makerName);

    // The record the module entry returns to the host; its object field points at this plug-in.
    AEffect* GetEffect() { return &effect_; }
    VstHostCallback GetHostCallback() const { return hostCallback_; }
    const ERect& GetEditRect() const { return editRect_; }

    // ---- IEffectBase operations through the host ---------------------------------------------------
    void BeginParameterEdit(int parameterIndex) override;                             // audioMaster 43
    void NotifyHostOfParameterChange(int parameterIndex, double normalized) override; // audioMaster 0
    void EndParameterEdit(int parameterIndex) override;                               // audioMaster 44
    void NotifyHostOfPresetChange() override;                                         // audioMaster 42
    // Sample position rounded to nearest (0 when negative or unknown), saturating.
    int64_t GetSamplePosition() override;
    // The host's tempo when it reports one that is 0 or more, else kDefaultTempo.
    double GetHostTempo() override;
    // The host's time signature when it reports one with both values above 0, else 4/4.
    void GetTimeSignature(int* numerator, int* denominator) override;
    // One query for position, tempo, bars, cycle and time signature; only valid fields are stored;
    // info stays unchanged when the host gives nothing.
    void GetTransportInfo(ITransportInfo* info) override;
    // Asks the host once (product text, then vendor version) and remembers the answer.
    int GetHostId() override;
    void ResizeEditor() override;
    // Once, at effOpen: host identification and the channel set-up for it.
    void AdaptToHost() override;
    // IEffectBase::AttachEditor, then the has-editor flag and the editor rectangle.
    void AttachEditor(IEffectEditor* editor) override;
    void ChangeLatency(int samples) override;
    // One-event list through audioMaster 8; true when the host answers 1.
    bool SendMidiMessage(const IMidiMessage& message) override;
    bool SendMidiMessages(const HeapBuffer& messages) override;

    // ---- entries of the effect record (any thread; each holds the plug lock) ----------------------
    static VstIntPtr VSTDispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                   void* ptr, float opt);
    static void VSTSetParameter(AEffect* effect, VstInt32 index, float value);
    static float VSTGetParameter(AEffect* effect, VstInt32 index);
    static void VSTProcessFloat(AEffect* effect, float** inputs, float** outputs, VstInt32 frames);
    static void VSTProcessAccumulating(AEffect* effect, float** inputs, float** outputs, VstInt32 frames);
    static void VSTProcessDouble(AEffect* effect, double** inputs, double** outputs, VstInt32 frames);

protected:
    // Calls the host; 0 when there is no callback.
    VstIntPtr HostCall(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    // Before a block: audioMaster 6 when the plug-in does MIDI, scratch grown when the host sends
    // more frames than the block size, then the block's buffers bound. False: do not process.
    bool PrepareProcessFloat(float** inputs, float** outputs, int frames);
    bool PrepareProcessDouble(double** inputs, double** outputs, int frames);
    // Hands an event back to the host in a one-event list.
    void ReturnEventToHost(VstEvent* event);
    // Empties chunk and appends tag and version.
    static void WriteChunkHeader(IStateChunk* chunk);
    // Reads the header at pos. With the tag: *version and pos + 8. Without it: *version 0 and pos.
    // When the chunk ends inside the header: -1.
    static int ReadChunkHeader(const IStateChunk* chunk, int pos, uint32_t* version);

    // The dispatcher's work, with the lock held (IEffectVSTDispatcher.cpp).
    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    // The editor in the host's window (IEffectVSTEditorFrame.cpp). A Linux host hands effEditOpen
    // an X11 window id: the editor then opens in a frame shown inside that window, and
    // effEditIdle does the window work on the host's user-interface thread.
    // The opcodes that reach the editor or the window layer: its rectangle, open, close, idle, the
    // older drawing, mouse and key calls, and the key and knob-mode calls.
    static bool IsEditorOpcode(VstInt32 opcode);
    // An editor opcode, under the window layer's lock (one per module copy, shared by every
    // instance's editor) and then the plug lock; effEditIdle without the plug lock, effEditOpen and
    // effEditClose with it only around the editor's own part (below). A host may call the editor
    // from any thread: the calls are serialised, and the calling thread is the editor's.
    VstIntPtr DispatchEditor(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    // Opens the editor in parent (a window of ours or an X11 window id); 1 on success, else 0.
    // Under the window layer's lock; the X work (the connection, the frame's X window) runs without
    // the plug lock, which is taken for reading the editor's size and for opening its window.
    VstIntPtr OpenEditor(void* parent);
    // Closes the editor (under the plug lock), then its frame (the X work, without it); 1 when an
    // editor exists. Under the window layer's lock.
    VstIntPtr CloseEditor();
    // One round of the frame's window work (events, timers, painting); 1 while a frame is open.
    // Runs without the plug lock, as a host's message loop delivers a window's messages.
    VstIntPtr EditorIdle();
    // Closes the editor's window and destroys its X11 frame, when it has one.
    void DropEditorFrame();

private:
    static IEffectVST* FromEffect(AEffect* effect);
    const VstTimeInfo* QueryTime(VstInt32 filter);
    VstIntPtr GetChunk(VstInt32 index, void* ptr);
    VstIntPtr SetChunk(VstInt32 index, VstIntPtr size, void* ptr);
    VstIntPtr ProcessEvents(void* ptr);
    VstIntPtr StringToParameter(VstInt32 index, const char* text);
    VstIntPtr CanDo(const char* text) const;
    VstIntPtr GetPinProperties(bool input, VstInt32 index, void* ptr) const;
    void SetSpeakerArrangement(VstIntPtr inputs, void* outputs);
    // End of a preset block that starts at pos, or -1 when it runs past the chunk.
    int PresetBlockEnd(const IStateChunk* chunk, int pos) const;
    void OutputSilence(float** outputs, int frames, bool accumulate) const;

    VstHostCallback hostCallback_;
    ERect editRect_{};     // the editor's size; written and read with the plug lock held
    ERect hostEditRect_{}; // editRect_ as effEditGetRect last handed it out: the host reads it unlocked
    // The frame the editor shows in inside a host's X11 window (a window handle), or null. Read and
    // written under the window layer's lock.
    void* editorFrame_ = nullptr;
    VstSpeakerArrangement inputArrangement_{};
    VstSpeakerArrangement outputArrangement_{};
    bool hostSetupDone_ = false;
    IStateChunk programChunk_;
    IStateChunk bankChunk_;
    AEffect effect_{};
};

// Speaker arrangement type for a channel count: 0 empty, 1 mono, 2 stereo, else user-defined.
VstInt32 ChannelCountToSpeakerArrangement(int channels);
