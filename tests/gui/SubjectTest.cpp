// ISubject and IObserverInterface: attaching, change notices and mouse events.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/ISubject.h"

namespace
{

struct Recorder : IObserverInterface
{
    Recorder(std::vector<std::string>* log, const char* name) : log(log), name(name) {}
    void OnSubjectChanged(ISubject*) override { log->push_back(name + ":changed"); }
    void OnSubjectMouseEvent(ISubject*, int x, int y, int kind, const IMouseModifiers& m) override
    {
        log->push_back(name + ":mouse" + std::to_string(kind) + "@" + std::to_string(x) + "," +
                       std::to_string(y) + (m.right ? "R" : ""));
    }
    std::vector<std::string>* log;
    std::string name;
};

} // namespace

TEST(ISubject, AttachKeepsOrderAndRefusesDuplicatesAndNull)
{
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

TEST(ISubject, ChangeNoticeOnlyWhenChangedAndOnlyOnce)
{
    std::vector<std::string> log;
    Recorder a(&log, "a");
    ISubject subject;
    subject.SetChanged(true);
    subject.NotifyChanged(); // no observers: the flag waits for one
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

// A first observer is kept apart from the list that a second one starts: order, refusals and
// detaching must not depend on which form the observers are kept in.
TEST(ISubject, ObserversKeepTheirOrderWhenTheListStartsOrEmpties)
{
    std::vector<std::string> log;
    Recorder a(&log, "a"), b(&log, "b"), c(&log, "c");
    ISubject subject;
    EXPECT_FALSE(subject.DetachObserver(&a));
    EXPECT_TRUE(subject.AttachObserver(&a));
    EXPECT_FALSE(subject.AttachObserver(&a));
    EXPECT_FALSE(subject.DetachObserver(&b));
    EXPECT_EQ(subject.GetObserver(0), &a);
    EXPECT_EQ(subject.GetObserver(1), nullptr);
    EXPECT_TRUE(subject.AttachObserver(&b));
    EXPECT_TRUE(subject.DetachObserver(&a));
    EXPECT_FALSE(subject.AttachObserver(&b));
    EXPECT_TRUE(subject.AttachObserver(&c));
    EXPECT_TRUE(subject.AttachObserver(&a));
    EXPECT_EQ(subject.CountObservers(), 3);
    subject.NotifyMouseEvent(1, 2, IObserverInterface::kMouseDown, IMouseModifiers());
    EXPECT_EQ(log, (std::vector<std::string>{"b:mouse0@1,2", "c:mouse0@1,2", "a:mouse0@1,2"}));
}

// An observer that attaches another while being told: the new one is told in the same round.
TEST(ISubject, ObserverAttachedDuringANoticeIsToldToo)
{
    std::vector<std::string> log;
    Recorder late(&log, "late");
    struct Attacher : Recorder
    {
        using Recorder::Recorder;
        void OnSubjectChanged(ISubject* subject) override
        {
            Recorder::OnSubjectChanged(subject);
            subject->AttachObserver(other);
        }
        IObserverInterface* other = nullptr;
    } first(&log, "first");
    first.other = &late;
    ISubject subject;
    subject.AttachObserver(&first);
    subject.SetChanged(true);
    subject.NotifyChanged();
    EXPECT_EQ(log, (std::vector<std::string>{"first:changed", "late:changed"}));
}
