// ISubject and IObserverInterface: attaching, change notices and mouse events.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/ISubject.h"

namespace {

struct Recorder : IObserverInterface {
  Recorder(std::vector<std::string>* log, const char* name) : log(log), name(name) {}
  void OnSubjectChanged(ISubject*) override { log->push_back(name + ":changed"); }
  void OnSubjectMouseEvent(ISubject*, int x, int y, int kind, const IMouseModifiers& m) override {
    log->push_back(name + ":mouse" + std::to_string(kind) + "@" + std::to_string(x) + "," + std::to_string(y) +
                   (m.right ? "R" : ""));
  }
  std::vector<std::string>* log;
  std::string name;
};

}  // namespace

TEST(ISubject, AttachKeepsOrderAndRefusesDuplicatesAndNull) {
  std::vector<std::string> log;
  Recorder a(&log, "a"), b(&log, "b");
  ISubject subject;
  EXPECT_EQ(subject.GetTag(1), -1);
  EXPECT_TRUE(subject.AttachObserver(&b));
  EXPECT_TRUE(subject.AttachObserver(&a));
  EXPECT_FALSE(subject.AttachObserver(&b));
  EXPECT_FALSE(subject.AttachObserver(nullptr));
  subject.NotifyMouseEvent(3, 4, IObserverInterface::kMouseUp, IMouseModifiers(false, true));
  EXPECT_EQ(log, (std::vector<std::string>{"b:mouse1@3,4R", "a:mouse1@3,4R"}));
}

TEST(ISubject, ChangeNoticeOnlyWhenChangedAndOnlyOnce) {
  std::vector<std::string> log;
  Recorder a(&log, "a");
  ISubject subject;
  subject.SetChanged(true);
  subject.NotifyChanged();  // no observers: the flag waits for one
  EXPECT_TRUE(subject.IsChanged());
  subject.AttachObserver(&a);
  subject.NotifyChanged();
  subject.NotifyChanged();
  EXPECT_EQ(log, (std::vector<std::string>{"a:changed"}));
  EXPECT_FALSE(subject.IsChanged());
  EXPECT_TRUE(subject.DetachObserver(&a));
  EXPECT_FALSE(subject.DetachObserver(&a));
  subject.SetChanged(true);
  subject.NotifyChanged();
  EXPECT_EQ(log.size(), 1u);
}
