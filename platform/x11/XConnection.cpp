// The shared X connection and its error handler.
#include "platform/x11/XConnection.h"

#include "platform/win32/WindowLayerLock.h"

#include <X11/Xlibint.h>
#include <X11/Xutil.h>

namespace quova::x11
{

namespace
{

Display* gDisplay = nullptr;
int gUsers = 0;
unsigned long gUnexpected = 0;
unsigned long gCaught = 0;
bool gTrapping = false;
unsigned long gTrapFirst = 0; // the number of the first request inside the outermost trap

// Xlib turns each error that arrives on a connection into an event through the connection's own
// table of converters before it calls the process's one error handler; a converter that answers
// False ends the error there. Ours counts the error and ends it, so that errors on our connection
// never reach the host's handler, and the process-wide handler is never touched: no chain of
// handlers to keep right whatever the host, its libraries or other copies of this module install
// or remove, and in whatever order.
using WireToError = Bool (*)(Display*, XErrorEvent*, xError*);
WireToError gConverters[256] = {};

Bool OnError(Display* display, XErrorEvent* error, xError* wire)
{
    const int code = error->error_code & 0xFF;
    // An extension's own converter fills in its errors' details first.
    if (gConverters[code] && !gConverters[code](display, error, wire)) return False;
    if (gTrapping && error->serial >= gTrapFirst)
        ++gCaught;
    else
        ++gUnexpected;
    return False;
}

void HandleErrorsOf(Display* display)
{
    for (int code = 1; code < 256; ++code)
        gConverters[code] = XESetWireToError(display, code, OnError);
}

bool ShowsTrueColour(Display* display)
{
    const int screen = DefaultScreen(display);
    Visual* visual = DefaultVisual(display, screen);
    // Surface pixels are 0xAARRGGBB words: a 24-bit true-colour screen takes them as they are.
    return DefaultDepth(display, screen) == 24 && visual->red_mask == 0xFF0000 &&
           visual->green_mask == 0xFF00 && visual->blue_mask == 0xFF;
}

} // namespace

Display* XConnection::Acquire()
{
    win32::WindowLayerGuard layer;
    if (gUsers > 0)
    {
        ++gUsers;
        return gDisplay;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    if (!ShowsTrueColour(display))
    {
        XCloseDisplay(display);
        return nullptr;
    }
    gDisplay = display;
    HandleErrorsOf(display);
    gUsers = 1;
    return gDisplay;
}

void XConnection::Release()
{
    win32::WindowLayerGuard layer;
    if (gUsers == 0 || --gUsers > 0) return;
    XSync(gDisplay, False);
    XCloseDisplay(gDisplay);
    gDisplay = nullptr;
}

Display* XConnection::Current()
{
    return gDisplay;
}

unsigned long XConnection::UnexpectedErrors()
{
    return gUnexpected;
}

ErrorTrap::ErrorTrap(Display* display, bool syncAround)
    : display_(display), caughtBefore_(gCaught), outer_(!gTrapping), syncAround_(syncAround)
{
    if (display_ && syncAround_) XSync(display_, False); // earlier errors are not ours to catch
    if (outer_) gTrapFirst = display_ ? NextRequest(display_) : 0;
    gTrapping = true;
}

ErrorTrap::~ErrorTrap()
{
    if (display_ && syncAround_) XSync(display_, False);
    if (outer_) gTrapping = false;
}

bool ErrorTrap::Failed()
{
    if (display_) XSync(display_, False);
    return gCaught != caughtBefore_;
}

} // namespace quova::x11
