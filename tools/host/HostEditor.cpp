#include "tools/host/HostEditor.h"

#include "platform/testing/SurfacePng.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

namespace quova::host
{
namespace
{
// How long Open waits for the window manager (if any) to show the window.
constexpr int kMapWaitMs = 2000;

double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The last X error on the host's connection while SavePng reads the window back (0: none).
int gReadError = 0;
int RememberReadError(Display*, XErrorEvent* event)
{
    gReadError = event->error_code;
    return 0;
}
} // namespace

HostEditor::HostEditor(VstHost& host) : host_(host) {}

HostEditor::~HostEditor()
{
    Close();
}

bool HostEditor::Open(std::string& error)
{
    display_ = XOpenDisplay(nullptr);
    if (!display_)
    {
        const char* name = std::getenv("DISPLAY");
        error = name && *name ? std::string("cannot open the X display ") + name
                              : std::string("the editor needs an X server, and DISPLAY is not set");
        return false;
    }
    const int screen = DefaultScreen(display_);
    // Quova's editor opens on a screen of 24-bit true colour only (its pixels are the screen's own)
    // and tells no more than that it could not open: the host says why before it asks.
    const Visual* visual = DefaultVisual(display_, screen);
    if (DefaultDepth(display_, screen) != 24 || visual->red_mask != 0xFF0000 ||
        visual->green_mask != 0xFF00 || visual->blue_mask != 0xFF)
    {
        error = std::string("the editor needs a screen of 24-bit true colour, and the X display ") +
                DisplayString(display_) + " shows " + std::to_string(DefaultDepth(display_, screen)) +
                "-bit colour (for an Xvfb: -screen 0 1280x1024x24)";
        Close();
        return false;
    }
    ERect* rect = nullptr;
    if (host_.Dispatch(vst::effEditGetRect, 0, 0, &rect) == 0 || !rect || rect->right <= rect->left ||
        rect->bottom <= rect->top)
    {
        error = "the plug-in has no editor";
        Close();
        return false;
    }
    width_ = rect->right - rect->left;
    height_ = rect->bottom - rect->top;
    window_ =
        XCreateSimpleWindow(display_, RootWindow(display_, screen), 0, 0, unsigned(width_), unsigned(height_),
                            0, BlackPixel(display_, screen), BlackPixel(display_, screen));
    XStoreName(display_, window_, "quova_host");
    Atom deleteAtom = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    deleteAtom_ = deleteAtom;
    XSetWMProtocols(display_, window_, &deleteAtom, 1);
    XSelectInput(display_, window_, StructureNotifyMask);
    XMapWindow(display_, window_);
    // Wait until the window is on the screen, so that the first frame can be seen at once.
    const auto mapStart = std::chrono::steady_clock::now();
    for (XEvent event; MillisecondsSince(mapStart) < kMapWaitMs;)
    {
        if (XCheckTypedWindowEvent(display_, window_, MapNotify, &event)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    host_.SetSizeWindowHandler([this](int width, int height) { return Resize(width, height); });

    const auto start = std::chrono::steady_clock::now();
    if (host_.Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(window_))) != 1)
    {
        error = "the plug-in could not open its editor in the window";
        Close();
        return false;
    }
    editorOpen_ = true;
    // effEditOpen presents the first frame; one idle round and a round trip make sure it arrived.
    host_.Dispatch(vst::effEditIdle);
    XSync(display_, False);
    firstFrameMs_ = MillisecondsSince(start);
    return true;
}

bool HostEditor::Resize(int width, int height)
{
    if (!display_ || !window_) return false;
    width_ = width;
    height_ = height;
    XResizeWindow(display_, window_, unsigned(width), unsigned(height));
    XFlush(display_);
    return true;
}

void HostEditor::Idle()
{
    if (!display_ || closed_) return;
    if (editorOpen_) host_.Dispatch(vst::effEditIdle);
    while (XPending(display_) > 0)
    {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == ClientMessage && static_cast<unsigned long>(event.xclient.data.l[0]) == deleteAtom_)
            closed_ = true;
        if (event.type == DestroyNotify && event.xdestroywindow.window == window_)
            closed_ = destroyed_ = true;
    }
}

bool HostEditor::SavePng(const std::string& path, std::string& error)
{
    if (!display_ || !window_ || destroyed_)
    {
        error = "the editor's window is gone: no picture of it to save";
        return false;
    }
    // A window that is not shown whole on the screen cannot be read back; the server says so with
    // an error, which would end the program in Xlib's own handler. This host's process uses Xlib
    // on this thread only, and the plug-in takes the errors of its own connection itself.
    XSync(display_, False);
    gReadError = 0;
    const XErrorHandler previous = XSetErrorHandler(RememberReadError);
    XImage* image =
        XGetImage(display_, window_, 0, 0, unsigned(width_), unsigned(height_), AllPlanes, ZPixmap);
    XSync(display_, False);
    XSetErrorHandler(previous);
    if (!image || gReadError != 0)
    {
        if (image) XDestroyImage(image);
        error = "cannot read the editor window back from the X server (it must be shown whole on the screen)";
        return false;
    }
    std::vector<uint32_t> pixels(size_t(width_) * size_t(height_));
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            pixels[size_t(y) * size_t(width_) + size_t(x)] = uint32_t(XGetPixel(image, x, y)) | 0xFF000000u;
    XDestroyImage(image);
    if (!WritePixelsPng(pixels.data(), width_, height_, width_, path.c_str(), PngAlpha::Opaque))
    {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

void HostEditor::Close()
{
    if (editorOpen_)
    {
        host_.Dispatch(vst::effEditClose);
        editorOpen_ = false;
    }
    host_.SetSizeWindowHandler(nullptr);
    if (display_)
    {
        if (window_ && !destroyed_) XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
    }
    window_ = 0;
    display_ = nullptr;
}

} // namespace quova::host
