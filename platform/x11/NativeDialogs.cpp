// Modal dialogs and the opener on X11. A dialog of the window layer (made by DialogBoxParamA or
// MessageBoxA) is shown in a transient X top-level window over the editor's window and takes the
// input until it ends; web addresses and files open with xdg-open.
#include "platform/win32/Paint.h"
#include "platform/win32/Window.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/XConnection.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace quova::x11
{

using namespace quova::win32;

namespace
{

constexpr int kRoundMs = 10;
// ShellExecuteA results: above 32 is success; SE_ERR_NOASSOC for what cannot be opened.
constexpr intptr_t kOpened = 42;
constexpr intptr_t kCannotOpen = 31;

// The X window that shows a dialog: a transient top-level over the window of its owner.
Window MakeDialogWindow(Display* d, Window over, const std::string& title, int x, int y, int width,
                        int height)
{
    XSetWindowAttributes a{};
    a.background_pixel = WhitePixel(d, DefaultScreen(d));
    a.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                   LeaveWindowMask | KeyPressMask | KeyReleaseMask | FocusChangeMask | StructureNotifyMask;
    Window w = XCreateWindow(d, DefaultRootWindow(d), x, y, static_cast<unsigned>(width),
                             static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                             CWBackPixel | CWEventMask, &a);
    XStoreName(d, w, title.c_str());
    SetWindowType(d, w, "_NET_WM_WINDOW_TYPE_DIALOG");
    if (over) XSetTransientForHint(d, w, over);
    XSizeHints* hints = XAllocSizeHints();
    if (hints)
    {
        hints->flags = PPosition | PMinSize | PMaxSize;
        hints->x = x;
        hints->y = y;
        hints->min_width = hints->max_width = width;
        hints->min_height = hints->max_height = height;
        XSetWMNormalHints(d, w, hints);
        XFree(hints);
    }
    Atom deleteWindow = XInternAtom(d, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(d, w, &deleteWindow, 1);
    return w;
}

} // namespace

void X11Desktop::RunModal(HWND dialog, const std::function<bool()>& ended)
{
    Display* d = XConnection::Current();
    HWND owner = GetParent(dialog);
    ShownWindow* ownerShown = FindByTop(win32::TopLevelOf(owner));
    if (!d || !ownerShown || ended()) return;
    RECT r{};
    GetWindowRect(dialog, &r);
    const int width = std::max(1, static_cast<int>(r.right - r.left));
    const int height = std::max(1, static_cast<int>(r.bottom - r.top));
    // Centred over the owner's shown window, and moved up and left as far as it takes to lie on
    // the screen (without a window manager nothing else keeps its buttons within reach).
    int x = 0, y = 0;
    RECT ownerRect{};
    GetWindowRect(ownerShown->top, &ownerRect);
    RootPoint(ownerShown->top, POINT{ownerRect.left, ownerRect.top}, x, y);
    x += (ownerShown->width - width) / 2;
    y += (ownerShown->height - height) / 2;
    x = std::max(0, std::min(x, DisplayWidth(d, DefaultScreen(d)) - width));
    y = std::max(0, std::min(y, DisplayHeight(d, DefaultScreen(d)) - height));
    Window over = ownerShown->xwinAlive ? TopAncestor(ownerShown->xwin) : 0;
    char title[256] = {};
    GetWindowTextA(dialog, title, sizeof title);
    Window xwin = MakeDialogWindow(d, over, title, x, y, width, height);
    ShownWindow* shown = Show(ShownWindow::Kind::Dialog, dialog, xwin, width, height);
    if (!shown)
    {
        XDestroyWindow(d, xwin);
        return;
    }
    XMapRaised(d, xwin);
    InvalidateRect(dialog, nullptr, TRUE);
    bool focused = false;
    while (!ended())
    {
        if (!focused && shown->wholePresented)
        {
            // The keys go to the dialog once it is on the screen.
            ErrorTrap trap(d);
            XSetInputFocus(d, xwin, RevertToParent, CurrentTime);
            focused = !trap.Failed();
        }
        ModalRound(dialog, kRoundMs);
        shown = FindByTop(dialog);
        if (!shown) break;
    }
    if ((shown = FindByTop(dialog)) != nullptr) Forget(shown);
    XDestroyWindow(d, xwin);
    // The X focus goes to the root window with the dialog's window (with no window manager nothing
    // gives it back): a dialog this one was opened over (the save dialog under its "File exists!"
    // question) takes the keys again.
    ShownWindow* outer = FindByTop(win32::TopLevelOf(owner));
    if (outer != nullptr && outer->kind == ShownWindow::Kind::Dialog && outer->xwinAlive)
    {
        ErrorTrap trap(d);
        XSetInputFocus(d, outer->xwin, RevertToParent, CurrentTime);
    }
    XFlush(d);
    EndModalPointer(owner);
}

intptr_t X11Desktop::Open(const std::string& operation, const std::string& file)
{
    // Only "open" of a non-empty address that cannot pass for an option of the opener.
    if ((operation != "open" && !operation.empty()) || file.empty() || file[0] == '-') return kCannotOpen;
    // The opener runs in the background of a shell that ends at once and is waited for here: the
    // opener is left to the system however long it runs, never a child of the host's process.
    std::string shell = "sh";
    std::string dashC = "-c";
    std::string script = "command -v xdg-open >/dev/null 2>&1 || exit 127\n"
                         "xdg-open \"$1\" </dev/null >/dev/null 2>&1 &\n";
    std::string name = "quova-open";
    std::string argument = file;
    char* argv[] = {shell.data(), dashC.data(), script.data(), name.data(), argument.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv, environ) != 0) return kCannotOpen;
    int status = 0;
    pid_t waited = -1;
    do
        waited = waitpid(pid, &status, 0);
    while (waited < 0 && errno == EINTR);
    // A host that lets the system reap its children leaves nothing to wait for.
    if (waited < 0) return errno == ECHILD ? kOpened : kCannotOpen;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? kOpened : kCannotOpen;
}

} // namespace quova::x11
