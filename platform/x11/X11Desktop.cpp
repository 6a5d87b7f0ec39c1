// The X11 desktop: shown windows, the idle round, presenting pixels and following sizes.
#include "platform/x11/X11Desktop.h"

#include "platform/win32/Input.h"
#include "platform/win32/Window.h"
#include "platform/win32/WindowSystem.h"
#include "platform/x11/XConnection.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <poll.h>

namespace quova::x11
{

namespace
{

bool IsDeleteRequest(const XClientMessageEvent& message)
{
    Display* d = message.display;
    return message.format == 32 && message.message_type == XInternAtom(d, "WM_PROTOCOLS", True) &&
           static_cast<Atom>(message.data.l[0]) == XInternAtom(d, "WM_DELETE_WINDOW", True);
}

RECT Union(const RECT& a, const RECT& b)
{
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

bool Overlap(const RECT& a, const RECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// More pieces than this are sent as their bounding box (one request instead of many).
constexpr size_t kMaxDamagePieces = 16;

// Adds r to the damage: pieces it overlaps join it, so that no pixel is sent twice.
void AddDamage(std::vector<RECT>& damage, RECT r)
{
    if (r.left >= r.right || r.top >= r.bottom) return;
    for (size_t i = 0; i < damage.size();)
    {
        if (!Overlap(damage[i], r))
        {
            ++i;
            continue;
        }
        r = Union(r, damage[i]);
        damage.erase(damage.begin() + static_cast<std::ptrdiff_t>(i));
        i = 0; // the grown piece may now overlap one passed before
    }
    damage.push_back(r);
    if (damage.size() <= kMaxDamagePieces) return;
    RECT box = damage.front();
    for (const RECT& piece : damage)
        box = Union(box, piece);
    damage.assign(1, box);
}

} // namespace

X11Desktop& X11Desktop::Instance()
{
    static X11Desktop* desktop = new X11Desktop();
    return *desktop;
}

ShownWindow* X11Desktop::Show(ShownWindow::Kind kind, HWND top, Window xwin, int width, int height)
{
    auto s = std::make_unique<ShownWindow>();
    s->kind = kind;
    s->top = top;
    s->xwin = xwin;
    s->width = width;
    s->height = height;
    s->xwinWidth = width;
    s->xwinHeight = height;
    s->gc = XCreateGC(XConnection::Current(), xwin, 0, nullptr);
    if (!MakeImage(*s))
    {
        XFreeGC(XConnection::Current(), s->gc);
        return nullptr;
    }
    s->damage.assign(1, RECT{0, 0, width, height});
    shown_.push_back(std::move(s));
    win32::SetNativeDesktop(this);
    return shown_.back().get();
}

void X11Desktop::Forget(ShownWindow* shown)
{
    auto it = std::find_if(shown_.begin(), shown_.end(), [shown](const auto& s) { return s.get() == shown; });
    if (it == shown_.end()) return;
    DropImage(**it);
    if ((*it)->gc) XFreeGC(XConnection::Current(), (*it)->gc);
    shown_.erase(it);
    if (shown_.empty()) win32::SetNativeDesktop(nullptr);
}

ShownWindow* X11Desktop::FindByTop(HWND top) const
{
    for (const auto& s : shown_)
        if (s->top == top) return s.get();
    return nullptr;
}

ShownWindow* X11Desktop::FindByWindow(Window xwin) const
{
    for (const auto& s : shown_)
        if (s->xwin == xwin) return s.get();
    return nullptr;
}

bool X11Desktop::Shows(HWND top)
{
    return top && FindByTop(top) != nullptr;
}

bool X11Desktop::MakeImage(ShownWindow& s)
{
    Display* d = XConnection::Current();
    s.pixels.assign(static_cast<size_t>(std::max(s.width, 1)) * static_cast<size_t>(std::max(s.height, 1)),
                    0u);
    const int screen = DefaultScreen(d);
    s.image =
        XCreateImage(d, DefaultVisual(d, screen), 24, ZPixmap, 0, reinterpret_cast<char*>(s.pixels.data()),
                     static_cast<unsigned>(std::max(s.width, 1)),
                     static_cast<unsigned>(std::max(s.height, 1)), 32, std::max(s.width, 1) * 4);
    if (!s.image) return false;
    // Our pixel words sit in memory least significant byte first.
    s.image->byte_order = LSBFirst;
    return true;
}

void X11Desktop::DropImage(ShownWindow& s)
{
    if (!s.image) return;
    s.image->data = nullptr; // the pixels are ours, not Xlib's
    XDestroyImage(s.image);
    s.image = nullptr;
}

void X11Desktop::Damaged(HWND top, const RECT& area)
{
    ShownWindow* s = FindByTop(top);
    if (!s) return;
    AddDamage(s->damage, area);
}

bool X11Desktop::PointerOver(HWND hwnd) const
{
    const ShownWindow* s = FindByTop(win32::TopLevelOf(hwnd));
    Display* d = XConnection::Current();
    if (!s || !d || !s->xwinAlive) return true;
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned mask = 0;
    if (!XQueryPointer(d, s->xwin, &root, &child, &rootX, &rootY, &x, &y, &mask)) return false;
    return x >= 0 && y >= 0 && x < s->width && y < s->height;
}

void X11Desktop::EndModalPointer(HWND owner)
{
    // A modal window held the pointer or the input, so the owner's window may have heard of no
    // move; one that ended with the pointer outside that window (a click outside a menu, a leave
    // that came as the end of a grab) gets no crossing event after it either. The layer is told
    // here that the pointer left, as it is when the pointer leaves the window.
    if (!PointerOver(owner)) win32::InputMouseMove(kNowhere.x, kNowhere.y);
}

bool X11Desktop::RootPoint(HWND hwnd, POINT screen, int& rootX, int& rootY) const
{
    ShownWindow* s = FindByTop(win32::TopLevelOf(hwnd));
    Display* d = XConnection::Current();
    if (!s || !d || !s->xwinAlive) return false;
    RECT r{};
    GetWindowRect(s->top, &r);
    Window child = 0;
    int x = 0, y = 0;
    if (!XTranslateCoordinates(d, s->xwin, DefaultRootWindow(d), 0, 0, &x, &y, &child)) return false;
    rootX = x + static_cast<int>(screen.x - r.left);
    rootY = y + static_cast<int>(screen.y - r.top);
    return true;
}

Window X11Desktop::TopAncestor(Window xwin) const
{
    Display* d = XConnection::Current();
    Window root = DefaultRootWindow(d);
    const Atom wmState = XInternAtom(d, "WM_STATE", False);
    Window cur = xwin;
    for (int depth = 0; depth < 64; ++depth)
    {
        // A window manager reparents a host's window into a frame of its own: the host's window
        // (the one carrying WM_STATE) is the top-level, not the frame around it.
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        const bool managed = XGetWindowProperty(d, cur, wmState, 0, 0, False, AnyPropertyType, &type, &format,
                                                &count, &after, &data) == Success &&
                             type != None;
        if (data) XFree(data);
        if (managed) return cur;
        Window r = 0, parent = 0;
        Window* children = nullptr;
        unsigned n = 0;
        if (!XQueryTree(d, cur, &r, &parent, &children, &n)) return cur;
        if (children) XFree(children);
        if (parent == root || parent == 0) return cur;
        cur = parent;
    }
    return cur;
}

void SetWindowType(Display* d, Window w, const char* type)
{
    const Atom value = XInternAtom(d, type, False);
    XChangeProperty(d, w, XInternAtom(d, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&value), 1);
}

// ---- the idle round ------------------------------------------------------------------------------

void X11Desktop::Idle()
{
    if (!XConnection::Current()) return;
    FlushMenuReleases();
    HandleEvents(nullptr);
    win32::PumpMessages();
    FollowSizes();
    PresentAll();
    FillBands();
}

void X11Desktop::ModalRound(HWND modal, int timeoutMs)
{
    Display* d = XConnection::Current();
    if (!d) return;
    if (!XPending(d) && timeoutMs > 0)
    {
        pollfd p{ConnectionNumber(d), POLLIN, 0};
        poll(&p, 1, timeoutMs);
    }
    FlushMenuReleases();
    HandleEvents(modal);
    win32::PumpMessages();
    FollowSizes();
    PresentAll();
    FillBands();
}

bool X11Desktop::EventsMayWait(Display* d) const
{
    // XPending reads the socket through the connection's whole input path at every call, the larger
    // part of a quiet tick; a zero-timeout poll of the socket answers the same when nothing was sent
    // since the queues were last found empty (a reply's wait may have read events into them).
    if (XQLength(d) > 0 || NextRequest(d) != flushedUpTo_) return true;
    pollfd p{ConnectionNumber(d), POLLIN, 0};
    return poll(&p, 1, 0) != 0;
}

void X11Desktop::HandleEvents(HWND modal)
{
    Display* d = XConnection::Current();
    NoteFocus();
    if (!EventsMayWait(d)) return;
    while (XPending(d) > 0)
    {
        XEvent event;
        XNextEvent(d, &event);
        Handle(event, modal);
    }
    // XPending found the queue empty, which flushed the output buffer.
    flushedUpTo_ = NextRequest(d);
}

void X11Desktop::Handle(XEvent& event, HWND modal)
{
    ShownWindow* s = FindByWindow(event.xany.window);
    if (!s)
    {
        if (foreign_) foreign_(event);
        return;
    }
    switch (event.type)
    {
    case Expose:
    {
        const RECT r{event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                     event.xexpose.y + event.xexpose.height};
        AddDamage(s->damage, r);
        return;
    }
    case DestroyNotify:
        if (event.xdestroywindow.window == s->xwin) s->xwinAlive = false;
        return;
    case ClientMessage:
        // The window manager's close button on a dialog is its Cancel; other messages are not for us.
        if (s->kind == ShownWindow::Kind::Dialog && IsWindow(s->top) && IsDeleteRequest(event.xclient))
            PostMessageA(s->top, WM_CLOSE, 0, 0);
        return;
    case ConfigureNotify:
        if (event.xconfigure.window == s->xwin)
        {
            s->xwinWidth = event.xconfigure.width;
            s->xwinHeight = event.xconfigure.height;
            s->bandFilled = false;
        }
        return;
    default:
        break;
    }
    if (!IsWindow(s->top)) return;
    if (modal && s->top != modal)
    {
        // Another window runs modally: a press or key here belongs to a running menu (a press
        // outside dismisses it); a release of a button the layer holds comes in later. The pointer
        // leaving this window is told as at any time, or the window would hover after the modal
        // run with the pointer elsewhere; coming in waits until the run ends.
        const bool pointerOrKey =
            event.type == ButtonPress || event.type == ButtonRelease || event.type == KeyPress;
        if (foreign_ && pointerOrKey)
            foreign_(event);
        else if (event.type == ButtonRelease && event.xbutton.button >= Button1 &&
                 event.xbutton.button <= Button3)
            NoteReleaseElsewhere(static_cast<int>(event.xbutton.button));
        else if (event.type == LeaveNotify)
            HandleInput(*s, event);
        return;
    }
    HandleInput(*s, event);
}

// The layer has one keyboard focus for the whole process; on the X server each shown window has
// its own. Each shown window remembers the layer's window that had the keys inside it last, and
// keys or the wheel that reach a shown window move the layer's focus back there first.
void X11Desktop::NoteFocus()
{
    HWND f = GetFocus();
    if (ShownWindow* owner = f ? FindByTop(win32::TopLevelOf(f)) : nullptr) owner->focus = f;
}

void X11Desktop::TakeKeys(ShownWindow& s, POINT at)
{
    NoteFocus();
    HWND f = GetFocus();
    if (f && win32::TopLevelOf(f) == s.top) return;
    HWND want = s.focus;
    if (!want || !IsWindow(want) || win32::TopLevelOf(want) != s.top)
    {
        // Nothing inside had the keys yet: the window under the point, when it is inside.
        want = win32::WindowFromScreenPoint(at.x, at.y);
        if (want && win32::TopLevelOf(want) != s.top) want = nullptr;
    }
    SetFocus(want ? want : s.top);
    s.focus = GetFocus();
}

void X11Desktop::NoteReleaseElsewhere(int button)
{
    const int vk = button == 1 ? VK_LBUTTON : (button == 2 ? VK_MBUTTON : VK_RBUTTON);
    if (GetKeyState(vk) < 0) releasedElsewhere_.push_back(button);
}

void X11Desktop::FlushMenuReleases()
{
    // Inside a menu the layer still counts the buttons as held; their releases go in after it.
    if (menuDepth_ > 0 || releasedElsewhere_.empty()) return;
    std::vector<int> released;
    released.swap(releasedElsewhere_);
    POINT p{};
    GetCursorPos(&p);
    for (int b : released)
    {
        const auto button = b == 1 ? win32::MouseButton::Left
                                   : (b == 2 ? win32::MouseButton::Middle : win32::MouseButton::Right);
        win32::InputMouseButton(button, false, p.x, p.y);
    }
}

void X11Desktop::FollowSizes()
{
    for (size_t i = 0; i < shown_.size(); ++i)
    {
        ShownWindow& s = *shown_[i];
        if (!IsWindow(s.top)) continue;
        RECT r{};
        GetClientRect(s.top, &r);
        const int w = std::max(1, static_cast<int>(r.right));
        const int h = std::max(1, static_cast<int>(r.bottom));
        if (w == s.width && h == s.height) continue;
        DropImage(s);
        s.width = w;
        s.height = h;
        if (!MakeImage(s)) continue;
        // The X window takes the window's new size (a frame's host is asked to fit its own to it).
        if (s.xwinAlive)
            XResizeWindow(XConnection::Current(), s.xwin, static_cast<unsigned>(w), static_cast<unsigned>(h));
        s.xwinWidth = w;
        s.xwinHeight = h;
        s.bandFilled = false;
        s.damage.assign(1, RECT{0, 0, w, h});
        if (s.onResize) s.onResize(w, h);
    }
}

void X11Desktop::PresentAll()
{
    for (auto& s : shown_)
        Present(*s);
    // A flush asks the server for events as well: only when requests were queued since the last.
    Display* d = XConnection::Current();
    if (NextRequest(d) != flushedUpTo_) XFlush(d);
}

void X11Desktop::Present(ShownWindow& s)
{
    if (s.damage.empty() || !s.image || !s.xwinAlive || !IsWindow(s.top)) return;
    std::vector<RECT> damage;
    damage.swap(s.damage);
    RECT client{};
    GetClientRect(s.top, &client);
    for (const RECT& piece : damage)
    {
        const RECT r{std::max<LONG>(piece.left, 0), std::max<LONG>(piece.top, 0),
                     std::min<LONG>({piece.right, s.width, client.right}),
                     std::min<LONG>({piece.bottom, s.height, client.bottom})};
        if (r.left >= r.right || r.top >= r.bottom) continue;
        win32::CompositeWindow(s.top, r,
                               s.pixels.data() + static_cast<size_t>(r.top) * static_cast<size_t>(s.width) +
                                   static_cast<size_t>(r.left),
                               s.width);
        XPutImage(XConnection::Current(), s.xwin, s.gc, s.image, r.left, r.top, r.left, r.top,
                  static_cast<unsigned>(r.right - r.left), static_cast<unsigned>(r.bottom - r.top));
        presentedBytes_ +=
            static_cast<uint64_t>(r.right - r.left) * static_cast<uint64_t>(r.bottom - r.top) * 4u;
        if (r.left == 0 && r.top == 0 && r.right == s.width && r.bottom == s.height) s.wholePresented = true;
    }
    // Keep the vector's storage for the next round.
    if (s.damage.empty())
    {
        damage.clear();
        s.damage.swap(damage);
    }
}

void X11Desktop::FillBands()
{
    // Our window keeps the editor's size; a host that resizes it all the same (to a socket of its
    // own size) gets the band the editor's pixels do not cover in the colour of the editor's bottom
    // right corner rather than black.
    Display* d = XConnection::Current();
    for (auto& s : shown_)
    {
        if (s->bandFilled || !s->wholePresented || !s->xwinAlive || s->pixels.empty()) continue;
        if (s->xwinWidth <= s->width && s->xwinHeight <= s->height) continue;
        s->bandFilled = true;
        const uint32_t corner = s->pixels[s->pixels.size() - 1] & 0xFFFFFFu;
        XSetWindowBackground(d, s->xwin, corner);
        if (s->xwinWidth > s->width) XClearArea(d, s->xwin, s->width, 0, 0, 0, False);
        if (s->xwinHeight > s->height) XClearArea(d, s->xwin, 0, s->height, 0, 0, False);
        XFlush(d);
    }
}

} // namespace quova::x11
