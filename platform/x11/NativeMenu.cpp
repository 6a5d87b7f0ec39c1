// Popup menus on X11: one override-redirect window per open level (the menu and its open
// submenus), drawn with the native painter, run modally with the pointer and keyboard grabbed.
// A click on an entry that can be chosen (or a release on one after the pointer moved, for a
// press-drag-release) chooses it; a press outside every level or Escape dismisses the menu.
#include "platform/win32/Input.h"
#include "platform/win32/Menu.h"
#include "platform/win32/Window.h"
#include "platform/gdi/Gdi.h"
#include "platform/win32/ControlPainter.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/XConnection.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdlib>
#include <memory>

namespace quova::x11
{

using namespace quova::win32;

namespace
{

constexpr int kItemHeight = 20;
constexpr int kSeparatorHeight = 7;
constexpr int kMarkWidth = 22; // check mark column at the left, arrow column at the right
constexpr int kMinimumWidth = 80;
constexpr int kDragThreshold = 3;
constexpr int kRoundMs = 10;

using Entries = std::vector<win32::MenuEntrySnapshot>;

bool Selectable(const win32::MenuEntrySnapshot& e)
{
    return !(e.flags & (MF_GRAYED | MF_DISABLED | MF_SEPARATOR | MF_POPUP)) && e.submenu.empty();
}

bool Openable(const win32::MenuEntrySnapshot& e)
{
    return !e.submenu.empty() && !(e.flags & (MF_GRAYED | MF_DISABLED));
}

struct Level
{
    const Entries* entries = nullptr;
    Window xwin = 0;
    int x = 0, y = 0; // root position
    int width = 0, height = 0;
    std::vector<int> tops; // each entry's top inside the window
    int hot = -1;
    PixelSurface surface;
    XImage* image = nullptr;
    GC gc = nullptr;

    int EntryAt(int rootX, int rootY) const
    {
        if (rootX < x || rootX >= x + width || rootY < y || rootY >= y + height) return -1;
        const int ly = rootY - y;
        for (size_t i = 0; i < entries->size(); ++i)
        {
            const int h = ((*entries)[i].flags & MF_SEPARATOR) ? kSeparatorHeight : kItemHeight;
            if (ly >= tops[i] && ly < tops[i] + h) return static_cast<int>(i);
        }
        return -1;
    }
    bool Contains(int rootX, int rootY) const
    {
        return rootX >= x && rootX < x + width && rootY >= y && rootY < y + height;
    }
};

class MenuRun
{
public:
    explicit MenuRun(Display* d) : d_(d) {}
    ~MenuRun()
    {
        while (!levels_.empty())
            CloseLevel();
    }
    MenuRun(const MenuRun&) = delete;
    MenuRun& operator=(const MenuRun&) = delete;

    void Start(const Entries& entries, int rootX, int rootY)
    {
        // The grabs go out with the map request, so that no click can reach the screen between the
        // menu showing and the menu holding the pointer.
        OpenLevel(entries, rootX, rootY);
        Grab();
        Window root = 0, child = 0;
        int wx = 0, wy = 0;
        unsigned mask = 0;
        XQueryPointer(d_, DefaultRootWindow(d_), &root, &child, &startX_, &startY_, &wx, &wy, &mask);
    }

    // Takes the pointer and the keys for the menu; tried again at every round while another
    // client holds them.
    void Grab()
    {
        if (levels_.empty()) return;
        const unsigned events = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
        if (!grabbed_)
            grabbed_ = XGrabPointer(d_, levels_[0]->xwin, False, events, GrabModeAsync, GrabModeAsync, None, None,
                                    CurrentTime) == GrabSuccess;
        if (!keyboard_)
            keyboard_ = XGrabKeyboard(d_, levels_[0]->xwin, False, GrabModeAsync, GrabModeAsync, CurrentTime) ==
                        GrabSuccess;
    }

    void Finish()
    {
        if (grabbed_) XUngrabPointer(d_, CurrentTime);
        if (keyboard_) XUngrabKeyboard(d_, CurrentTime);
        while (!levels_.empty())
            CloseLevel();
        XFlush(d_);
    }

    bool Done() const { return done_; }
    UINT_PTR Chosen() const { return chosen_; }

    void Handle(XEvent& e)
    {
        switch (e.type)
        {
        case Expose:
            for (auto& l : levels_)
                if (l->xwin == e.xexpose.window) Present(*l);
            return;
        case MotionNotify:
            Move(e.xmotion.x_root, e.xmotion.y_root);
            return;
        case ButtonPress:
            if (e.xbutton.button > Button3) return;
            if (LevelAt(e.xbutton.x_root, e.xbutton.y_root) < 0)
            {
                // A press outside dismisses; its release is taken here too, not by a window.
                dismissing_ = true;
                chosen_ = 0;
                return;
            }
            pressedInside_ = true;
            return;
        case ButtonRelease:
            if (e.xbutton.button > Button3) return;
            X11Desktop::Instance().NoteReleaseElsewhere(static_cast<int>(e.xbutton.button));
            if (dismissing_)
            {
                done_ = true;
                return;
            }
            Release(e.xbutton.x_root, e.xbutton.y_root);
            return;
        case KeyPress:
            Key(XLookupKeysym(&e.xkey, 0));
            return;
        default:
            return;
        }
    }

private:
    void OpenLevel(const Entries& entries, int rootX, int rootY)
    {
        auto l = std::make_unique<Level>();
        l->entries = &entries;
        int width = kMinimumWidth;
        int y = 1;
        for (const auto& e : entries)
        {
            l->tops.push_back(y);
            y += (e.flags & MF_SEPARATOR) ? kSeparatorHeight : kItemHeight;
            width = std::max(width, LabelWidth(e.text) + 2 * kMarkWidth + 2);
        }
        l->width = width;
        l->height = y + 1;
        // Keep the level on the screen.
        const int screenW = DisplayWidth(d_, DefaultScreen(d_));
        const int screenH = DisplayHeight(d_, DefaultScreen(d_));
        l->x = std::max(0, std::min(rootX, screenW - l->width));
        l->y = std::max(0, std::min(rootY, screenH - l->height));
        XSetWindowAttributes a{};
        a.override_redirect = True;
        a.save_under = True;
        a.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask;
        l->xwin = XCreateWindow(d_, DefaultRootWindow(d_), l->x, l->y, static_cast<unsigned>(l->width),
                                static_cast<unsigned>(l->height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                CWOverrideRedirect | CWSaveUnder | CWEventMask, &a);
        l->gc = XCreateGC(d_, l->xwin, 0, nullptr);
        l->surface.Resize(l->width, l->height);
        l->image = XCreateImage(d_, DefaultVisual(d_, DefaultScreen(d_)), 24, ZPixmap, 0,
                                reinterpret_cast<char*>(l->surface.pixels.data()), static_cast<unsigned>(l->width),
                                static_cast<unsigned>(l->height), 32, l->width * 4);
        if (l->image) l->image->byte_order = LSBFirst;
        Paint(*l);
        XMapRaised(d_, l->xwin);
        levels_.push_back(std::move(l));
    }

    void CloseLevel()
    {
        Level& l = *levels_.back();
        if (l.image)
        {
            l.image->data = nullptr;
            XDestroyImage(l.image);
        }
        if (l.gc) XFreeGC(d_, l.gc);
        XDestroyWindow(d_, l.xwin);
        levels_.pop_back();
    }

    void Paint(Level& l)
    {
        FillArea(l.surface, RECT{0, 0, l.width, l.height}, kFaceColour);
        FrameArea(l.surface, RECT{0, 0, l.width, l.height}, kFrameColour);
        for (size_t i = 0; i < l.entries->size(); ++i)
        {
            const auto& e = (*l.entries)[i];
            const int top = l.tops[i];
            if (e.flags & MF_SEPARATOR)
            {
                FillArea(l.surface, RECT{4, top + kSeparatorHeight / 2, l.width - 4, top + kSeparatorHeight / 2 + 1},
                         kFrameColour);
                continue;
            }
            const bool hot = static_cast<int>(i) == l.hot && (Selectable(e) || Openable(e));
            const RECT row{1, top, l.width - 1, top + kItemHeight};
            if (hot) FillArea(l.surface, row, kHotColour);
            const bool grey = (e.flags & (MF_GRAYED | MF_DISABLED)) != 0;
            const uint32_t ink = hot ? kHotTextColour : (grey ? kGreyTextColour : kTextColour);
            DrawLabel(l.surface, e.text, RECT{kMarkWidth, top, l.width - kMarkWidth, top + kItemHeight}, ink, DT_LEFT);
            if (e.flags & MF_CHECKED) DrawCheck(l.surface, RECT{1, top, kMarkWidth, top + kItemHeight}, ink);
            if (!e.submenu.empty())
                DrawArrow(l.surface, RECT{l.width - kMarkWidth, top, l.width - 1, top + kItemHeight}, ink);
        }
        Present(l);
    }

    void Present(Level& l)
    {
        if (!l.image) return;
        XPutImage(d_, l.xwin, l.gc, l.image, 0, 0, 0, 0, static_cast<unsigned>(l.width),
                  static_cast<unsigned>(l.height));
    }

    int LevelAt(int rootX, int rootY) const
    {
        for (int i = static_cast<int>(levels_.size()) - 1; i >= 0; --i)
            if (levels_[static_cast<size_t>(i)]->Contains(rootX, rootY)) return i;
        return -1;
    }

    void SetHot(Level& l, int hot)
    {
        if (l.hot == hot) return;
        l.hot = hot;
        Paint(l);
    }

    void Move(int rootX, int rootY)
    {
        if (std::abs(rootX - startX_) > kDragThreshold || std::abs(rootY - startY_) > kDragThreshold) moved_ = true;
        const int li = LevelAt(rootX, rootY);
        if (li < 0)
        {
            SetHot(*levels_.back(), -1);
            return;
        }
        Level& l = *levels_[static_cast<size_t>(li)];
        const int entry = l.EntryAt(rootX, rootY);
        SetHot(l, entry);
        if (entry < 0) return;
        const auto& e = (*l.entries)[static_cast<size_t>(entry)];
        // Hovering an entry shows its submenu and closes any other deeper level.
        const bool sameSubmenuOpen = static_cast<size_t>(li) + 1 < levels_.size() &&
                                     levels_[static_cast<size_t>(li) + 1]->entries == &e.submenu;
        if (sameSubmenuOpen) return;
        while (levels_.size() > static_cast<size_t>(li) + 1)
            CloseLevel();
        if (Openable(e)) OpenLevel(e.submenu, l.x + l.width - 3, l.y + l.tops[static_cast<size_t>(entry)]);
    }

    void Release(int rootX, int rootY)
    {
        if (std::abs(rootX - startX_) > kDragThreshold || std::abs(rootY - startY_) > kDragThreshold) moved_ = true;
        const int li = LevelAt(rootX, rootY);
        if (li < 0 || !(pressedInside_ || moved_)) return;
        const Level& l = *levels_[static_cast<size_t>(li)];
        const int entry = l.EntryAt(rootX, rootY);
        if (entry < 0) return;
        const auto& e = (*l.entries)[static_cast<size_t>(entry)];
        if (!Selectable(e)) return;
        chosen_ = e.id;
        done_ = true;
    }

    void Key(KeySym sym)
    {
        Level& l = *levels_.back();
        switch (sym)
        {
        case XK_Escape:
            if (levels_.size() > 1)
                CloseLevel();
            else
                done_ = true;
            return;
        case XK_Return:
        case XK_KP_Enter:
            if (l.hot >= 0)
            {
                const auto& e = (*l.entries)[static_cast<size_t>(l.hot)];
                if (Selectable(e))
                {
                    chosen_ = e.id;
                    done_ = true;
                }
                else if (Openable(e))
                {
                    OpenLevel(e.submenu, l.x + l.width - 3, l.y + l.tops[static_cast<size_t>(l.hot)]);
                }
            }
            return;
        case XK_Up:
        case XK_Down:
        {
            const int n = static_cast<int>(l.entries->size());
            const int step = sym == XK_Down ? 1 : n - 1;
            int next = l.hot;
            for (int tries = 0; tries < n; ++tries)
            {
                next = next < 0 ? (sym == XK_Down ? 0 : n - 1) : (next + step) % n;
                const auto& e = (*l.entries)[static_cast<size_t>(next)];
                if (Selectable(e) || Openable(e)) break;
            }
            SetHot(l, next);
            return;
        }
        default:
            return;
        }
    }

    Display* d_;
    std::vector<std::unique_ptr<Level>> levels_;
    bool grabbed_ = false;
    bool keyboard_ = false;
    bool done_ = false;
    bool dismissing_ = false;
    bool pressedInside_ = false;
    bool moved_ = false;
    int startX_ = 0, startY_ = 0;
    UINT_PTR chosen_ = 0;
};

} // namespace

UINT_PTR X11Desktop::TrackMenu(const std::vector<win32::MenuEntrySnapshot>& entries, int x, int y, HWND owner)
{
    Display* d = XConnection::Current();
    int rootX = 0, rootY = 0;
    if (!d || entries.empty() || !RootPoint(owner, POINT{x, y}, rootX, rootY)) return 0;
    MenuRun run(d);
    run.Start(entries, rootX, rootY);
    auto previous = std::move(foreign_);
    foreign_ = [&run](XEvent& e) { run.Handle(e); };
    ++menuDepth_;
    // While the menu runs, the windows under it keep painting, but only the menu takes input.
    while (!run.Done())
    {
        ModalRound(owner, kRoundMs);
        run.Grab();
    }
    --menuDepth_;
    foreign_ = std::move(previous);
    run.Finish();
    return run.Chosen();
}

} // namespace quova::x11
