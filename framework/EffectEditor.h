// IEffectEditor: what the framework needs of the plug-in's editor object. The GUI toolkit's editor
// object derives from it; the framework owns the attached editor and deletes it.
//
// Threads: UpdateParameterControls(Block) and RefreshParameterControls run on the host's thread under
// the plug lock and only store values in controls; the others run on the editor (user-interface)
// thread, also under the window layer's lock and then the plug lock when they come through a host
// entry (IEffectVST::DispatchEditor).
#pragma once

struct IMouseModifiers; // defined by the GUI toolkit

class IEffectEditor
{
public:
    IEffectEditor() = default;
    virtual ~IEffectEditor() = default;
    IEffectEditor(const IEffectEditor&) = delete;
    IEffectEditor& operator=(const IEffectEditor&) = delete;

    // Makes the drawing surfaces; called once when the editor is attached.
    virtual void PrepareDrawing() = 0;
    // Every control bound to parameter index receives the value (normalised through the parameter
    // first when isNormalised is false).
    virtual void UpdateParameterControls(int index, double value, bool isNormalised) = 0;
    // UpdateParameterControls(first + k, normalised[k], true) for k = 0 .. count - 1, in that order.
    // An editor may do it faster with the same result.
    virtual void UpdateParameterControlsBlock(int first, int count, const double* normalised)
    {
        for (int k = 0; k < count; ++k)
            UpdateParameterControls(first + k, normalised[k], true);
    }
    // Every control with a parameter receives its parameter's current normalised value.
    virtual void RefreshParameterControls() = 0;
    // Opens the editor window inside the host's parent window; returns the window or null.
    virtual void* OpenEditorWindow(void* parent) = 0;
    // Closes the window when one is open.
    virtual void CloseEditorWindow() = 0;
    // The editor's size in pixels.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // True on the editor's thread while it handles the user's input (a press, a drag, a key, a typed
    // value, a menu or dialog they opened): a change that reaches the plug-in then is the user's
    // edit. False on every other thread, and while the editor applies what other threads posted.
    // Any thread.
    virtual bool HandlesUserInput() const { return false; }
};
