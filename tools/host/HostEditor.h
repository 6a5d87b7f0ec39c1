#pragma once
// The plug-in's editor in a real top-level X11 window of the command-line host: the window is
// made at the size effEditGetRect reports, handed to effEditOpen, and kept alive by Idle
// (effEditIdle and the host window's own events); audioMasterSizeWindow resizes it. SavePng
// reads the window's pixels back from the X server.
//
// Threads: the thread that made it (the host's user-interface thread).

#include "tools/host/VstHost.h"

#include <string>

typedef struct _XDisplay Display;

namespace quova::host
{

class HostEditor
{
public:
    explicit HostEditor(VstHost& host);
    // Closes the editor and the window when still open.
    ~HostEditor();
    HostEditor(const HostEditor&) = delete;
    HostEditor& operator=(const HostEditor&) = delete;

    // Opens the display (DISPLAY), makes and shows the window, opens the editor in it. False with
    // error set when any of that fails.
    bool Open(std::string& error);
    // effEditIdle, then the window's own events. Call at about 30 Hz.
    void Idle();
    // The user closed the window (or it went away).
    bool Closed() const { return closed_; }
    // A PNG of the window as the X server shows it, also after the user closed it (a window the
    // user closes is asked to go, and stays until Close). False with error set when the window
    // was destroyed or is not shown whole on the screen.
    bool SavePng(const std::string& path, std::string& error);
    // effEditClose, then the window and the display go.
    void Close();
    // Milliseconds from effEditOpen until the editor's whole frame was on the screen (after the
    // first idle call that presented it); negative until then.
    double FirstFrameMs() const { return firstFrameMs_; }
    unsigned long Window() const { return window_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    bool Resize(int width, int height);

    VstHost& host_;
    Display* display_ = nullptr;
    unsigned long window_ = 0;
    unsigned long deleteAtom_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool editorOpen_ = false;
    bool closed_ = false;
    bool destroyed_ = false; // by someone else: there is nothing to read back or destroy
    double firstFrameMs_ = -1.0;
};

} // namespace quova::host
