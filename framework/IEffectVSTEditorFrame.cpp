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
    VstIntPtr answer = 0;
    {
        IEffectLockGuard guard(plugLock_);
        TracePoint("IEffectVST::VSTDispatcher", __LINE__, "%d(%s):%d:%d", opcode, GetOpcodeName(opcode),
                   index, static_cast<int>(value));
        answer = Dispatch(opcode, index, value, ptr, opt);
    }
    // The first frame reaches the screen at once; the idle round takes each editor's plug lock itself.
    if (opcode == vst::effEditOpen && answer == 1) EditorIdle();
    return answer;
}

VstIntPtr IEffectVST::OpenEditor(void* parent)
{
    if (editor_ == nullptr) return 0;
    HWND frame = nullptr;
    if (quova::x11::IsForeignWindowId(parent))
    {
        // The host's size-window answer is not needed: the frame follows the editor either way.
        frame = quova::x11::OpenFrame(
            reinterpret_cast<uintptr_t>(parent), editor_->Width(), editor_->Height(),
            [this](int width, int height) { HostCall(vst::audioMasterSizeWindow, width, height); });
        if (frame == nullptr) return 0;
        parent = frame;
    }
    if (editor_->OpenEditorWindow(parent) == nullptr)
    {
        if (frame != nullptr) quova::x11::CloseFrame(frame);
        return 0;
    }
    // An editor reopened elsewhere leaves its former frame empty.
    if (editorFrame_ != nullptr && editorFrame_ != frame)
        quova::x11::CloseFrame(static_cast<HWND>(editorFrame_));
    editorFrame_ = frame;
    OnEditorOpened();
    return 1;
}

VstIntPtr IEffectVST::CloseEditor()
{
    if (editor_ == nullptr) return 0;
    OnEditorClosing();
    editor_->CloseEditorWindow();
    DropEditorFrame();
    return 1;
}

void IEffectVST::DropEditorFrame()
{
    if (editorFrame_ == nullptr) return;
    if (editor_ != nullptr) editor_->CloseEditorWindow();
    quova::x11::CloseFrame(static_cast<HWND>(editorFrame_));
    editorFrame_ = nullptr;
}

VstIntPtr IEffectVST::EditorIdle()
{
    if (editorFrame_ == nullptr) return 0;
    quova::x11::Idle();
    return 1;
}
