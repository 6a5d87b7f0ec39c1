// Editor frames: the X child window in the host's window and the layer's frame window it shows.
#include "platform/x11/EditorFrames.h"

#include "platform/win32/Window.h"
#include "platform/win32/WindowLayerLock.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/XConnection.h"

#include <X11/Xutil.h>

#include <algorithm>
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
constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask |
                            FocusChangeMask | StructureNotifyMask;

struct Frame
{
    HWND hwnd = nullptr;
    Window xwin = 0;
    int place = 0;
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

// Makes the X child window; 0 when the host's window is not there.
Window MakeXWindow(Display* d, Window host, int width, int height)
{
    ErrorTrap trap(d);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(d, host, &attributes) || trap.Failed()) return 0;
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
    if (trap.Failed()) return 0;
    return w;
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
    Window xwin = MakeXWindow(d, static_cast<Window>(hostWindow), width, height);
    HWND hwnd = nullptr;
    if (xwin != 0 && RegisterFrameClass())
    {
        hwnd = CreateWindowExA(0, kFrameClass, "", WS_POPUP | WS_VISIBLE,
                               kPlaceOrigin + (place % kPlacesPerRow) * kPlaceStep,
                               kPlaceOrigin + (place / kPlacesPerRow) * kPlaceStep, width, height, nullptr,
                               nullptr, nullptr, nullptr);
    }
    ShownWindow* shown =
        hwnd ? X11Desktop::Instance().Show(ShownWindow::Kind::Frame, hwnd, xwin, width, height) : nullptr;
    if (!shown)
    {
        if (hwnd) DestroyWindow(hwnd);
        if (xwin)
        {
            ErrorTrap trap(d);
            XDestroyWindow(d, xwin);
        }
        XConnection::Release();
        return nullptr;
    }
    shown->onResize = std::move(onResize);
    Frames().push_back(Frame{hwnd, xwin, place});
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
    {
        // The host may have destroyed its window (and ours with it) already.
        ErrorTrap trap(d);
        if (alive) XDestroyWindow(d, it->xwin);
    }
    frames.erase(it);
    if (frames.empty()) UnregisterClassA(kFrameClass, nullptr);
    XConnection::Release();
}

void Idle()
{
    win32::WindowLayerGuard layer;
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
