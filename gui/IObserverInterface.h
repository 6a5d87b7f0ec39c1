// IObserverInterface: watches an ISubject (every control is one) for value changes and mouse
// events. Observers are not owned by the subjects they watch; an observer must outlive its
// attachment. Called on the editor's thread.
#pragma once

#include "gui/IMouseModifiers.h"

class ISubject;

class IObserverInterface
{
public:
    // Kinds of mouse event passed to OnSubjectMouseEvent.
    enum MouseEventKind : int
    {
        kMouseDown = 0,
        kMouseUp = 1,
        kMouseDoubleClick = 2
    };

    // The subject's value changed; called at most once per editor timer tick after a change.
    virtual void OnSubjectChanged(ISubject* subject) = 0;
    // A mouse button went down (kind 0), up (1) or was double-clicked (2) on the subject at (x, y).
    virtual void OnSubjectMouseEvent(ISubject* subject, int x, int y, int kind,
                                     const IMouseModifiers& modifiers) = 0;
    virtual ~IObserverInterface() = default;
};
