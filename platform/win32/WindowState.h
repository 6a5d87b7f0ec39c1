#pragma once
// Internal records of the headless window layer: the window object, window classes, the update
// region and the layer's global state. Only the layer's own sources include this header.

#include "platform/gdi/Surface.h"
#include "platform/win32/Timer.h"
#include "platform/win32/Window.h"
#include "platform/win32/WindowSystem.h"

#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace quova::win32
{

// A set of disjoint rectangles (the update region of a window).
class Region
{
public:
    bool Empty() const { return rects_.empty(); }
    void Clear() { rects_.clear(); }
    // Adds r (nothing when r is empty).
    void Add(const RECT& r);
    // Removes r.
    void Subtract(const RECT& r);
    // Keeps only what lies inside r.
    void Intersect(const RECT& r);
    // The bounding box; all zero when empty.
    RECT Bounds() const;
    // Total area in pixels.
    long long Area() const;
    const std::vector<RECT>& Rects() const { return rects_; }

private:
    std::vector<RECT> rects_;
};

bool RectEmpty(const RECT& r);
RECT IntersectRects(const RECT& a, const RECT& b);

struct WindowClass
{
    std::string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    HCURSOR cursor = nullptr;
    bool builtIn = false;
    int windows = 0; // live windows of the class
};

// Per-class extra state of the built-in controls and of dialogs.
struct WindowExtra
{
    virtual ~WindowExtra() = default;
};

} // namespace quova::win32

struct PlatformWindow
{
    PlatformWindow() = default;
    PlatformWindow(const PlatformWindow&) = delete;
    PlatformWindow& operator=(const PlatformWindow&) = delete;

    std::shared_ptr<quova::win32::WindowClass> windowClass;
    std::string title;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;
    HWND owner = nullptr;       // a pop-up window's owner (GetParent answers it)
    std::vector<HWND> children; // z-order: the last one is on top
    RECT rect{};                // relative to the parent's client area (screen for top-level)
    LONG_PTR userData = 0;
    LONG_PTR id = 0;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    quova::win32::Region update;
    std::vector<RECT> painting; // the update region a BeginPaint took, until its EndPaint
    bool eraseRequested = false;
    PixelSurface surface;
    DWORD threadId = 0;
    bool destroying = false; // DestroyWindow is under way (WM_DESTROY being sent)
    bool destroyed = false;
    int dispatchDepth = 0; // procedure calls in progress on this window
    bool trackLeave = false;
    std::unique_ptr<quova::win32::WindowExtra> extra;
};

namespace quova::win32
{

struct Timer
{
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    UINT interval = 0;
    TIMERPROC proc = nullptr;
    uint64_t due = 0;
    uint64_t serial = 0; // order of creation, to break ties between timers due together
};

struct LastPress
{
    HWND hwnd = nullptr;
    MouseButton button = MouseButton::Left;
    POINT point{};
    uint64_t time = 0;
    bool valid = false;
};

struct WindowSystemState
{
    std::map<std::string, std::shared_ptr<WindowClass>> classes; // key: upper-case name
    std::set<HWND> live;
    std::vector<HWND> topLevel; // creation order; the last one is on top
    std::deque<MSG> queue;
    std::vector<Timer> timers;
    uint64_t timerSerial = 0;
    UINT_PTR nextThreadTimerId = 0x7000;
    HWND focus = nullptr;
    HWND capture = nullptr;
    POINT cursor{};
    int cursorCount = 0;
    HCURSOR currentCursor = nullptr;
    BYTE keys[256] = {};
    LastPress lastPress;
    bool swallowRelease[3] = {}; // per MouseButton: its release happened inside a popup menu
    std::map<std::string, int> registrations;
    std::map<std::string, int> unregistrations;
    bool virtualClock = false;
    uint64_t virtualNow = 0;
};

WindowSystemState& State();

// The live window behind a handle, or null (ERROR_INVALID_WINDOW_HANDLE set).
PlatformWindow* Lookup(HWND hwnd);
// The upper-case form of a class name, for lookups without case.
std::string ClassKey(const std::string& name);
std::string ClassNameOf(LPCSTR name);

// The window's client origin in screen coordinates.
POINT ScreenOrigin(const PlatformWindow* w);
// Width and height of a window.
inline int Width(const PlatformWindow* w)
{
    return w->rect.right - w->rect.left;
}
inline int Height(const PlatformWindow* w)
{
    return w->rect.bottom - w->rect.top;
}
// True when `ancestor` is w or one of its parents.
bool IsSelfOrAncestor(HWND ancestor, HWND w);

// Calls the window procedure with the dispatch bookkeeping that keeps a window destroyed inside
// its own procedure alive until the call returns.
LRESULT CallProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Frees windows whose destruction was deferred.
void CollectDestroyed();

// Built-in classes and their procedures.
inline constexpr const char* kDialogClassName = "#32770";
void RegisterBuiltInClasses(WindowSystemState& state);
LRESULT EditControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT ComboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT DialogWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The dialog manager (DialogManager.cpp). A key message taken from the queue for a dialog or an
// item in it goes to IsDialogMessageA of that dialog first; true when the dialog handled it (the
// loop then neither translates nor dispatches it).
bool RouteDialogKey(MSG& msg);
// Gives a dialog's item the keys; a text field gets them with its whole text selected.
void FocusDialogItem(HWND item);
// WM_NEXTDLGCTL: lParam TRUE gives the item wParam the keys; FALSE the next tab stop after the
// item that has them (wParam 0) or the one before it.
void MoveDialogFocus(HWND dialog, WPARAM wParam, LPARAM lParam);

// Timers, focus and capture of a window that is being destroyed.
void ForgetWindowTimers(HWND hwnd);
void ForgetWindowInput(HWND hwnd);
// The earliest due time of any timer; false when there is none.
bool NextTimerDue(uint64_t& due);
// Takes one due timer off as a WM_TIMER message (and reschedules it); false when none is due.
bool TakeDueTimer(MSG& msg);

// The character a key makes on a US layout with the current Shift and Control state; false when
// it makes none. And the key (with Shift or not) that types a character.
bool KeyToChar(int virtualKey, unsigned& ch);
bool CharToKey(unsigned ch, int& virtualKey, bool& shift);

// Scripts and records (Script.cpp).
void ResetScripts();

} // namespace quova::win32
