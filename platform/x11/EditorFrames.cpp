// Editor frames: the X child window in the host's window and the layer's frame window it shows.
#include "platform/x11/EditorFrames.h"

#include "platform/win32/Window.h"
#include "platform/win32/WindowLayerLock.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/XConnection.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace quova::x11
{

namespace
{

constexpr const char* kFrameClass = "QuovaX11Frame";
// Frames sit apart on the layer's screen so that its input routing never mixes them up: a grid
// of places far enough apart for the largest window, inside the signed 16-bit range that mouse
// messages carry.
constexpr int kPlaceOrigin = -32000;
constexpr int kPlaceStep = 9000;
constexpr int kPlacesPerRow = 7;
constexpr int kPlaces = kPlacesPerRow * kPlacesPerRow;
// A host window the server does not know when the editor opens is looked for again, at growing
// intervals, for this long: a host that has not flushed its connection yet does so at once, and a
// window that is still not there by then was destroyed before the editor could see it (the host
// closed it while the open waited for a slow display). The frame then waits for nothing more.
constexpr int kHostWindowWaitMs = 2000;
constexpr int kFirstLookAgainMs = 20;
constexpr int kLongestLookAgainMs = 400;
constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask |
                            FocusChangeMask | StructureNotifyMask;

using Clock = std::chrono::steady_clock;

struct Frame
{
    HWND hwnd = nullptr;
    Window xwin = 0; // 0 while the host's window is not on the server yet
    Window host = 0; // the host's window
    int place = 0;
    std::function<void(int, int)> onResize; // handed to the shown window when the frame is shown
    // While the host's window is waited for: when the wait began, when to look next, and how long
    // after that look the one after comes. A host window given up for gone is not looked for again.
    Clock::time_point waitingSince{};
    Clock::time_point nextLook{};
    int lookAgainMs = kFirstLookAgainMs;
    bool hostGone = false;
};

std::vector<Frame>& Frames()
{
    static auto* frames = new std::vector<Frame>();
    return *frames;
}

LRESULT FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool RegisterFrameClass()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = kFrameClass;
    return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

int FreePlace()
{
    for (int place = 0; place < kPlaces; ++place)
        if (std::none_of(Frames().begin(), Frames().end(),
                         [place](const Frame& f) { return f.place == place; }))
            return place;
    return -1;
}

// True when the server knows the host's window (a host may ask before its connection sent it).
// One round trip.
bool HostWindowKnown(Display* d, Window host)
{
    ErrorTrap trap(d, false);
    Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    return XGetGeometry(d, host, &root, &x, &y, &width, &height, &border, &depth) != 0;
}

// Makes the X child window of the host's window at the frame's size, whatever the size of the
// host's window: a host that sizes its window from ours (a few pixels larger) would otherwise be
// answered by ours growing, and the two would grow without end. 0 when that fails.
Window MakeXWindow(Display* d, Window host, int width, int height)
{
    ErrorTrap trap(d);
    // The editor's pixels suit the screen's default visual (24-bit true colour, see XConnection),
    // whatever visual the host's window has (32 bits with alpha in compositing hosts): the window
    // takes that visual, with the colormap and border a visual of its own needs.
    const int screen = DefaultScreen(d);
    XSetWindowAttributes set{};
    set.background_pixel = BlackPixel(d, screen);
    set.border_pixel = BlackPixel(d, screen);
    set.colormap = DefaultColormap(d, screen);
    set.event_mask = kEventMask;
    set.bit_gravity = NorthWestGravity;
    Window w = XCreateWindow(d, host, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                             DefaultDepth(d, screen), InputOutput, DefaultVisual(d, screen),
                             CWBackPixel | CWBorderPixel | CWColormap | CWEventMask | CWBitGravity, &set);
    if (trap.Failed()) return 0;
    XMapWindow(d, w);
    if (trap.Failed())
    {
        XDestroyWindow(d, w);
        return 0;
    }
    return w;
}

enum class Showing
{
    Shown,
    HostMissing, // the host's window is not on the server (yet)
    Failed
};

// Makes the frame's X window in the host's window and shows the frame in it.
Showing ShowFrame(Display* d, Frame& frame)
{
    if (!HostWindowKnown(d, frame.host)) return Showing::HostMissing;
    RECT client{};
    GetClientRect(frame.hwnd, &client);
    const int width = std::max(1, static_cast<int>(client.right));
    const int height = std::max(1, static_cast<int>(client.bottom));
    const Window xwin = MakeXWindow(d, frame.host, width, height);
    if (xwin == 0) return Showing::Failed;
    ShownWindow* shown =
        X11Desktop::Instance().Show(ShownWindow::Kind::Frame, frame.hwnd, xwin, width, height);
    if (!shown)
    {
        ErrorTrap trap(d);
        XDestroyWindow(d, xwin);
        return Showing::Failed;
    }
    shown->onResize = std::move(frame.onResize);
    frame.xwin = xwin;
    return Showing::Shown;
}

// Frames whose host window was not on the server yet are shown once it is. The server is asked
// only when a frame's next look is due, and never again for a host window given up for gone, so an
// idle costs no round trip between looks.
void ShowWaitingFrames()
{
    Display* d = XConnection::Current();
    if (d == nullptr) return;
    const Clock::time_point now = Clock::now();
    for (Frame& frame : Frames())
    {
        if (frame.xwin != 0 || frame.hostGone || now < frame.nextLook || !IsWindow(frame.hwnd)) continue;
        if (ShowFrame(d, frame) == Showing::Shown) continue;
        const Clock::time_point looked = Clock::now();
        if (looked - frame.waitingSince >= std::chrono::milliseconds(kHostWindowWaitMs))
        {
            frame.hostGone = true;
            continue;
        }
        frame.nextLook = looked + std::chrono::milliseconds(frame.lookAgainMs);
        frame.lookAgainMs = std::min(frame.lookAgainMs * 2, kLongestLookAgainMs);
    }
}

} // namespace

bool IsForeignWindowId(const void* parent)
{
    const auto value = reinterpret_cast<uintptr_t>(parent);
    win32::WindowLayerGuard layer;
    return value != 0 && value <= 0x1FFFFFFFu && !IsWindow(static_cast<HWND>(const_cast<void*>(parent)));
}

HWND OpenFrame(uintptr_t hostWindow, int width, int height, std::function<void(int, int)> onResize)
{
    win32::WindowLayerGuard layer;
    if (hostWindow == 0 || hostWindow > 0x1FFFFFFFu || width < 1 || height < 1) return nullptr;
    const int place = FreePlace();
    if (place < 0) return nullptr;
    Display* d = XConnection::Acquire();
    if (!d) return nullptr;
    HWND hwnd = nullptr;
    if (RegisterFrameClass())
    {
        hwnd = CreateWindowExA(0, kFrameClass, "", WS_POPUP | WS_VISIBLE,
                               kPlaceOrigin + (place % kPlacesPerRow) * kPlaceStep,
                               kPlaceOrigin + (place / kPlacesPerRow) * kPlaceStep, width, height, nullptr,
                               nullptr, nullptr, nullptr);
    }
    Frame frame{hwnd, 0, static_cast<Window>(hostWindow), place, std::move(onResize)};
    frame.waitingSince = Clock::now();
    // A host may ask before its own connection has sent its window to the server: the frame then
    // waits, and is shown at the first idle that finds the window.
    if (!hwnd || ShowFrame(d, frame) == Showing::Failed)
    {
        if (hwnd) DestroyWindow(hwnd);
        if (Frames().empty()) UnregisterClassA(kFrameClass, nullptr);
        XConnection::Release();
        return nullptr;
    }
    Frames().push_back(std::move(frame));
    return hwnd;
}

void CloseFrame(HWND frame)
{
    win32::WindowLayerGuard layer;
    auto& frames = Frames();
    auto it = std::find_if(frames.begin(), frames.end(), [frame](const Frame& f) { return f.hwnd == frame; });
    if (it == frames.end()) return;
    Display* d = XConnection::Current();
    X11Desktop& desktop = X11Desktop::Instance();
    ShownWindow* shown = desktop.FindByTop(frame);
    const bool alive = shown ? shown->xwinAlive : true;
    if (shown) desktop.Forget(shown);
    if (IsWindow(frame)) DestroyWindow(frame);
    if (it->xwin != 0 && alive)
    {
        // The host may have destroyed its window (and ours with it) already.
        ErrorTrap trap(d);
        XDestroyWindow(d, it->xwin);
    }
    frames.erase(it);
    if (frames.empty()) UnregisterClassA(kFrameClass, nullptr);
    XConnection::Release();
}

void Idle()
{
    win32::WindowLayerGuard layer;
    ShowWaitingFrames();
    X11Desktop::Instance().Idle();
}

unsigned long FrameXWindow(HWND frame)
{
    for (const Frame& f : Frames())
        if (f.hwnd == frame) return f.xwin;
    return 0;
}

int OpenFrameCount()
{
    return static_cast<int>(Frames().size());
}

bool FrameWaitsForHost(HWND frame)
{
    for (const Frame& f : Frames())
        if (f.hwnd == frame) return f.xwin == 0 && !f.hostGone;
    return false;
}

bool FramePresentedWhole(HWND frame)
{
    const ShownWindow* s = X11Desktop::Instance().FindByTop(frame);
    return s && s->wholePresented;
}

unsigned long UnexpectedXErrors()
{
    return XConnection::UnexpectedErrors();
}

bool ConnectionOpen()
{
    return XConnection::Current() != nullptr;
}

} // namespace quova::x11
