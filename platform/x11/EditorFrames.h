#pragma once
// Editor frames on X11: how a Linux host's editor window (an X11 window id handed to
// effEditOpen) becomes a window of the window layer that an editor opens its child window in.
//
// OpenFrame makes a top-level window of the layer (the frame) and an X child window of the host's
// window that shows it; the editor then opens inside the frame as it would inside any host frame.
// The X window always has the frame's size, whatever the host's window does: some hosts size their
// window from ours (a few pixels larger), and a window of ours that followed theirs would make both
// grow without end. A host window larger than the frame shows its own background beyond it. A host
// may ask before its own connection has sent its window to the server: the frame then waits, and
// its X window is made at the first Idle that finds the host's window. The server is asked again at
// growing intervals, for two seconds: a host window not there by then was destroyed before the
// editor saw it (while a slow display kept the open waiting), and the frame waits for nothing more;
// an Idle between looks, or after, costs no round trip. Idle, called by the host's
// user-interface thread (effEditIdle), reads the X events, delivers the layer's messages and due
// timers, follows size changes of the frame (resizing the X window and telling the host through
// onResize), and presents the changed pixels. CloseFrame destroys both windows; the last one closes
// the X connection.
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

// A frame of width x height inside the X window `hostWindow`; null when no X server answers or
// nothing more can be shown. A host window the server does not know yet is waited for (see above).
// onResize(width, height) is called from Idle when the frame's size changed.
HWND OpenFrame(uintptr_t hostWindow, int width, int height, std::function<void(int, int)> onResize);
// Destroys the frame (and what is still open in it) and its X window.
void CloseFrame(HWND frame);
// One round of the user-interface work for every open frame.
void Idle();

// For tests and tools: the X window showing a frame (0 when none, or still waiting), whether a frame
// still waits for its host's window, open frames, whether a frame's whole area reached the screen
// once, X errors seen on the connection outside traps, and whether the connection is open.
unsigned long FrameXWindow(HWND frame);
bool FrameWaitsForHost(HWND frame);
int OpenFrameCount();
bool FramePresentedWhole(HWND frame);
unsigned long UnexpectedXErrors();
bool ConnectionOpen();

} // namespace quova::x11
