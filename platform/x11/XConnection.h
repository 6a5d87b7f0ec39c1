#pragma once
// The process's one connection to the X server, open while anything of ours is shown on it, and
// the error handling around it: errors on our connection are counted (or caught by a trap around
// a request that may fail), never fatal, and never reach the process's X error handler, which is
// left as the host has it; errors on other connections (the host's) never pass through us.
//
// Threads: the thread that holds the window layer's lock (platform/win32/WindowLayerLock.h), which
// Acquire and Release take themselves.

#include <X11/Xlib.h>

namespace quova::x11
{

class XConnection
{
public:
    // Opens the connection (the DISPLAY variable) on the first call; every call is matched by
    // Release. Null when no server answers or the screen cannot show 24-bit true colour.
    static Display* Acquire();
    // The last Release closes the connection.
    static void Release();
    // The open connection, or null.
    static Display* Current();
    // Errors on our connection outside a trap since the process started.
    static unsigned long UnexpectedErrors();
};

// Catches the X errors of the requests made while it lives (they do not count as unexpected).
class ErrorTrap
{
public:
    // syncAround: waits for the server before (earlier errors are not this trap's) and after (so
    // that its requests' errors arrive while it lives). A trap around requests that each wait for
    // their answer needs neither: an answer comes after every earlier error, and errors of requests
    // made before the trap are told apart by their numbers. Such a trap costs no round trip.
    explicit ErrorTrap(Display* display, bool syncAround = true);
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;
    // Waits for the server to handle every request so far; true when one of them failed.
    bool Failed();

private:
    Display* display_;
    unsigned long caughtBefore_;
    bool outer_;
    bool syncAround_;
};

} // namespace quova::x11
