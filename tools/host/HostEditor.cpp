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
    const int screen = DefaultScreen(display_);
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
        if (event.type == DestroyNotify && event.xdestroywindow.window == window_) closed_ = true;
    }
}

bool HostEditor::SavePng(const std::string& path, std::string& error)
{
    if (!display_ || !window_)
    {
        error = "no editor window to save";
        return false;
    }
    XSync(display_, False);
    XImage* image =
        XGetImage(display_, window_, 0, 0, unsigned(width_), unsigned(height_), AllPlanes, ZPixmap);
    if (!image)
    {
        error = "cannot read the editor window back from the X server";
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
        if (window_) XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
    }
    window_ = 0;
    display_ = nullptr;
}

} // namespace quova::host
