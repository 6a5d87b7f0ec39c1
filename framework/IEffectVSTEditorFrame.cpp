// IEffectVST: the editor opcodes, with the editor shown in a host's X11 window on Linux.
#include "framework/EffectEditor.h"
#include "framework/IEffectVST.h"
#include "framework/Trace.h"
#include "platform/win32/Window.h"
#include "platform/win32/WindowLayerLock.h"
#include "platform/x11/EditorFrames.h"

bool IEffectVST::IsEditorOpcode(VstInt32 opcode)
{
    return (opcode >= vst::effEditGetRect && opcode <= vst::effEditSleep) ||
           (opcode >= vst::effEditKeyDown && opcode <= vst::effSetEditKnob);
}

VstIntPtr IEffectVST::DispatchEditor(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    // The window layer's lock before the plug lock: an editor's tick, which any editor call may run
    // for every open editor, takes them in this order.
    quova::win32::WindowLayerGuard layer;
    if (opcode == vst::effEditIdle) return EditorIdle();
    TracePoint("IEffectVST::VSTDispatcher", __LINE__, "%d(%s):%d:%d", opcode, GetOpcodeName(opcode), index,
               static_cast<int>(value));
    switch (opcode)
    {
    case vst::effEditOpen:
    {
        const VstIntPtr answer = OpenEditor(ptr);
        // The first frame reaches the screen at once; the idle round takes each editor's plug lock
        // itself.
        if (answer == 1) EditorIdle();
        return answer;
    }
    case vst::effEditClose:
        return CloseEditor();
    default:
    {
        IEffectLockGuard guard(plugLock_);
        return Dispatch(opcode, index, value, ptr, opt);
    }
    }
}

// Opening and closing talk to the X server (the connection, the frame's X window, syncs), which
// may be slow or far away: that part runs under the window layer's lock alone, and the plug lock
// is held only for the editor's own part, so the audio thread never waits for the server.
VstIntPtr IEffectVST::OpenEditor(void* parent)
{
    int width = 0;
    int height = 0;
    {
        IEffectLockGuard guard(plugLock_);
        if (editor_ == nullptr) return 0;
        width = editor_->Width();
        height = editor_->Height();
    }
    HWND frame = nullptr;
    if (quova::x11::IsForeignWindowId(parent))
    {
        // The host's size-window answer is not needed: the frame follows the editor either way.
        frame = quova::x11::OpenFrame(reinterpret_cast<uintptr_t>(parent), width, height,
                                      [this](int w, int h) { HostCall(vst::audioMasterSizeWindow, w, h); });
        if (frame == nullptr) return 0;
        parent = frame;
    }
    bool opened = false;
    {
        IEffectLockGuard guard(plugLock_);
        opened = editor_->OpenEditorWindow(parent) != nullptr;
        if (opened)
        {
            // The editor's size may have changed since it was read (a state that another thread
            // loaded in between): the frame takes the size the editor opened at.
            if (frame != nullptr && (editor_->Width() != width || editor_->Height() != height))
                SetWindowPos(frame, nullptr, 0, 0, editor_->Width(), editor_->Height(),
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            OnEditorOpened();
        }
    }
    if (!opened)
    {
        if (frame != nullptr) quova::x11::CloseFrame(frame);
        return 0;
    }
    // An editor reopened elsewhere leaves its former frame empty.
    if (editorFrame_ != nullptr && editorFrame_ != frame)
        quova::x11::CloseFrame(static_cast<HWND>(editorFrame_));
    editorFrame_ = frame;
    return 1;
}

VstIntPtr IEffectVST::CloseEditor()
{
    // The user's last edits, before the editor's ticks end.
    TellHostOfEditorEdits();
    {
        IEffectLockGuard guard(plugLock_);
        if (editor_ == nullptr) return 0;
        OnEditorClosing();
        editor_->CloseEditorWindow();
    }
    DropEditorFrame();
    return 1;
}

void IEffectVST::DropEditorFrame()
{
    if (editorFrame_ == nullptr) return;
    quova::x11::CloseFrame(static_cast<HWND>(editorFrame_));
    editorFrame_ = nullptr;
}

VstIntPtr IEffectVST::EditorIdle()
{
    if (editorFrame_ == nullptr) return 0;
    quova::x11::Idle();
    return 1;
}
