#pragma once
// Editor frames on X11: how a Linux host's editor window (an X11 window id handed to
// effEditOpen) becomes a window of the window layer that an editor opens its child window in.
//
// OpenFrame makes an X child window of the host's window at the editor's size and a top-level
// window of the layer (the frame) that it shows; the editor then opens inside the frame as it
// would inside any host frame. Idle, called by the host's user-interface thread (effEditIdle),
// reads the X events, delivers the layer's messages and due timers, follows size changes of the
// frame (resizing the X window and telling the host through onResize), and presents the changed
// pixels. CloseFrame destroys both windows; the last one closes the X connection.
//
// Threads: any thread; OpenFrame, CloseFrame and Idle hold the window layer's lock
// (platform/win32/WindowLayerLock.h), as the editor opcodes that call them do.

#include "platform/types/Win32Types.h"

#include <cstdint>
#include <functional>

namespace quova::x11
{

// True when `parent` can only be an X11 window id: no window of the layer, and a value an X
// resource id can have (29 bits, not zero).
bool IsForeignWindowId(const void* parent);

// A frame of width x height inside the X window `hostWindow`; null when no X server answers, the
// host's window does not exist, or nothing more can be shown. onResize(width, height) is called
// from Idle when the frame's size changed.
HWND OpenFrame(uintptr_t hostWindow, int width, int height, std::function<void(int, int)> onResize);
// Destroys the frame (and what is still open in it) and its X window.
void CloseFrame(HWND frame);
// One round of the user-interface work for every open frame.
void Idle();

// For tests and tools: the X window showing a frame (0 when none), open frames, whether a frame's
// whole area reached the screen once, X errors seen on the connection outside traps, and whether
// the connection is open.
unsigned long FrameXWindow(HWND frame);
int OpenFrameCount();
bool FramePresentedWhole(HWND frame);
unsigned long UnexpectedXErrors();
bool ConnectionOpen();

} // namespace quova::x11
