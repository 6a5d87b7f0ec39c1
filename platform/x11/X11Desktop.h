#pragma once
// The X11 desktop: shows top-level windows of the headless window layer in X windows and feeds
// the user's pointer and keys back into the layer's input calls, so every window, control and
// message above the layer works unchanged. The layer keeps the windows, their surfaces and the
// message loop; this desktop only presents pixels (XPutImage of the changed part) and turns X
// events into the layer's input (screen points: the shown window's place in the layer plus the
// X event's point inside the X window).
//
// Shown windows are of two kinds: editor frames (an X child of a host's window, see
// EditorFrames.h) and modal dialogs (transient X top-level windows). Popup menus are X
// override-redirect windows of their own (NativeMenu.h).
//
// Threads: the thread that holds the window layer's lock (platform/win32/WindowLayerLock.h); no X
// call on our connection is made without it.

#include "platform/types/Win32Types.h"
#include "platform/win32/NativeDesktop.h"

#include <X11/Xlib.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace quova::x11
{

struct ShownWindow
{
    enum class Kind
    {
        Frame,
        Dialog
    };
    Kind kind = Kind::Frame;
    HWND top = nullptr;    // the layer's top-level window shown
    Window xwin = 0;       // the X window showing it
    bool xwinAlive = true; // false once the X window was destroyed by someone else
    int width = 0;         // size of the X window and of the image
    int height = 0;
    std::vector<uint32_t> pixels;
    XImage* image = nullptr;
    GC gc = nullptr;
    // The areas to send at the next present: disjoint rectangles, each sent on its own.
    std::vector<RECT> damage;
    bool wholePresented = false; // a present covered the whole window once
    HWND focus = nullptr;        // the layer's window that last had the keys inside `top`
    // The X window's size as last asked for or reported by the server: the image's, unless someone
    // else resized our window.
    int xwinWidth = 0;
    int xwinHeight = 0;
    bool bandFilled = false; // the part of a larger X window outside the image was filled
    std::function<void(int, int)> onResize;
};

class X11Desktop final : public win32::NativeDesktop
{
public:
    static X11Desktop& Instance();

    // Starts showing `top` in the X window `xwin` (made by the caller, who destroys it after
    // Forget); installs the desktop in the window layer while anything is shown.
    ShownWindow* Show(ShownWindow::Kind kind, HWND top, Window xwin, int width, int height);
    void Forget(ShownWindow* shown);
    ShownWindow* FindByTop(HWND top) const;
    ShownWindow* FindByWindow(Window xwin) const;
    size_t ShownCount() const { return shown_.size(); }

    // One round of the user-interface thread's work: X events read and turned into input, the
    // layer's messages and due timers delivered, sizes followed, changed pixels presented.
    void Idle();
    // Like Idle, but waits up to timeoutMs for an X event first, and lets only `modal` (and X
    // windows outside the layer) take input. Returns after one round.
    void ModalRound(HWND modal, int timeoutMs);
    // Hands X events of windows that are not shown windows (menus) to a handler while it is set.
    void SetForeignEventHandler(std::function<void(XEvent&)> handler) { foreign_ = std::move(handler); }

    // The root-window point of a point of the layer's screen inside the shown window of `hwnd`.
    bool RootPoint(HWND hwnd, POINT screen, int& rootX, int& rootY) const;
    // The top-level window of the X window's ancestry (what a dialog is transient for): the nearest
    // ancestor a window manager manages (WM_STATE), else the child of the root.
    Window TopAncestor(Window xwin) const;
    // An X button (1..3) released where the layer did not see it (inside a menu, or over a window
    // a modal one blocks): when the layer counts it as held, the release reaches the layer at the
    // next round outside any menu (a release after a menu is swallowed there).
    void NoteReleaseElsewhere(int button);
    // Pixel bytes sent to the X server by the presents so far (for benchmarks).
    uint64_t PresentedBytes() const { return presentedBytes_; }

    // win32::NativeDesktop
    bool Shows(HWND top) override;
    UINT_PTR TrackMenu(const std::vector<win32::MenuEntrySnapshot>& entries, int x, int y,
                       const RECT& exclude, int minWidth, HWND owner) override;
    void RunModal(HWND dialog, const std::function<bool()>& ended) override;
    intptr_t Open(const std::string& operation, const std::string& file) override;
    void Damaged(HWND top, const RECT& area) override;

private:
    X11Desktop() = default;
    void HandleEvents(HWND modal);
    bool EventsMayWait(Display* d) const;
    void Handle(XEvent& event, HWND modal);
    void HandleInput(ShownWindow& s, XEvent& event);
    void NoteFocus();
    void TakeKeys(ShownWindow& s, POINT at);
    void FollowSizes();
    void PresentAll();
    void Present(ShownWindow& s);
    bool MakeImage(ShownWindow& s);
    void DropImage(ShownWindow& s);
    void FlushMenuReleases();
    // True when the pointer is over the part of the X window that shows the layer's window hwnd
    // (or when that cannot be told).
    bool PointerOver(HWND hwnd) const;
    // After a modal menu or dialog over owner: the layer is told that the pointer left when it is
    // no longer over owner's window.
    void EndModalPointer(HWND owner);
    void FillBands();

    std::vector<std::unique_ptr<ShownWindow>> shown_;
    std::function<void(XEvent&)> foreign_;
    std::vector<int> releasedElsewhere_;
    int menuDepth_ = 0; // menus running (nested in dialogs)
    uint64_t presentedBytes_ = 0;
    // The number the next request would have when the event round left the output buffer empty.
    unsigned long flushedUpTo_ = 0;
};

// Tells window managers and compositors what an X window of ours is (_NET_WM_WINDOW_TYPE, such as
// "_NET_WM_WINDOW_TYPE_POPUP_MENU"), so that they stack, decorate and place it as one.
void SetWindowType(Display* d, Window w, const char* type);

// The layer's virtual key for an X key symbol (US layout, unshifted), 0 when it has none.
int VirtualKeyOfKeysym(unsigned long keysym);

// A point of the layer's screen where no window is (the pointer "left").
inline constexpr POINT kNowhere{-32700, -32700};

} // namespace quova::x11
