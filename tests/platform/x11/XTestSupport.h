// Helpers of the X11 tests: the test's own connection to the X server (the product keeps its
// own), host windows, synthetic input through the XTest extension, pixels read back, and a hand
// that acts on its own thread and connection while the product runs a modal loop.
#pragma once

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace quova::xtest
{

// The test program is the host here, and it uses Xlib from several threads at once (a hand on its
// own thread and connection while the product runs its loop): Xlib's process-wide lists (the
// extensions' per-display records, which every connection's close edits) are locked only once the
// host has asked for it, before any other Xlib call, as a host that does so must.
inline const bool kXlibThreads = XInitThreads() != 0;

// True when an X server with the XTest extension answers on DISPLAY.
inline bool ServerAvailable()
{
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') return false;
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) return false;
    int event = 0, error = 0, major = 0, minor = 0;
    const bool xtest = XTestQueryExtension(d, &event, &error, &major, &minor);
    XCloseDisplay(d);
    return xtest;
}

#define QUOVA_REQUIRE_X_SERVER()                                                                             \
    do                                                                                                       \
    {                                                                                                        \
        if (!::quova::xtest::ServerAvailable()) GTEST_SKIP() << "no X server (DISPLAY)";                     \
    } while (false)

// Calls step until it answers true or the time runs out; the answer.
inline bool Within(int ms, const std::function<bool()>& step)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end)
    {
        if (step()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return step();
}

struct RootPoint
{
    int x = 0;
    int y = 0;
};

// Errors on the tests' own connections (a window that went away between two questions about it)
// are not fatal.
inline int IgnoreXError(Display*, XErrorEvent*)
{
    return 0;
}

class XClient
{
public:
    XClient() : d_(XOpenDisplay(nullptr))
    {
        static const bool installed = (XSetErrorHandler(IgnoreXError), true);
        (void)installed;
    }
    ~XClient()
    {
        for (Window w : windows_)
            XDestroyWindow(d_, w);
        if (d_ != nullptr) XCloseDisplay(d_);
    }
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    Display* display() const { return d_; }

    // A mapped top-level window, as a host makes for a plug-in's editor. It asks a window manager
    // for its place, so that the tests' windows lie where the tests put them.
    Window MakeHostWindow(int width, int height, int x = 40, int y = 40)
    {
        const int screen = DefaultScreen(d_);
        Window w = XCreateSimpleWindow(d_, RootWindow(d_, screen), x, y, unsigned(width), unsigned(height), 0,
                                       BlackPixel(d_, screen), BlackPixel(d_, screen));
        XSizeHints hints{};
        hints.flags = USPosition | PPosition;
        hints.x = x;
        hints.y = y;
        XSetWMNormalHints(d_, w, &hints);
        XSelectInput(d_, w, StructureNotifyMask);
        XMapWindow(d_, w);
        XEvent e;
        do
            XWindowEvent(d_, w, StructureNotifyMask, &e);
        while (e.type != MapNotify);
        windows_.push_back(w);
        return w;
    }

    // The window's pixels as the server shows them (0x00RRGGBB, row after row).
    std::vector<uint32_t> Read(Window w, int width, int height)
    {
        XSync(d_, False);
        std::vector<uint32_t> out;
        XImage* image = XGetImage(d_, w, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
        if (image == nullptr) return out;
        out.reserve(size_t(width) * size_t(height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                out.push_back(uint32_t(XGetPixel(image, x, y)) & 0xFFFFFFu);
        XDestroyImage(image);
        return out;
    }

    RootPoint RootOf(Window w, int x = 0, int y = 0)
    {
        int rx = 0, ry = 0;
        Window child = 0;
        XTranslateCoordinates(d_, w, DefaultRootWindow(d_), x, y, &rx, &ry, &child);
        return {rx, ry};
    }

    struct Size
    {
        int width = 0;
        int height = 0;
    };
    Size SizeOf(Window w)
    {
        XWindowAttributes a{};
        XGetWindowAttributes(d_, w, &a);
        return {a.width, a.height};
    }
    std::vector<Window> Children(Window w)
    {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        std::vector<Window> out;
        if (XQueryTree(d_, w, &root, &parent, &children, &count) && children != nullptr)
        {
            out.assign(children, children + count);
            XFree(children);
        }
        return out;
    }
    // Whether a window manager runs (one that announces itself, as EWMH asks). One that ended may
    // leave the root's property behind: its window, which names itself, is gone then.
    bool WindowManagerRuns()
    {
        const std::vector<unsigned long> check =
            Property32(DefaultRootWindow(d_), "_NET_SUPPORTING_WM_CHECK");
        return !check.empty() && Property32(check[0], "_NET_SUPPORTING_WM_CHECK") == check;
    }
    // The top-level windows of clients, mapped, bottom first. Without a window manager they are the
    // root's children; a window manager puts each into a frame of its own, and the client's window
    // is the one inside that carries WM_STATE.
    std::vector<Window> TopLevels()
    {
        std::vector<Window> out;
        for (Window w : Children(DefaultRootWindow(d_)))
        {
            XWindowAttributes a{};
            if (!XGetWindowAttributes(d_, w, &a) || a.override_redirect || a.map_state != IsViewable)
                continue;
            const Window client = ClientIn(w);
            if (client != 0 && XGetWindowAttributes(d_, client, &a) && a.map_state == IsViewable)
                out.push_back(client);
        }
        return out;
    }
    // The mapped client top-level window of that name (WM_NAME), or 0.
    Window TopLevelNamed(const std::string& name)
    {
        Window found = 0;
        for (Window w : TopLevels())
        {
            char* text = nullptr;
            if (XFetchName(d_, w, &text) && text != nullptr && name == text) found = w;
            if (text != nullptr) XFree(text);
        }
        return found;
    }
    // The product's popup menus, bottom first: mapped override-redirect windows on the root marked
    // as popup menus. A window manager keeps override-redirect windows of its own on the root too.
    std::vector<Window> Popups()
    {
        std::vector<Window> out;
        for (Window w : Children(DefaultRootWindow(d_)))
        {
            XWindowAttributes a{};
            if (XGetWindowAttributes(d_, w, &a) && a.override_redirect && a.map_state == IsViewable &&
                HasAtom(w, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_POPUP_MENU"))
                out.push_back(w);
        }
        return out;
    }
    // The product's dialogs over the given windows, bottom first: transient for one of them, or for
    // such a dialog (a question asked from a dialog). Other clients' windows (a developer's
    // desktop) are never taken for a dialog.
    std::vector<Window> Dialogs(const std::vector<Window>& owners)
    {
        const std::vector<Window> all = TopLevels();
        std::vector<Window> over(all.size(), 0);
        for (size_t i = 0; i < all.size(); ++i)
            XGetTransientForHint(d_, all[i], &over[i]);
        std::vector<Window> below = owners;
        std::vector<bool> taken(all.size(), false);
        for (bool more = true; more;)
        {
            more = false;
            for (size_t i = 0; i < all.size(); ++i)
                if (!taken[i] && std::find(below.begin(), below.end(), over[i]) != below.end())
                {
                    taken[i] = more = true;
                    below.push_back(all[i]);
                }
        }
        std::vector<Window> out;
        for (size_t i = 0; i < all.size(); ++i)
            if (taken[i]) out.push_back(all[i]);
        return out;
    }

    // Asks a window to close as a window manager does (WM_DELETE_WINDOW).
    void AskToClose(Window w) { SendMessage(w, "WM_PROTOCOLS", "WM_DELETE_WINDOW"); }
    // A client message of the given type whose first datum is the given atom.
    void SendMessage(Window w, const char* type, const char* datum)
    {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = XInternAtom(d_, type, False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = long(XInternAtom(d_, datum, False));
        XSendEvent(d_, w, False, NoEventMask, &e);
        XSync(d_, False);
    }

    // Synthetic input, at points of a window (root points for MoveToRoot).
    void MoveToRoot(RootPoint p)
    {
        XTestFakeMotionEvent(d_, DefaultScreen(d_), p.x, p.y, CurrentTime);
        XSync(d_, False);
    }
    void MoveTo(Window w, int x, int y) { MoveToRoot(RootOf(w, x, y)); }
    // A release returns once the server has handled it. A window manager's click-to-focus grab
    // holds the pointer's events back until the manager lets the press through, while keys go on
    // at once: without the wait, what is typed after a click would reach the window before it.
    void Button(unsigned button, bool down)
    {
        XTestFakeButtonEvent(d_, button, down ? True : False, CurrentTime);
        XSync(d_, False);
        if (down || button < Button1 || button > Button5) return;
        const unsigned held = Button1Mask << (button - Button1);
        Within(2000,
               [&]
               {
                   Window root = 0, child = 0;
                   int rx = 0, ry = 0, wx = 0, wy = 0;
                   unsigned mask = 0;
                   XQueryPointer(d_, DefaultRootWindow(d_), &root, &child, &rx, &ry, &wx, &wy, &mask);
                   return (mask & held) == 0;
               });
    }
    void Click(Window w, int x, int y, unsigned button = Button1)
    {
        MoveTo(w, x, y);
        Button(button, true);
        Button(button, false);
    }
    void Key(KeySym sym, bool down)
    {
        XTestFakeKeyEvent(d_, XKeysymToKeycode(d_, sym), down ? True : False, CurrentTime);
        XSync(d_, False);
    }
    void Press(KeySym sym)
    {
        Key(sym, true);
        Key(sym, false);
    }
    // Types a text of letters, digits, '.', '-' and blanks (Shift for capitals).
    void Type(const std::string& text)
    {
        for (char c : text)
        {
            KeySym sym = XStringToKeysym(std::string(1, c).c_str());
            if (c == '.') sym = XK_period;
            if (c == '-') sym = XK_minus;
            if (c == ' ') sym = XK_space;
            const bool shift = c >= 'A' && c <= 'Z';
            if (shift) Key(XK_Shift_L, true);
            Press(sym);
            if (shift) Key(XK_Shift_L, false);
        }
    }

private:
    // The client window in a root child: the child itself when it carries WM_STATE or nothing in
    // it does (no window manager), else the first window below it that carries WM_STATE.
    Window ClientIn(Window w)
    {
        const auto carries = [&](Window v) { return !Property32(v, "WM_STATE").empty(); };
        std::vector<Window> level{w};
        for (int depth = 0; depth < 4 && !level.empty(); ++depth)
        {
            std::vector<Window> next;
            for (Window v : level)
            {
                if (carries(v)) return v;
                for (Window c : Children(v))
                    next.push_back(c);
            }
            level.swap(next);
        }
        return w;
    }
    // The 32-bit items of a window's property (atoms, windows, numbers); none when it has none.
    std::vector<unsigned long> Property32(Window w, const char* name)
    {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<unsigned long> out;
        if (XGetWindowProperty(d_, w, XInternAtom(d_, name, False), 0, 64, False, AnyPropertyType, &type,
                               &format, &count, &after, &data) == Success &&
            data != nullptr && format == 32)
        {
            // Xlib hands 32-bit items over as longs.
            const auto* items = reinterpret_cast<const unsigned long*>(data);
            out.assign(items, items + count);
        }
        if (data != nullptr) XFree(data);
        return out;
    }
    bool HasAtom(Window w, const char* property, const char* atom)
    {
        const std::vector<unsigned long> atoms = Property32(w, property);
        return std::find(atoms.begin(), atoms.end(), XInternAtom(d_, atom, False)) != atoms.end();
    }

    Display* d_;
    std::vector<Window> windows_;
};

// A hand on its own thread and connection: acts on a window the product shows modally (a menu or
// a dialog) while the test's thread is inside the product's modal loop. When the window is still
// there two seconds after the act (a step failed), the hand closes it, so that the test never
// waits for ever: Escape for a menu, the window manager's close for a dialog.
class Hand
{
public:
    enum class Shows
    {
        Menu,
        Dialog
    };
    // owners: the windows the product's dialogs stand over (the test's host windows).
    Hand(Shows shows, std::vector<Window> owners, std::function<void(XClient&)> act)
        : thread_(
              [shows, owners, act = std::move(act)]
              {
                  XClient own;
                  const auto open = [&] { return shows == Shows::Menu ? own.Popups() : own.Dialogs(owners); };
                  if (!Within(3000, [&] { return !open().empty(); }))
                  {
                      // Perhaps one it does not find (a dialog over another window): Escape
                      // cancels one that has the keys, so that the test's thread gets out of it.
                      ADD_FAILURE() << "the product showed no window";
                      own.Press(XK_Escape);
                      return;
                  }
                  act(own);
                  if (Within(2000, [&] { return open().empty(); })) return;
                  ADD_FAILURE() << "the window stayed open";
                  if (shows == Shows::Menu) own.Press(XK_Escape);
                  for (Window w : open())
                      own.AskToClose(w);
              })
    {
    }
    ~Hand()
    {
        if (thread_.joinable()) thread_.join();
    }
    Hand(const Hand&) = delete;
    Hand& operator=(const Hand&) = delete;

private:
    std::thread thread_;
};

// How a closer ends a popup menu: a click on one of its rows, Escape, or a click outside every
// window of the editor (the pointer then moves further away).
enum class MenuEnding
{
    Choice,
    Escape,
    Outside
};

// A watcher on its own thread and connection that closes, while it lives, every popup menu the
// product shows (the way given) and every dialog over the given windows (as a window manager
// does), whether or not one comes: for actions that may open one. A choice clicks a row drawn from
// the seed; a menu still open after a few acts (a separator, a disabled row, a submenu that opened)
// gets Escape.
class Closer
{
public:
    Closer(MenuEnding ending, unsigned seed, std::vector<Window> owners)
        : thread_([this, ending, seed, owners] { Run(ending, seed, owners); })
    {
    }
    ~Closer()
    {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    Closer(const Closer&) = delete;
    Closer& operator=(const Closer&) = delete;

private:
    void Run(MenuEnding ending, unsigned seed, const std::vector<Window>& owners)
    {
        XClient own;
        unsigned state = seed;
        int acts = 0;
        while (!stop_)
        {
            const std::vector<Window> menus = own.Popups();
            if (menus.empty())
            {
                for (Window w : own.Dialogs(owners))
                    own.AskToClose(w);
                std::this_thread::sleep_for(std::chrono::milliseconds(3));
                continue;
            }
            const Window menu = menus.back();
            if (ending == MenuEnding::Escape || acts >= 4)
            {
                own.Press(XK_Escape);
            }
            else if (ending == MenuEnding::Outside)
            {
                own.Click(DefaultRootWindow(own.display()), 1200, 800);
                own.MoveToRoot({1270, 1010});
            }
            else
            {
                // Rows are 20 pixels high below a 1-pixel border.
                state = state * 1103515245u + 12345u;
                const int rows = std::max(1, (own.SizeOf(menu).height - 2) / 20);
                own.Click(menu, 40, 1 + 20 * static_cast<int>((state >> 16) % unsigned(rows)) + 10);
            }
            ++acts;
            Within(300,
                   [&]
                   {
                       const std::vector<Window> now = own.Popups();
                       return now.empty() || now.back() != menu;
                   });
        }
    }

    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace quova::xtest
