// IEditorWindow: the editor object on the Win32 window layer. It is the editor's child window
// (class "QuovaWndClass", title "Quova") inside the host's editor frame, with the window procedure
// that drives everything: a redraw timer (id 2, 1000 / frames-per-second ms) that completes text
// entry, collects the changed area and repaints it; painting from the drawing bitmap; mouse and
// key messages turned into the IGraphics dispatch operations; the native popup menu; the "EDIT"
// text field with its small state machine; message boxes, the web link, file and colour dialogs,
// folders, and the module's resources.
//
// Text entry states: 0 none, 1 editing (the field gained the focus), 2 shown over a repaint,
// 3 cancel requested (focus lost, a press elsewhere, the wheel, EndTextEntry), 4 commit requested
// (Enter). A request is carried out at the next timer tick, after which the state is 0.
//
// Threads: only the thread that owns the window (the host's user-interface thread). The count of
// open editor windows is module-wide: the window class exists while it is above 0. When a host
// calls the editor from several threads, the window layer's lock (platform/win32/WindowLayerLock.h)
// serialises them, and each thread that takes it becomes the thread of every open editor.
// Lifetime: the window exists between OpenEditorWindow and CloseEditorWindow (or WM_CLOSE, or the
// host destroying its frame); closing leaves the editor object and its controls intact. The
// destructor closes a window that is still open. Non-copyable.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/IString.h"
#include "gui/IGraphics.h"
#include "platform/types/Win32Types.h"

class IEditorWindow : public IGraphics
{
public:
    static constexpr const char* kWindowClassName = "QuovaWndClass";
    static constexpr const char* kWindowTitle = "Quova";
    static constexpr UINT_PTR kTimerId = 2;
    static constexpr int kEditFieldId = 99;
    // Characters read from a committed text field.
    static constexpr int kEnteredTextMax = 32;
    // More changed areas in one tick than this invalidate their bounding box instead.
    static constexpr size_t kMaxChangedParts = 8;

    enum TextEntryState : int32_t
    {
        kEntryNone = 0,
        kEntryEditing = 1,
        kEntryShown = 2,
        kEntryCancel = 3,
        kEntryCommit = 4
    };

    IEditorWindow(IEffectBase* plug, int width, int height, int framesPerSecond);
    // Closes the window when it is still open.
    ~IEditorWindow() override;

    // The module whose resources the editor reads and whose instance owns the window class (null:
    // the plug-in's own module). Set by the plug-in right after construction.
    void SetInstance(HINSTANCE instance) { instance_ = instance; }
    HINSTANCE GetInstance() const { return instance_; }

    // ---- IGraphics window-layer operations ------------------------------------------------------------
    // Creates the child window in parent (a host window). A window already open closes once the new
    // one exists, which takes its place and size; when the new one cannot be made (parent is not a
    // window), the open one stays as it was. Marks every control changed. The window, or null.
    void* OpenEditorWindow(void* parent) override;
    // Destroys the window (and an open text field) when one exists.
    void CloseEditorWindow() override;
    void* GetWindowHandle() override { return window_; }
    bool IsWindowOpen() override { return window_ != nullptr; }
    // BeginPaint, copy of rect from the drawing bitmap, EndPaint. False while closed.
    bool PresentBackBuffer(const IRectangle& rect) override;
    // Nothing when the size is unchanged. Else the editor is resized; an open window is resized by
    // the change, and so are its parent and grandparent when they are child windows (not for the
    // VST3 and RTAS interfaces); the whole editor is repainted.
    void SetEditorSize(int width, int height) override;
    IPopupMenu* ShowPopupMenu(IPopupMenu* menu, const IRectangle& rect) override;
    void ShowTextEntry(IControl* control, const ITextStyle& style, const IRectangle& rect, const char* text,
                       IParameter* parameter) override;
    void EndTextEntry() override
    {
        if (!OffEditorThread()) textEntryState_ = kEntryCancel;
    }
    int ShowAlert(const char* text, const char* caption, uint32_t type) override;
    bool OpenWebLink(const char* url, const char* caption, const char* confirmText,
                     const char* errorText) override;
    void GetHostPath(IString* path) override;
    void GetPluginPath(IString* path) override;
    void GetDesktopPath(IString* path) override;
    bool ShowFileDialog(bool save, const char* extensions, const char* startFolder, IString* path) override;
    bool ShowColorDialog(IColorARGB* colour) override;
    void HideCursor() override;
    void RestoreCursor() override;
    // The module's "TEXTFILE" resource id; its bytes are followed by a zero byte.
    const char* FindTextResource(int id, const char* name) override;
    // Null unless the name ends in ".png" (any case); else the module's "PNG" resource id decoded.
    RasterBitmap* DecodeBitmapResource(int id, const char* name) override;

    // ---- state, for the plug-in and for tests --------------------------------------------------------
    int GetTextEntryState() const { return textEntryState_; }
    HWND GetTextEntryWindow() const { return editWindow_; }
    IControl* GetEditedControl() const { return editedControl_; }
    // The host's top-level window (the top of the parent chain, or a window of the class found
    // before); null when unknown.
    HWND FindHostMainWindow();
    // Editor windows open in the process.
    static int OpenWindowCount();

    // ---- window procedures -----------------------------------------------------------------------------
    static LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    // Appends the entries of menu to the native menu (submenus recursively).
    static bool BuildMenu(const IPopupMenu* menu, HMENU native);
    static BOOL EnumProcessWindows(HWND hwnd, LPARAM lParam);
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleTimer(HWND hwnd);
    // Restores the field's procedure, destroys it and its font, clears the entry fields.
    void DestroyTextEntry();
    // The window was destroyed by someone else (the host's frame went away).
    void ForgetDestroyedWindow();
    // Registers the window class when no editor window is open yet; false on failure.
    bool AcquireWindowClass();
    // Lowers the open count; the last one unregisters the class.
    void ReleaseWindowClass();
    void GrowParents(int dw, int dh);
    IMouseModifiers ModifiersOf(WPARAM wParam) const;

    HINSTANCE instance_ = nullptr;
    HWND window_ = nullptr;
    HWND editWindow_ = nullptr;
    IControl* editedControl_ = nullptr;
    IParameter* editedParameter_ = nullptr;
    LONG_PTR editOldProc_ = 0;
    HFONT editFont_ = nullptr;
    int32_t textEntryState_ = kEntryNone;
    std::unique_ptr<COLORREF[]> customColours_;
    DWORD processId_ = 0;
    HWND parentWindow_ = nullptr;
    HWND hostMainWindow_ = nullptr;
    IString hostMainClass_;
    // The changed areas of the last tick (kept for its storage).
    std::vector<IRectangle> changedParts_;
};
