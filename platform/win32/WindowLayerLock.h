#pragma once
// The window layer's lock, one for each copy of the module.
//
// The layer's state (windows, classes, the message queue, timers, focus, capture), the X11 desktop
// shown over it, the desktop's frame list and the shared X connection's user count are module-wide:
// every editor of every plug-in instance in this copy of the module lives in them, and one editor's
// idle delivers the timers and paints of all of them. A host may call the editor from more than one
// thread (a bridge gives each editor a thread of its own), so every entry that reaches that state
// from outside (the editor opcodes of the VST layer, the X connection's acquire and release, the X11
// frames' open, close and idle) holds this lock. The thread that holds it is the editor's thread:
// the hook set by the toolkit moves every open editor to it as it takes the lock.
//
// Lock order: this lock first, then a plug-in's lock (an editor's tick takes its plug-in's lock
// under it). A thread that holds a plug-in's lock never takes this one, unless it holds this one
// already. Recursive: the holder may take it again.

namespace quova::win32
{

void EnterWindowLayer();
void LeaveWindowLayer();

// Called with the lock held each time a thread takes it (not when the holder takes it again).
// One hook per module copy; null removes it.
using WindowLayerEntryHook = void (*)();
void SetWindowLayerEntryHook(WindowLayerEntryHook hook);

// Holds the lock for its lifetime.
class WindowLayerGuard
{
public:
    WindowLayerGuard() { EnterWindowLayer(); }
    ~WindowLayerGuard() { LeaveWindowLayer(); }
    WindowLayerGuard(const WindowLayerGuard&) = delete;
    WindowLayerGuard& operator=(const WindowLayerGuard&) = delete;
};

} // namespace quova::win32
