// ISubject: something observers can watch: a list of IObserverInterface (made on the first
// attach; the list is owned, the observers are not), a changed flag, and two tag words that tell
// event handlers which element an event comes from.
//
// Threads: the editor's thread. SetChanged may also run on the host's thread under the plug lock
// (a parameter value arriving for a control); it only stores the flag.
// Non-copyable.
#pragma once

#include <cstdint>

#include "framework/PtrList.h"
#include "gui/IObserverInterface.h"

class ISubject
{
public:
    static constexpr int kTagCount = 2;

    ISubject() = default;
    // Frees the observer list (not the observers).
    virtual ~ISubject();
    ISubject(const ISubject&) = delete;
    ISubject& operator=(const ISubject&) = delete;

    // Adds observer at the end of the list unless it is already there; null is refused. Returns
    // false when nothing was added (null, already attached, or the list could not grow).
    bool AttachObserver(IObserverInterface* observer);
    // Removes observer from the list; false when it was not attached.
    bool DetachObserver(IObserverInterface* observer);
    int CountObservers() const
    {
        if (observers_ != nullptr) return observers_->Count();
        return onlyObserver_ != nullptr ? 1 : 0;
    }
    IObserverInterface* GetObserver(int i) const
    {
        if (observers_ != nullptr) return observers_->Get(i);
        return i == 0 ? onlyObserver_ : nullptr;
    }

    // When observers exist and the changed flag is set: clears the flag, then OnSubjectChanged(this)
    // on every observer in list order. Without observers the flag stays set.
    void NotifyChanged();
    // OnSubjectMouseEvent on every observer in list order.
    void NotifyMouseEvent(int x, int y, int kind, const IMouseModifiers& modifiers);

    bool IsChanged() const { return changed_ != 0; }
    void SetChanged(bool changed) { changed_ = changed ? 1 : 0; }

    // Tag i (0 or 1); -1 after construction and for any other i. The plug-in numbers its controls
    // with tag 1 for its event handlers.
    int32_t GetTag(int i) const { return i >= 0 && i < kTagCount ? tags_[i] : -1; }
    // Sets tag i (0 or 1); other i are ignored.
    void SetTag(int i, int32_t value)
    {
        if (i >= 0 && i < kTagCount) tags_[i] = value;
    }

private:
    int32_t tags_[kTagCount] = {-1, -1};
    // Most subjects have one observer at most (tens of thousands of step cells have exactly one): it
    // is kept in onlyObserver_ until a second one comes; from then on all are in the list.
    IObserverInterface* onlyObserver_ = nullptr;
    PtrList<IObserverInterface>* observers_ = nullptr;
    uint8_t changed_ = 0;
};
