#include "gui/ISubject.h"

#include <new>

namespace {
constexpr int kObserverListGranularity = 32;
}

ISubject::~ISubject() { delete observers_; }

bool ISubject::AttachObserver(IObserverInterface* observer) {
  if (observer == nullptr) return false;
  if (observers_ == nullptr) {
    observers_ = new (std::nothrow) PtrList<IObserverInterface>(kObserverListGranularity);
    if (observers_ == nullptr) return false;
  }
  if (observers_->Find(observer) >= 0) return false;
  return observers_->Add(observer) != nullptr;
}

bool ISubject::DetachObserver(IObserverInterface* observer) {
  if (observers_ == nullptr) return false;
  const int i = observers_->Find(observer);
  if (i < 0) return false;
  observers_->RemoveAt(i);
  return true;
}

void ISubject::NotifyChanged() {
  if (observers_ == nullptr || observers_->Count() == 0 || changed_ == 0) return;
  changed_ = 0;
  // Indexed, so an observer that attaches or detaches observers while being told cannot make the
  // loop read a stale slot.
  for (int i = 0; i < observers_->Count(); ++i) {
    IObserverInterface* observer = observers_->Get(i);
    if (observer != nullptr) observer->OnSubjectChanged(this);
  }
}

void ISubject::NotifyMouseEvent(int x, int y, int kind, const IMouseModifiers& modifiers) {
  if (observers_ == nullptr) return;
  for (int i = 0; i < observers_->Count(); ++i) {
    IObserverInterface* observer = observers_->Get(i);
    if (observer != nullptr) observer->OnSubjectMouseEvent(this, x, y, kind, modifiers);
  }
}
