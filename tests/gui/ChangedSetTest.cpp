// The changed set against the reference path: two editors built alike, one visiting every control
// at each tick and paint (SetFullScan), get the same seeded random changes; after every tick the
// invalidated areas, the painted pixels, the paint counts and the redraw flags must agree. The
// controls react the way real ones do: observers that change other controls, paints that hide or
// show other controls or ask for one more paint, controls polled at every tick, controls looked at
// while hidden.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "gui/IGraphics.h"
#include "gui/IObserverInterface.h"
#include "tests/gui/EditorTestSupport.h"

namespace
{

constexpr int kControls = 70;

// What a control does besides filling its rectangle with a colour of its value.
struct Behaviour
{
    IRectangle rect;
    bool notifyWhenHidden = false;
    bool polled = false;  // NeedsRedraw also answers from `signal`
    int hideInPaint = -1; // toggles that control's hidden flag when painted
    bool redrawInPaint = false;
    int followerOnChange = -1; // an observer sets this control's value when this one changes
};

class Scripted : public IControl
{
public:
    Scripted(IEffectBase* plug, const Behaviour& b, std::vector<Scripted*>* all)
        : IControl(plug, b.rect), behaviour_(b), all_(all)
    {
        SetNotifyWhenHidden(b.notifyWhenHidden);
        if (b.polled) SetAlwaysPolled(true);
    }
    bool Paint(IGraphics* graphics) override
    {
        ++paints;
        const auto level = static_cast<int>(GetValue() * 255.0);
        graphics->PaintRectangle(IColorARGB(200, level, (GetListIndex() * 37) & 255, 255 - level), GetRect());
        if (behaviour_.hideInPaint >= 0 && paints % 3 == 0)
        {
            Scripted* other = (*all_)[static_cast<size_t>(behaviour_.hideInPaint)];
            other->Hide(!other->IsHidden());
        }
        if (behaviour_.redrawInPaint && paints % 4 == 1) RequestRedraw();
        return true;
    }
    bool NeedsRedraw() const override { return IControl::NeedsRedraw() || (behaviour_.polled && signal); }

    Behaviour behaviour_;
    std::vector<Scripted*>* all_;
    int paints = 0;
    bool signal = false;
};

// Sets the follower's value from the changed control's value.
class Follower : public IObserverInterface
{
public:
    explicit Follower(Scripted* target) : target_(target) {}
    void OnSubjectChanged(ISubject* subject) override
    {
        target_->SetValueByUser(1.0 - static_cast<IControl*>(subject)->GetValue() * 0.5);
    }
    void OnSubjectMouseEvent(ISubject*, int, int, int, const IMouseModifiers&) override {}

private:
    Scripted* target_;
};

std::vector<Behaviour> RandomBehaviours(std::mt19937& random)
{
    std::vector<Behaviour> behaviours(kControls);
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (Behaviour& b : behaviours)
    {
        const int x = pick(kEditorWidth - 4);
        const int y = pick(kEditorHeight - 4);
        b.rect = IRectangle(x, y, x + 1 + pick(kEditorWidth - x), y + 1 + pick(kEditorHeight - y));
        b.notifyWhenHidden = pick(5) == 0;
        b.polled = pick(12) == 0;
        b.hideInPaint = pick(8) == 0 ? pick(kControls) : -1;
        b.redrawInPaint = pick(10) == 0;
        b.followerOnChange = pick(6) == 0 ? pick(kControls) : -1;
    }
    return behaviours;
}

// One editor with the scripted controls; the editor is not opened (the ticks are taken by hand).
struct Side
{
    Side(const std::vector<Behaviour>& behaviours, bool fullScan, bool strict)
    {
        editor->SetInstance(EditorTestModule());
        editor->AttachBackgroundBitmap(101, "images/background.png");
        plug->AttachEditor(editor);
        for (const Behaviour& b : behaviours)
            controls.push_back(new Scripted(plug.get(), b, &controls));
        for (Scripted* control : controls)
            editor->AddControl(control);
        for (Scripted* control : controls)
        {
            if (control->behaviour_.followerOnChange < 0) continue;
            followers.push_back(std::make_unique<Follower>(
                controls[static_cast<size_t>(control->behaviour_.followerOnChange)]));
            control->AttachObserver(followers.back().get());
        }
        editor->SetStrictPaint(strict);
        editor->SetFullScan(fullScan);
    }
    ~Side()
    {
        plug.reset();
        IGraphics::ReleaseModuleCaches();
    }
    // Collects and, when anything changed, paints; the area, or an empty one.
    IRectangle Tick()
    {
        IRectangle area;
        if (!editor->CollectChangedArea(&area)) return IRectangle();
        editor->PaintArea(area);
        return area;
    }

    std::unique_ptr<EditorTestPlug> plug = std::make_unique<EditorTestPlug>();
    IEditorWindow* editor = new IEditorWindow(plug.get(), kEditorWidth, kEditorHeight, 30);
    std::vector<Scripted*> controls;
    std::vector<std::unique_ptr<Follower>> followers;
};

// The same random change on both sides.
void ApplyRandomChange(std::mt19937& random, Side& a, Side& b)
{
    const auto i = static_cast<size_t>(random() % kControls);
    const int kind = static_cast<int>(random() % 8);
    const double value = static_cast<double>(random() % 5) / 4.0;
    for (Side* side : {&a, &b})
    {
        Scripted* control = side->controls[i];
        switch (kind)
        {
        case 0:
            control->SetValueByUser(value);
            break;
        case 1:
            control->ReceiveValue(value);
            break;
        case 2:
            control->Hide(!control->IsHidden());
            break;
        case 3:
            control->SetGreyed(!control->IsGreyed());
            break;
        case 4:
            control->MarkChanged(false);
            break;
        case 5:
            control->RequestRedraw();
            break;
        case 6:
            control->signal = !control->signal;
            break;
        default:
            break; // a tick with nothing new
        }
    }
}

void ExpectSameState(const Side& a, const Side& b, int seed, int step)
{
    SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
    for (int y = 0; y < kEditorHeight; ++y)
        for (int x = 0; x < kEditorWidth; ++x)
            ASSERT_EQ(a.editor->GetPixelColor(x, y), b.editor->GetPixelColor(x, y))
                << "pixel " << x << "," << y;
    for (size_t i = 0; i < a.controls.size(); ++i)
    {
        ASSERT_EQ(a.controls[i]->paints, b.controls[i]->paints) << "control " << i;
        ASSERT_EQ(a.controls[i]->IsDirty(), b.controls[i]->IsDirty()) << "control " << i;
        ASSERT_EQ(a.controls[i]->IsRedrawPending(), b.controls[i]->IsRedrawPending()) << "control " << i;
        ASSERT_EQ(a.controls[i]->IsHidden(), b.controls[i]->IsHidden()) << "control " << i;
    }
}

void RunSession(int seed, bool strict)
{
    std::mt19937 random(static_cast<unsigned>(seed));
    const std::vector<Behaviour> behaviours = RandomBehaviours(random);
    Side reference(behaviours, true, strict);
    Side fast(behaviours, false, strict);
    for (int step = 0; step < 120; ++step)
    {
        const int changes = static_cast<int>(random() % 4);
        for (int c = 0; c < changes; ++c)
            ApplyRandomChange(random, reference, fast);
        const IRectangle expected = reference.Tick();
        const IRectangle got = fast.Tick();
        ASSERT_EQ(expected, got) << "seed " << seed << " step " << step;
        ExpectSameState(reference, fast, seed, step);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

} // namespace

TEST(ChangedSet, StrictPaintMatchesTheFullScanOverRandomSessions)
{
    for (int seed = 1; seed <= 40; ++seed)
    {
        RunSession(seed, true);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

TEST(ChangedSet, LazyPaintMatchesTheFullScanOverRandomSessions)
{
    for (int seed = 101; seed <= 130; ++seed)
    {
        RunSession(seed, false);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

TEST(ChangedSet, AQuietEditorLooksOnlyAtPolledControls)
{
    std::mt19937 random(7);
    std::vector<Behaviour> behaviours = RandomBehaviours(random);
    for (Behaviour& b : behaviours)
        b = Behaviour{b.rect};
    behaviours[5].polled = true;
    Side side(behaviours, false, true);
    for (int i = 0; i < 3; ++i)
        side.Tick();
    // The background is never marked drawn by a strict paint; it is never collected either.
    EXPECT_EQ(side.editor->PendingControlCount(), 2) << "only the background and the polled control stay";
    side.controls[9]->SetValueByUser(0.75);
    EXPECT_EQ(side.editor->PendingControlCount(), 3);
    EXPECT_EQ(side.Tick(), behaviours[9].rect);
}

TEST(ChangedSet, ChangesPostedByOtherThreadsLandAtTheTickOfTheThreadThatTicks)
{
    std::mt19937 random(3);
    std::vector<Behaviour> behaviours = RandomBehaviours(random);
    for (Behaviour& b : behaviours)
        b = Behaviour{b.rect};
    Side side(behaviours, false, true);
    side.editor->BindEditorThread();
    for (int i = 0; i < 3; ++i)
        side.Tick();
    Scripted* control = side.controls[4];
    std::thread(
        [control]
        {
            control->SetValueByUser(0.75);
            EXPECT_EQ(control->GetValue(), 0.75) << "the posting thread reads what it posted";
        })
        .join();
    EXPECT_EQ(control->GetValue(), 0.0) << "the editor's thread sees the control as it is painted";
    // A host that ticks the editor on a thread of its own: that thread takes the controls over.
    IRectangle area;
    std::thread([&side, &area] { area = side.Tick(); }).join();
    EXPECT_EQ(area, behaviours[4].rect);
    EXPECT_EQ(control->GetValue(), 0.75);
    side.editor->UnbindEditorThread();
}
