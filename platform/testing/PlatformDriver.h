#pragma once
// The test driver of the headless platform: plays the desktop and the user for a test.
//
// What it implements:
//  [x] a fresh window system per driver (every window, class, timer, script and record of an
//      earlier driver is gone) on a virtual clock that only AdvanceTime moves
//  [x] a host frame: a visible top-level window at a screen position, the parent an editor opens in
//  [x] time: AdvanceTime fires due timers in order (one WM_TIMER per due instant) and pumps
//  [x] mouse: move, press, release, click, double click, drag and wheel, in a window's client
//      coordinates or on the screen; the window system routes them as the platform does (capture,
//      the window under the pointer, CS_DBLCLKS double clicks, buttons and Shift/Control in wParam,
//      signed 16-bit coordinates, WM_MOUSELEAVE for tracked windows)
//  [x] keys: press and release keys (WM_KEYDOWN / WM_SYSKEYDOWN with Alt, WM_CHAR through the
//      message loop's translation), hold Shift / Control / Alt, type text
//  [x] scripted answers to menus (by id, by entry texts, or dismissed), message boxes and dialogs
//      (typed texts, list selections, pressed buttons, keys), file and colour dialogs, the shell
//      and the network; records of everything shown
//  [x] a window's surface, its pixels, and a composite with its visible child windows on top
//  [ ] real time: use quova::win32::RunMessageLoopFor for that
//
// One driver at a time, on the thread that makes the windows. Declare it before the objects whose
// windows it should outlive: its destructor destroys every window still open, and their window
// procedures run then.

#include "platform/gdi/Surface.h"
#include "platform/types/Win32Types.h"
#include "platform/win32/WindowSystem.h"

#include <string>
#include <vector>

namespace quova::testing
{

using win32::DialogStep;
using win32::MenuAnswer;
using win32::MouseButton;

class PlatformDriver
{
public:
    // Resets the window system and switches it to the virtual clock.
    PlatformDriver();
    // Destroys every window left and resets the window system again (back to the real clock).
    ~PlatformDriver();
    PlatformDriver(const PlatformDriver&) = delete;
    PlatformDriver& operator=(const PlatformDriver&) = delete;

    // A visible top-level window of width x height at the screen point, for an editor to open in.
    HWND CreateHostFrame(int width, int height, int screenX = 100, int screenY = 100);

    // Time. Returns the number of WM_TIMER messages delivered.
    int AdvanceTime(uint32_t ms);
    // Delivers what is pending now (queued messages, due timers, paints).
    int Pump();

    // Mouse, in the client coordinates of `hwnd` (converted to the screen, then routed by the
    // window system: the message may go to a child, or to the capture window). MouseDown and
    // MouseUp press where they are told without moving the pointer there first; Click,
    // DoubleClick, Drag and Wheel move the pointer to the point first (a WM_MOUSEMOVE) when it is
    // elsewhere, as a hand on a mouse does.
    void MouseMove(HWND hwnd, int x, int y);
    void MouseDown(HWND hwnd, int x, int y, MouseButton button = MouseButton::Left);
    void MouseUp(HWND hwnd, int x, int y, MouseButton button = MouseButton::Left);
    // Press and release, then a pause long enough that the next press is a single press.
    void Click(HWND hwnd, int x, int y, MouseButton button = MouseButton::Left);
    // Press, release, press (WM_LBUTTONDBLCLK on a CS_DBLCLKS class), release; then a pause.
    void DoubleClick(HWND hwnd, int x, int y);
    // Press at (x0, y0), move in `steps` equal steps to (x1, y1) with the button held, release.
    void Drag(HWND hwnd, int x0, int y0, int x1, int y1, int steps = 4,
              MouseButton button = MouseButton::Left);
    // Turns the wheel by `notches` (positive: away from the user) with the pointer at (x, y).
    void Wheel(HWND hwnd, int x, int y, int notches);
    // The same on the screen.
    void MouseMoveScreen(int x, int y);
    void MouseButtonScreen(MouseButton button, bool down, int x, int y);

    // Keys (to the focus window).
    void KeyDown(int virtualKey);
    void KeyUp(int virtualKey);
    void PressKey(int virtualKey);
    void TypeText(const std::string& text);
    void TypeChar(unsigned ch);
    // Presses or releases Shift, Control and Alt to match (each change sends its key message).
    void HoldModifiers(bool shift, bool control, bool alt);

    // Scripted answers, used in order.
    void ChooseMenuItem(UINT_PTR id);
    void ChooseMenuItem(std::vector<std::string> texts);
    void DismissMenu();
    void AnswerMessageBox(int answer);
    // The steps of the user in the next message box, e.g. keys (DialogStep::Key).
    void RunMessageBox(std::vector<DialogStep> steps);
    void RunDialog(std::vector<DialogStep> steps);
    void AnswerFileDialog(std::string path);
    void AnswerColor(COLORREF colour);
    void SetOnline(bool online);
    void SetShellExecuteResult(intptr_t result);

    // Records.
    const std::vector<win32::ShownMenu>& Menus() const;
    const std::vector<win32::ShownMessageBox>& MessageBoxes() const;
    const std::vector<win32::ShownDialog>& Dialogs() const;
    const std::vector<win32::ShellCall>& ShellCalls() const;
    size_t UnusedAnswers() const;

    // Pixels: the window's own surface (an empty one for an invalid handle), one pixel of it
    // (0 outside), and the window with its visible children drawn over it.
    const PixelSurface& Surface(HWND hwnd) const;
    uint32_t Pixel(HWND hwnd, int x, int y) const;
    PixelSurface Composite(HWND hwnd) const;

    UINT TimerInterval(HWND hwnd, UINT_PTR id) const;
    int ClassRegistrations(const std::string& name) const;
    int ClassUnregistrations(const std::string& name) const;

private:
    POINT ToScreen(HWND hwnd, int x, int y) const;
    void Approach(POINT screenPoint);
    void Pause();
};

} // namespace quova::testing
