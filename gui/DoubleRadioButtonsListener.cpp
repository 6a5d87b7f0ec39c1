#include "gui/DoubleRadioButtonsListener.h"

#include "gui/ICustomRadioButtonsControl.h"

DoubleRadioButtonsListener::DoubleRadioButtonsListener(ICustomRadioButtonsControl* first,
                                                       ICustomRadioButtonsControl* second)
    : first_(first), second_(second)
{
    if (first_ != nullptr)
    {
        first_->AttachObserver(this);
        first_->SetActive(true);
    }
    if (second_ != nullptr)
    {
        second_->AttachObserver(this);
        second_->SetActive(false);
    }
}

void DoubleRadioButtonsListener::OnSubjectChanged(ISubject* /*subject*/) {}

void DoubleRadioButtonsListener::OnSubjectMouseEvent(ISubject* subject, int /*x*/, int /*y*/, int /*kind*/,
                                                     const IMouseModifiers& /*modifiers*/)
{
    if (subject == nullptr) return;
    ICustomRadioButtonsControl* chosen = nullptr;
    ICustomRadioButtonsControl* other = nullptr;
    if (subject == first_)
    {
        chosen = first_;
        other = second_;
    }
    else if (subject == second_)
    {
        chosen = second_;
        other = first_;
    }
    else
    {
        return;
    }
    chosen->SetActive(true);
    if (other != nullptr) other->SetActive(false);
}
