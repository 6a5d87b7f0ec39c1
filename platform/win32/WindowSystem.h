#pragma once
// The other side of the headless window layer: what a real desktop would supply. An input source
// (the test driver in platform/testing/, or a tool) moves the clock, feeds pointer and key events,
// runs the message loop, and scripts the answers of the user to menus, message boxes, dialogs and
// the shell; the layer records what it showed.
//
// Index
//   1. Clock and message loop
//   2. Pointer and keyboard input (turned into messages as the platform does)
//   3. Scripted answers: menus, message boxes, dialogs, file and colour dialogs, shell, registry
//   4. Records of what was shown
//   5. Inspection and reset
//
// Threads: the user-interface thread only, like the windows themselves.

#include "platform/types/Win32Types.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

struct PixelSurface;

namespace quova::win32
{

// ------------------------------------------------------------------------------------------------
// 1. Clock and message loop
// ------------------------------------------------------------------------------------------------

// Switches timers, GetTickCount and message times to a virtual clock (starting where the clock
// stands) or back to the real monotonic clock. The virtual clock moves only by AdvanceClock.
void UseVirtualClock(bool on);
bool IsClockVirtual();
// Milliseconds on the layer's clock.
uint64_t ClockNow();
// Moves the virtual clock forward by `ms`, stopping at every instant a timer comes due: there the
// due timers fire (one WM_TIMER each, in the order of their due times) and the queue is pumped.
// Returns the number of WM_TIMER messages delivered. Does nothing on the real clock.
int AdvanceClock(uint32_t ms);
// Delivers everything pending now: queued messages, due timers, then WM_PAINT to windows that
// need painting. Each timer fires and each window paints at most once per call (a timer due
// several times over fires once), so the call ends after a bounded amount of work: a window that
// never validates, or a timer whose handler outlasts its period, cannot hold it. Returns the number
// of messages delivered.
int PumpMessages();
// Runs the message loop on the real clock for `ms` milliseconds, sleeping while nothing is due.
void RunMessageLoopFor(uint32_t ms);

// ------------------------------------------------------------------------------------------------
// 2. Pointer and keyboard input
// ------------------------------------------------------------------------------------------------

enum class MouseButton
{
    Left,
    Right,
    Middle
};

// Moves the pointer to the screen point: WM_MOUSEMOVE to the capture window or to the window under
// the pointer (client coordinates as signed 16-bit values, wParam = buttons and Shift/Control
// held), and WM_MOUSELEAVE to a tracked window the pointer left. Then pumps the queue.
void InputMouseMove(int screenX, int screenY);
// Presses or releases a button at the screen point (the pointer moves there first without a
// WM_MOUSEMOVE). A press on a window of a CS_DBLCLKS class within the double-click time (500 ms
// on the clock) and 4 x 4 pixels of the previous press of the same button on the same window
// arrives as WM_xBUTTONDBLCLK. wParam holds the state after the event (a release no longer holds
// its own button). Then pumps the queue.
void InputMouseButton(MouseButton button, bool down, int screenX, int screenY);
// Turns the wheel by `delta` (WHEEL_DELTA = one notch forward) with the pointer at the screen
// point: WM_MOUSEWHEEL to the focus window (screen coordinates in lParam, delta in the high word
// of wParam, buttons and Shift/Control in the low word). Then pumps the queue.
void InputMouseWheel(int screenX, int screenY, int delta);
// Forgets the previous press, so the next press is a single press whatever the time.
void BreakDoubleClick();
// Presses or releases a key: the key state changes and WM_KEYDOWN / WM_KEYUP (WM_SYSKEYDOWN /
// WM_SYSKEYUP while Alt is held, or for Alt itself) goes to the focus window. Then pumps the queue.
// (Translation into WM_CHAR is the message loop's: see TranslateMessage; InputKey does it when
// `translate` is true.)
void InputKey(int virtualKey, bool down, bool translate = true);
// Types a text: each character a US keyboard has is pressed and released as its key (with Shift
// where needed), so the field sees WM_KEYDOWN, WM_CHAR, WM_KEYUP; any other character arrives as
// a WM_CHAR alone.
void InputText(const std::string& text);
// Sends one WM_CHAR of `ch` to the focus window without a key press, then pumps the queue.
void InputChar(unsigned ch);

// ------------------------------------------------------------------------------------------------
// 3. Scripted answers
// ------------------------------------------------------------------------------------------------

// A snapshot of one menu entry as it was shown.
struct MenuEntrySnapshot
{
    std::string text;
    UINT flags = 0;  // MF_ flags given to AppendMenuA
    UINT_PTR id = 0; // command id (0 for separators and submenu headers)
    std::vector<MenuEntrySnapshot> submenu;
};

struct ShownMenu
{
    std::vector<MenuEntrySnapshot> entries;
    int x = 0, y = 0; // screen point
    RECT exclude{};   // screen rectangle the menu keeps clear of (empty when none was given)
    int minWidth = 0; // the narrowest the menu shows (a drop-down list: its box's width); 0: any
    UINT flags = 0;
    HWND owner = nullptr;
    UINT_PTR chosen = 0; // the id chosen, 0 when dismissed
};

// One answer to TrackPopupMenu.
struct MenuAnswer
{
    enum class Kind
    {
        Dismiss,
        ById,
        ByTexts,
        ByFunction
    };
    Kind kind = Kind::Dismiss;
    UINT_PTR id = 0;
    std::vector<std::string> texts;                   // entry texts from the top menu down
    std::function<UINT_PTR(const ShownMenu&)> choose; // returns an id, 0 = dismiss

    static MenuAnswer Dismiss() { return {}; }
    static MenuAnswer Id(UINT_PTR id)
    {
        MenuAnswer a;
        a.kind = Kind::ById;
        a.id = id;
        return a;
    }
    static MenuAnswer Texts(std::vector<std::string> texts)
    {
        MenuAnswer a;
        a.kind = Kind::ByTexts;
        a.texts = std::move(texts);
        return a;
    }
};
void ScriptMenuAnswer(MenuAnswer answer);

// One step of a user in a dialog or a message box.
struct DialogStep
{
    enum class Kind
    {
        Type,
        Select,
        Press,
        Key,
        Inspect
    };
    Kind kind = Kind::Press;
    int id = 0;                        // the item
    std::string text;                  // Type: the text typed into an emptied field
    int index = 0;                     // Select: the list entry
    int key = 0;                       // Key: the virtual key pressed and released
    bool shift = false;                // Key: held with Shift
    bool alt = false;                  // Key: held with Alt
    std::function<void(HWND)> inspect; // Inspect: called with the dialog window

    static DialogStep Type(int id, std::string text)
    {
        DialogStep s;
        s.kind = Kind::Type;
        s.id = id;
        s.text = std::move(text);
        return s;
    }
    static DialogStep Select(int id, int index)
    {
        DialogStep s;
        s.kind = Kind::Select;
        s.id = id;
        s.index = index;
        return s;
    }
    static DialogStep Press(int id)
    {
        DialogStep s;
        s.kind = Kind::Press;
        s.id = id;
        return s;
    }
    // A key pressed and released on the keyboard (with Shift and Alt pressed around it when asked):
    // it reaches the window that has the keys through the message loop, as a user's key does.
    static DialogStep Key(int virtualKey, bool withShift = false, bool withAlt = false)
    {
        DialogStep s;
        s.kind = Kind::Key;
        s.key = virtualKey;
        s.shift = withShift;
        s.alt = withAlt;
        return s;
    }
    static DialogStep Inspect(std::function<void(HWND)> f)
    {
        DialogStep s;
        s.kind = Kind::Inspect;
        s.inspect = std::move(f);
        return s;
    }
};
// The steps of the user in the next dialog shown.
void ScriptDialog(std::vector<DialogStep> steps);

// The button the user presses in the next message box (IDOK, IDYES, ...).
void ScriptMessageBoxAnswer(int answer);
// The steps of the user in the next message box (a dialog whose buttons have the ids of the
// answers); when they do not end it, the user cancels.
void ScriptMessageBox(std::vector<DialogStep> steps);

// The path the user picks in the next file dialog (open or save).
void ScriptFileDialogAnswer(std::string path);
// The colour the user picks in the next colour dialog.
void ScriptColorAnswer(COLORREF colour);
// The value ShellExecuteA returns from now on (above 32 means success).
void ScriptShellExecuteResult(intptr_t result);
// What InternetGetConnectedState answers from now on.
void ScriptOnline(bool online);
// Adds or removes a registry key, e.g. (HKEY_LOCAL_MACHINE, "Software\\Wine").
void SetRegistryKeyPresent(HKEY root, const std::string& path, bool present);

// ------------------------------------------------------------------------------------------------
// 4. Records of what was shown
// ------------------------------------------------------------------------------------------------

struct ShownMessageBox
{
    HWND owner = nullptr;
    std::string text;
    std::string caption;
    UINT type = 0;
    int answer = 0;
};

struct ShownDialog
{
    std::string templateName; // the name, or "#<id>" for an integer id
    std::string title;
    // Item texts and combo-box entries right after WM_INITDIALOG, and when the dialog ended.
    std::map<int, std::string> initialTexts;
    std::map<int, std::vector<std::string>> initialLists;
    std::map<int, int> initialSelections;
    std::map<int, std::string> finalTexts;
    INT_PTR result = 0;
    bool abandoned = false; // the script ran out and Cancel did not close it
};

struct ShellCall
{
    std::string operation, file, parameters, directory;
    intptr_t result = 0;
};

const std::vector<ShownMenu>& ShownMenus();
const std::vector<ShownMessageBox>& ShownMessageBoxes();
const std::vector<ShownDialog>& ShownDialogs();
const std::vector<ShellCall>& ShellCalls();
// Scripted answers not used yet (menus, message boxes, dialogs).
size_t PendingScriptedAnswers();

// ------------------------------------------------------------------------------------------------
// 5. Inspection and reset
// ------------------------------------------------------------------------------------------------

// The pixels a window shows (its own surface, without its children); null for an invalid handle.
const PixelSurface* WindowSurface(HWND hwnd);
// Copies the pixels of the window with its visible descendants drawn over it, inside `area` (the
// window's client coordinates), to `out` (row y of the area at out + (y - area.top) * stride).
// Pixels of the area outside every surface are left as they are.
void CompositeWindow(HWND hwnd, const RECT& area, uint32_t* out, int stride);
// The descendants of a window (all levels, bottom of the z-order first, parents before their
// children); only the visible ones when `visibleOnly`.
std::vector<HWND> ChildWindows(HWND hwnd, bool visibleOnly);
// The interval of a running timer, 0 when there is none.
UINT TimerInterval(HWND hwnd, UINT_PTR id);
// How often RegisterClassA / UnregisterClassA succeeded for a class name since the last reset.
int ClassRegistrations(const std::string& className);
int ClassUnregistrations(const std::string& className);
// The deepest visible, enabled window under the screen point; null when none.
HWND WindowFromScreenPoint(int x, int y);
// Destroys every window, forgets classes (except the built-in ones), timers, the queue, focus,
// capture, key and pointer state, scripts, records and dialog templates, and returns to the real
// clock.
void ResetWindowSystem();

} // namespace quova::win32
