#include "gui/ISubject.h"

#include <new>

namespace
{
constexpr int kObserverListGranularity = 32;
}

ISubject::~ISubject()
{
    delete observers_;
}

bool ISubject::AttachObserver(IObserverInterface* observer)
{
    if (observer == nullptr) return false;
    if (observers_ == nullptr)
    {
        if (onlyObserver_ == nullptr)
        {
            onlyObserver_ = observer;
            return true;
        }
        if (onlyObserver_ == observer) return false;
        auto* list = new (std::nothrow) PtrList<IObserverInterface>(kObserverListGranularity);
        if (list == nullptr || list->Add(onlyObserver_) == nullptr)
        {
            delete list;
            return false;
        }
        observers_ = list;
        onlyObserver_ = nullptr;
    }
    if (observers_->Find(observer) >= 0) return false;
    return observers_->Add(observer) != nullptr;
}

bool ISubject::DetachObserver(IObserverInterface* observer)
{
    if (observers_ == nullptr)
    {
        if (observer == nullptr || onlyObserver_ != observer) return false;
        onlyObserver_ = nullptr;
        return true;
    }
    const int i = observers_->Find(observer);
    if (i < 0) return false;
    observers_->RemoveAt(i);
    return true;
}

void ISubject::NotifyChanged()
{
    if (CountObservers() == 0 || changed_ == 0) return;
    changed_ = 0;
    // Indexed, so an observer that attaches or detaches observers while being told cannot make the
    // loop read a stale slot.
    for (int i = 0; i < CountObservers(); ++i)
    {
        IObserverInterface* observer = GetObserver(i);
        if (observer != nullptr) observer->OnSubjectChanged(this);
    }
}

void ISubject::NotifyMouseEvent(int x, int y, int kind, const IMouseModifiers& modifiers)
{
    for (int i = 0; i < CountObservers(); ++i)
    {
        IObserverInterface* observer = GetObserver(i);
        if (observer != nullptr) observer->OnSubjectMouseEvent(this, x, y, kind, modifiers);
    }
}
