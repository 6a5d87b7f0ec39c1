// DoubleRadioButtonsListener: couples two rows of radio buttons that share one selection (the
// step grid's lane buttons and the controller-lane buttons): a mouse event on either row makes
// that row active and the other inactive, so only one of them shows a chosen button. Value
// changes alone do nothing.
//
// Editor thread. The two controls are not owned and must outlive the listener's use; the listener
// must outlive its attachment to them. Non-copyable.
#pragma once

#include "gui/IObserverInterface.h"

class ICustomRadioButtonsControl;

class DoubleRadioButtonsListener : public IObserverInterface
{
public:
    // Attaches itself to both (either may be null); first becomes active, second inactive.
    DoubleRadioButtonsListener(ICustomRadioButtonsControl* first, ICustomRadioButtonsControl* second);
    DoubleRadioButtonsListener(const DoubleRadioButtonsListener&) = delete;
    DoubleRadioButtonsListener& operator=(const DoubleRadioButtonsListener&) = delete;

    // Nothing.
    void OnSubjectChanged(ISubject* subject) override;
    // subject active, the other inactive (for a subject that is one of the two).
    void OnSubjectMouseEvent(ISubject* subject, int x, int y, int kind,
                             const IMouseModifiers& modifiers) override;

    ICustomRadioButtonsControl* GetFirst() const { return first_; }
    ICustomRadioButtonsControl* GetSecond() const { return second_; }

private:
    ICustomRadioButtonsControl* first_;
    ICustomRadioButtonsControl* second_;
};
