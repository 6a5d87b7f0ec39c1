// Popup menus on X11: one override-redirect window per open level (the menu and its open
// submenus), drawn with the native painter, run modally with the pointer and keyboard grabbed.
// A click on an entry that can be chosen (or a release on one after the pointer moved, for a
// press-drag-release) chooses it; a press outside every level or Escape dismisses the menu.
// A level taller than the screen shows as much as fits between two scroll arrows: the wheel, the
// pointer resting on an arrow, a press on an arrow and the keys (Up, Down, Page Up, Page Down,
// Home, End) scroll it, so that every entry can be reached.
#include "platform/gdi/Gdi.h"
#include "platform/win32/ControlPainter.h"
#include "platform/win32/Input.h"
#include "platform/win32/Menu.h"
#include "platform/win32/Window.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/XConnection.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
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
constexpr int kSubmenuOverlap = 3; // a submenu covers this much of its parent's edge
constexpr int kDragThreshold = 3;
constexpr int kRoundMs = 10;
constexpr int kScrollArrowHeight = 16;
constexpr int kWheelEntries = 3;                                  // entries per notch of the wheel
constexpr auto kHoverScrollPause = std::chrono::milliseconds(40); // per entry, pointer on an arrow

using Entries = std::vector<win32::MenuEntrySnapshot>;

bool Selectable(const win32::MenuEntrySnapshot& e)
{
    return !(e.flags & (MF_GRAYED | MF_DISABLED | MF_SEPARATOR | MF_POPUP)) && e.submenu.empty();
}

bool Openable(const win32::MenuEntrySnapshot& e)
{
    return !e.submenu.empty() && !(e.flags & (MF_GRAYED | MF_DISABLED));
}

int HeightOf(const win32::MenuEntrySnapshot& e)
{
    return (e.flags & MF_SEPARATOR) ? kSeparatorHeight : kItemHeight;
}

struct Level
{
    const Entries* entries = nullptr;
    Window xwin = 0;
    int x = 0, y = 0; // root position
    int width = 0, height = 0;
    std::vector<int> tops; // each entry's top in the whole column of entries
    int hot = -1;
    bool scrolls = false;  // taller than the screen: scroll arrows above and below the entries
    bool leftward = false; // a submenu that opened to the left of its parent
    int first = 0;         // the first entry shown while scrolling
    PixelSurface surface;
    XImage* image = nullptr;
    GC gc = nullptr;

    // Where entries show inside the window: between the arrows of a level that scrolls.
    int ViewTop() const { return scrolls ? kScrollArrowHeight : 0; }
    int ViewBottom() const { return scrolls ? height - kScrollArrowHeight : height; }
    // The top of entry i inside the window.
    int TopOf(size_t i) const
    {
        return scrolls ? ViewTop() + tops[i] - tops[static_cast<size_t>(first)] : tops[i];
    }
    // The first entry shown when the view is scrolled to its end.
    int LastFirst() const
    {
        if (!scrolls || tops.empty()) return 0;
        const int end = tops.back() + HeightOf(entries->back());
        size_t i = 0;
        while (i + 1 < tops.size() && end - tops[i] > ViewBottom() - ViewTop())
            ++i;
        return static_cast<int>(i);
    }

    int EntryAt(int rootX, int rootY) const
    {
        if (!Contains(rootX, rootY)) return -1;
        const int ly = rootY - y;
        if (ly < ViewTop() || ly >= ViewBottom()) return -1;
        for (size_t i = 0; i < entries->size(); ++i)
            if (ly >= TopOf(i) && ly < TopOf(i) + HeightOf((*entries)[i])) return static_cast<int>(i);
        return -1;
    }
    // -1 over the upper scroll arrow, 1 over the lower one, else 0.
    int ArrowAt(int rootX, int rootY) const
    {
        if (!scrolls || !Contains(rootX, rootY)) return 0;
        const int ly = rootY - y;
        return ly < ViewTop() ? -1 : (ly >= ViewBottom() ? 1 : 0);
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

    // The menu at the root point, at least minWidth wide; with no room below it, it opens above
    // aboveY (the top of the field it belongs to, or the point itself).
    void Start(const Entries& entries, int rootX, int rootY, int aboveY, int minWidth)
    {
        // Where the pointer was when the menu was asked for, read before the menu can show: a
        // release of the button that opened the menu chooses only when the pointer moved from
        // there, also when the hand on the mouse moves as soon as the menu appears.
        Window root = 0, child = 0;
        int wx = 0, wy = 0;
        unsigned mask = 0;
        XQueryPointer(d_, DefaultRootWindow(d_), &root, &child, &startX_, &startY_, &wx, &wy, &mask);
        pointerX_ = startX_;
        pointerY_ = startY_;
        // The grabs go out with the map request, so that no click can reach the screen between the
        // menu showing and the menu holding the pointer.
        OpenLevel(entries, rootX, rootY, aboveY, nullptr, minWidth);
        Grab();
    }

    // Takes the pointer and the keys for the menu; tried again at every round while another
    // client holds them.
    void Grab()
    {
        if (levels_.empty()) return;
        const unsigned events = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
        if (!grabbed_)
            grabbed_ = XGrabPointer(d_, levels_[0]->xwin, False, events, GrabModeAsync, GrabModeAsync, None,
                                    None, CurrentTime) == GrabSuccess;
        if (!keyboard_)
            keyboard_ = XGrabKeyboard(d_, levels_[0]->xwin, False, GrabModeAsync, GrabModeAsync,
                                      CurrentTime) == GrabSuccess;
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
            pointerX_ = e.xmotion.x_root;
            pointerY_ = e.xmotion.y_root;
            Move(e.xmotion.x_root, e.xmotion.y_root);
            return;
        case ButtonPress:
            Press(e.xbutton);
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

    // Called at every round of the modal loop: the pointer resting on a scroll arrow scrolls, at
    // once when it arrives and then an entry per pause of time, however long a round takes.
    void Tick()
    {
        const int li = LevelAt(pointerX_, pointerY_);
        Level* l = li < 0 ? nullptr : levels_[static_cast<size_t>(li)].get();
        const int arrow = l ? l->ArrowAt(pointerX_, pointerY_) : 0;
        const auto now = std::chrono::steady_clock::now();
        if (arrow == 0 || l != hoverLevel_ || arrow != hoverArrow_)
        {
            hoverLevel_ = arrow == 0 ? nullptr : l;
            hoverArrow_ = arrow;
            lastHoverScroll_ = now;
            if (arrow != 0) ScrollBy(*l, arrow);
            return;
        }
        const auto pauses = (now - lastHoverScroll_) / kHoverScrollPause;
        if (pauses <= 0) return;
        lastHoverScroll_ += pauses * kHoverScrollPause;
        ScrollBy(*l, arrow * static_cast<int>(std::min<decltype(pauses)>(pauses, 1 << 16)));
    }

private:
    // Scrolls a level by `count` entries (negative: up), as far as it goes.
    void ScrollBy(Level& l, int count)
    {
        const int first = std::clamp(l.first + count, 0, l.LastFirst());
        if (first == l.first) return;
        l.first = first;
        // Deeper levels belong to entries that moved.
        while (levels_.size() > 1 && levels_.back().get() != &l)
            CloseLevel();
        Paint(l);
    }

    // Scrolls the level so that entry i shows whole.
    void ShowEntry(Level& l, int i)
    {
        if (!l.scrolls || i < 0) return;
        int first = l.first;
        if (i < first) first = i;
        while (first < l.LastFirst() && l.ViewTop() + l.tops[static_cast<size_t>(i)] +
                                                HeightOf((*l.entries)[static_cast<size_t>(i)]) -
                                                l.tops[static_cast<size_t>(first)] >
                                            l.ViewBottom())
            ++first;
        ScrollBy(l, first - l.first);
    }

    void Press(const XButtonEvent& b)
    {
        if (b.button == Button4 || b.button == Button5)
        {
            Wheel(b.x_root, b.y_root, b.button == Button4 ? -kWheelEntries : kWheelEntries);
            return;
        }
        if (b.button > Button3) return;
        const int li = LevelAt(b.x_root, b.y_root);
        if (li < 0)
        {
            // A press outside dismisses; its release is taken here too, not by a window.
            dismissing_ = true;
            chosen_ = 0;
            return;
        }
        // A press on a scroll arrow scrolls by one entry.
        Level& l = *levels_[static_cast<size_t>(li)];
        if (const int arrow = l.ArrowAt(b.x_root, b.y_root)) ScrollBy(l, arrow);
        pressedInside_ = true;
    }

    void Wheel(int rootX, int rootY, int count)
    {
        const int li = LevelAt(rootX, rootY);
        Level& l = *levels_[li >= 0 ? static_cast<size_t>(li) : levels_.size() - 1];
        ScrollBy(l, count);
        // The entry now under the pointer is the hot one.
        if (li >= 0) SetHot(l, l.EntryAt(rootX, rootY));
    }

    // A submenu beside entry i of level l.
    void OpenSubmenu(const Level& l, int i)
    {
        const auto& e = (*l.entries)[static_cast<size_t>(i)];
        OpenLevel(e.submenu, l.x + l.width - kSubmenuOverlap, l.y + l.TopOf(static_cast<size_t>(i)), -1, &l,
                  kMinimumWidth);
    }

    // A level at the root point (rootX, rootY) where it fits. Else it moves, never over its parent
    // or its field: a submenu opens on the side its parent opened to (the right for the first
    // level's) while it fits there, else on the other side when it fits there, else on the side
    // with more room, as far as the screen allows; with no room below a menu opens above aboveY
    // when it fits there (-1: never), else as far up as it must. A level taller than the screen
    // fills its height and scrolls. Each level is at least minWidth wide.
    void OpenLevel(const Entries& entries, int rootX, int rootY, int aboveY, const Level* parent,
                   int minWidth)
    {
        auto l = std::make_unique<Level>();
        l->entries = &entries;
        int width = std::max(kMinimumWidth, minWidth);
        int y = 1;
        for (const auto& e : entries)
        {
            l->tops.push_back(y);
            y += HeightOf(e);
            width = std::max(width, LabelWidth(e.text) + 2 * kMarkWidth + 2);
        }
        l->width = width;
        l->height = y + 1;
        // Keep the level on the screen; one taller than the screen fills its height and scrolls.
        const int screenW = DisplayWidth(d_, DefaultScreen(d_));
        const int screenH = DisplayHeight(d_, DefaultScreen(d_));
        if (l->height > screenH && screenH > 2 * kScrollArrowHeight + kItemHeight)
        {
            l->scrolls = true;
            l->height = screenH;
        }
        l->x = std::min(rootX, screenW - l->width);
        if (parent != nullptr)
        {
            const int left = parent->x - l->width + kSubmenuOverlap;
            const bool fitsLeft = left >= 0;
            const bool fitsRight = rootX + l->width <= screenW;
            if (fitsLeft && fitsRight)
                l->leftward = parent->leftward;
            else if (fitsLeft || fitsRight)
                l->leftward = fitsLeft;
            else
                l->leftward = parent->x > screenW - (parent->x + parent->width);
            if (l->leftward) l->x = left;
        }
        l->x = std::max(0, l->x);
        l->y = rootY;
        if (l->y + l->height > screenH)
            l->y = aboveY >= l->height ? aboveY - l->height : std::max(0, screenH - l->height);
        XSetWindowAttributes a{};
        a.override_redirect = True;
        a.save_under = True;
        a.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask;
        l->xwin = XCreateWindow(d_, DefaultRootWindow(d_), l->x, l->y, static_cast<unsigned>(l->width),
                                static_cast<unsigned>(l->height), 0, CopyFromParent, InputOutput,
                                CopyFromParent, CWOverrideRedirect | CWSaveUnder | CWEventMask, &a);
        SetWindowType(d_, l->xwin, "_NET_WM_WINDOW_TYPE_POPUP_MENU");
        l->gc = XCreateGC(d_, l->xwin, 0, nullptr);
        l->surface.Resize(l->width, l->height);
        l->image =
            XCreateImage(d_, DefaultVisual(d_, DefaultScreen(d_)), 24, ZPixmap, 0,
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
        if (hoverLevel_ == &l) hoverLevel_ = nullptr;
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
        for (size_t i = static_cast<size_t>(l.first); i < l.entries->size(); ++i)
        {
            const auto& e = (*l.entries)[i];
            const int top = l.TopOf(i);
            if (top >= l.ViewBottom()) break;
            if (e.flags & MF_SEPARATOR)
            {
                FillArea(l.surface,
                         RECT{4, top + kSeparatorHeight / 2, l.width - 4, top + kSeparatorHeight / 2 + 1},
                         kFrameColour);
                continue;
            }
            const bool hot = static_cast<int>(i) == l.hot && (Selectable(e) || Openable(e));
            const RECT row{1, top, l.width - 1, top + kItemHeight};
            if (hot) FillArea(l.surface, row, kHotColour);
            const bool grey = (e.flags & (MF_GRAYED | MF_DISABLED)) != 0;
            const uint32_t ink = hot ? kHotTextColour : (grey ? kGreyTextColour : kTextColour);
            DrawLabel(l.surface, e.text, RECT{kMarkWidth, top, l.width - kMarkWidth, top + kItemHeight}, ink,
                      DT_LEFT);
            if (e.flags & MF_CHECKED) DrawCheck(l.surface, RECT{1, top, kMarkWidth, top + kItemHeight}, ink);
            if (!e.submenu.empty())
                DrawArrow(l.surface, RECT{l.width - kMarkWidth, top, l.width - 1, top + kItemHeight}, ink);
        }
        if (l.scrolls)
        {
            // The arrows cover what lies past the view; one that cannot scroll further is grey.
            const RECT up{1, 1, l.width - 1, l.ViewTop()};
            const RECT down{1, l.ViewBottom(), l.width - 1, l.height - 1};
            FillArea(l.surface, up, kFaceColour);
            FillArea(l.surface, down, kFaceColour);
            DrawArrowUp(l.surface, up, l.first > 0 ? kTextColour : kGreyTextColour);
            DrawArrowDown(l.surface, down, l.first < l.LastFirst() ? kTextColour : kGreyTextColour);
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
        if (std::abs(rootX - startX_) > kDragThreshold || std::abs(rootY - startY_) > kDragThreshold)
            moved_ = true;
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
        if (Openable(e)) OpenSubmenu(l, entry);
    }

    void Release(int rootX, int rootY)
    {
        if (std::abs(rootX - startX_) > kDragThreshold || std::abs(rootY - startY_) > kDragThreshold)
            moved_ = true;
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
                    OpenSubmenu(l, l.hot);
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
            ShowEntry(l, next);
            return;
        }
        case XK_Home:
        case XK_End:
        case XK_Prior:
        case XK_Next:
        {
            // To the first or last entry, or a page of entries up or down; then to the nearest
            // entry that can be taken in that direction.
            const int n = static_cast<int>(l.entries->size());
            const int page = std::max(1, (l.ViewBottom() - l.ViewTop()) / kItemHeight - 1);
            const bool down = sym == XK_End || sym == XK_Next;
            int next = std::max(l.hot, 0) + (down ? page : -page);
            if (sym == XK_Home) next = 0;
            if (sym == XK_End) next = n - 1;
            next = std::clamp(next, 0, n - 1);
            const auto takes = [&](int i)
            {
                const auto& e = (*l.entries)[static_cast<size_t>(i)];
                return Selectable(e) || Openable(e);
            };
            int found = next;
            while (found >= 0 && found < n && !takes(found))
                found += down ? 1 : -1;
            if (found < 0 || found >= n)
                for (found = next; found >= 0 && found < n && !takes(found);)
                    found += down ? -1 : 1;
            if (found < 0 || found >= n) return;
            SetHot(l, found);
            ShowEntry(l, found);
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
    int pointerX_ = -1, pointerY_ = -1;
    std::chrono::steady_clock::time_point lastHoverScroll_{};
    const Level* hoverLevel_ = nullptr; // the level whose scroll arrow the pointer rests on
    int hoverArrow_ = 0;
    UINT_PTR chosen_ = 0;
};

} // namespace

UINT_PTR X11Desktop::TrackMenu(const std::vector<win32::MenuEntrySnapshot>& entries, int x, int y,
                               const RECT& exclude, int minWidth, HWND owner)
{
    Display* d = XConnection::Current();
    int rootX = 0, rootY = 0;
    if (!d || entries.empty() || !RootPoint(owner, POINT{x, y}, rootX, rootY)) return 0;
    // Without room below, the menu opens above its field (or above the point when it has none).
    int fieldX = 0, aboveY = rootY;
    if (exclude.bottom > exclude.top && exclude.top <= y &&
        !RootPoint(owner, POINT{x, exclude.top}, fieldX, aboveY))
        aboveY = rootY;
    MenuRun run(d);
    run.Start(entries, rootX, rootY, aboveY, minWidth);
    auto previous = std::move(foreign_);
    foreign_ = [&run](XEvent& e) { run.Handle(e); };
    ++menuDepth_;
    // While the menu runs, the windows under it keep painting, but only the menu takes input.
    while (!run.Done())
    {
        ModalRound(owner, kRoundMs);
        run.Grab();
        run.Tick();
    }
    --menuDepth_;
    foreign_ = std::move(previous);
    run.Finish();
    EndModalPointer(owner);
    return run.Chosen();
}

} // namespace quova::x11
