// The shared X connection and its error handler.
#include "platform/x11/XConnection.h"

#include <X11/Xutil.h>

namespace quova::x11
{

namespace
{

Display* gDisplay = nullptr;
int gUsers = 0;
XErrorHandler gPreviousHandler = nullptr;
unsigned long gUnexpected = 0;
unsigned long gCaught = 0;
bool gTrapping = false;

int OnError(Display* display, XErrorEvent* error)
{
    if (display != gDisplay) return gPreviousHandler ? gPreviousHandler(display, error) : 0;
    if (gTrapping)
        ++gCaught;
    else
        ++gUnexpected;
    return 0;
}

bool ShowsTrueColour(Display* display)
{
    const int screen = DefaultScreen(display);
    Visual* visual = DefaultVisual(display, screen);
    // Surface pixels are 0xAARRGGBB words: a 24-bit true-colour screen takes them as they are.
    return DefaultDepth(display, screen) == 24 && visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 &&
           visual->blue_mask == 0xFF;
}

} // namespace

Display* XConnection::Acquire()
{
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
    gPreviousHandler = XSetErrorHandler(OnError);
    gUsers = 1;
    return gDisplay;
}

void XConnection::Release()
{
    if (gUsers == 0 || --gUsers > 0) return;
    XSync(gDisplay, False);
    XCloseDisplay(gDisplay);
    gDisplay = nullptr;
    // Hand the process back to the handler that was there, unless someone replaced ours since.
    XErrorHandler current = XSetErrorHandler(gPreviousHandler);
    if (current != OnError) XSetErrorHandler(current);
    gPreviousHandler = nullptr;
}

Display* XConnection::Current()
{
    return gDisplay;
}

unsigned long XConnection::UnexpectedErrors()
{
    return gUnexpected;
}

ErrorTrap::ErrorTrap(Display* display) : display_(display), caughtBefore_(gCaught), outer_(!gTrapping)
{
    if (display_) XSync(display_, False); // earlier errors are not ours to catch
    gTrapping = true;
}

ErrorTrap::~ErrorTrap()
{
    if (display_) XSync(display_, False);
    if (outer_) gTrapping = false;
}

bool ErrorTrap::Failed()
{
    if (display_) XSync(display_, False);
    return gCaught != caughtBefore_;
}

} // namespace quova::x11
