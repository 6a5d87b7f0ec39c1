// The plug-in's editor on a real X server, opened through the effect record in a host-made X11
// window: what the screen shows, synthetic input changing parameters as the headless tests do,
// the size switch, many open-use-close cycles, and hosts that call the editor from several
// threads (also built with ThreadSanitizer by scripts/test). Skipped without an X server.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>

#include "PluginTestSupport.h"
#include "XTestSupport.h"
#include "gui/IGraphics.h"
#include "platform/testing/PlatformDriver.h"
#include "platform/win32/Win32.h"
#include "platform/win32/WindowLayerLock.h"
#include "platform/win32/WindowSystem.h"
#include "platform/x11/EditorFrames.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/XConnection.h"
#include "plugin/ControlRegistry.h"
#include "presets/ChordMemoryPresetHandler.h"
#include "views/ILoopSelectionControl.h"
#include "views/ParameterIndex.h"
#include "views/PatternView.h"

namespace
{

using namespace quova::param;
using quova::test::FakeHost;
using quova::test::TempDataFolder;
using quova::xtest::Hand;
using quova::xtest::Within;
using quova::xtest::XClient;

constexpr int kWidth = Tobel::kEditorWidth;
constexpr int kHeight = Tobel::kEditorHeight;

// The in-process host, also answering the editor's requests to resize its window.
std::vector<std::pair<int, int>> gSizeRequests;
VstIntPtr Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    if (opcode == vst::audioMasterSizeWindow)
    {
        gSizeRequests.emplace_back(index, static_cast<int>(value));
        return 1;
    }
    return FakeHost::Callback(effect, opcode, index, value, ptr, opt);
}

int Centre(int a, int b)
{
    return (a + b) / 2;
}

class EditorOnScreen : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QUOVA_REQUIRE_X_SERVER();
        gSizeRequests.clear();
        errorsBefore = quova::x11::UnexpectedXErrors();
        plug = std::make_unique<Tobel>(&Callback);
        effect = plug->GetEffect();
        host = x->MakeHostWindow(kWidth, kHeight);
    }
    void TearDown() override
    {
        if (effect != nullptr) effect->dispatcher(effect, vst::effEditClose, 0, 0, nullptr, 0.0f);
        plug.reset();
        if (host != 0)
        {
            EXPECT_EQ(quova::x11::OpenFrameCount(), 0);
            EXPECT_EQ(quova::x11::UnexpectedXErrors(), errorsBefore);
        }
    }

    bool Open()
    {
        if (effect->dispatcher(effect, vst::effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(host)),
                               0.0f) != 1)
            return false;
        window = static_cast<HWND>(plug->GetGraphics()->GetWindowHandle());
        xwin = quova::x11::FrameXWindow(GetParent(window));
        Run(80);
        return xwin != 0;
    }
    // The host's user-interface thread for a while: effEditIdle every few milliseconds.
    void Run(int ms)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        do
        {
            XSync(x->display(), False);
            effect->dispatcher(effect, vst::effEditIdle, 0, 0, nullptr, 0.0f);
            std::this_thread::sleep_for(std::chrono::milliseconds(4));
        } while (std::chrono::steady_clock::now() < end);
    }
    IRectangle Skin(int position) { return plug->GetSkin().At(position); }

    TempDataFolder data;
    FakeHost fakeHost;
    std::unique_ptr<XClient> x = std::make_unique<XClient>();
    std::unique_ptr<Tobel> plug;
    AEffect* effect = nullptr;
    Window host = 0;
    Window xwin = 0;
    HWND window = nullptr;
    unsigned long errorsBefore = 0;
};

TEST_F(EditorOnScreen, TheScreenShowsTheHeadlessRenderOfTheSameStatePixelForPixel)
{
    ASSERT_TRUE(Open());
    const std::vector<uint32_t> screen = x->Read(host, kWidth, kHeight);
    effect->dispatcher(effect, vst::effEditClose, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(quova::x11::OpenFrameCount(), 0);

    quova::testing::PlatformDriver driver;
    HWND frame = driver.CreateHostFrame(kWidth, kHeight);
    ASSERT_EQ(effect->dispatcher(effect, vst::effEditOpen, 0, 0, frame, 0.0f), 1);
    driver.AdvanceTime(80);
    const PixelSurface headless = driver.Composite(frame);
    effect->dispatcher(effect, vst::effEditClose, 0, 0, nullptr, 0.0f);
    ASSERT_EQ(screen.size(), headless.pixels.size());
    size_t differing = 0;
    for (size_t i = 0; i < screen.size(); ++i)
        differing += screen[i] != (headless.pixels[i] & 0xFFFFFF);
    EXPECT_EQ(differing, 0u);
}

// Each tick sends only the parts that changed: what lies between them must already be on the
// screen, so after every tick the screen shows the window layer's pixels.
TEST_F(EditorOnScreen, WhileAChordPlaysTheScreenShowsTheLayersPixelsAfterEveryTick)
{
    plug->ChangeBlockSize(512);
    ASSERT_TRUE(Open());
    const HWND frame = GetParent(window);
    const RECT all{0, 0, kWidth, kHeight};
    std::vector<uint32_t> composite(size_t(kWidth) * size_t(kHeight));
    for (const uint8_t note : {48, 52, 55})
        plug->HandleMidiMessage(IMidiMessage(0, 0x90, note, 100));
    for (int tick = 0; tick < 30; ++tick)
    {
        double left[512] = {}, right[512] = {};
        double* outputs[2] = {left, right};
        for (int b = 0; b < 3; ++b)
            plug->ProcessAudioBlock(nullptr, outputs, 512);
        Run(36);
        quova::win32::CompositeWindow(frame, all, composite.data(), kWidth);
        for (uint32_t& p : composite)
            p &= 0xFFFFFF;
        ASSERT_TRUE(x->Read(xwin, kWidth, kHeight) == composite) << "tick " << tick;
    }
}

TEST_F(EditorOnScreen, ClicksDragsControlAndTheWheelActAsTheyDoHeadless)
{
    ASSERT_TRUE(Open());
    // Control-click on key area 0's switch: area 0 off, the others set to the inverse.
    const IRectangle areaSwitch = Skin(9);
    x->Key(XK_Control_L, true);
    x->Click(xwin, Centre(areaSwitch.left, areaSwitch.right), Centre(areaSwitch.top, areaSwitch.bottom));
    x->Key(XK_Control_L, false);
    Run(80);
    EXPECT_EQ(plug->GetParameterValue(kKeyAreaOnOff), 0.0);
    for (int a = 1; a < kAreaCount; ++a)
        EXPECT_EQ(plug->GetParameterValue(kKeyAreaOnOff + a), 1.0) << a;

    // Control-drag of the loop strip's start marker: the range goes into every lane.
    ILoopSelectionControl* strip = plug->GetLoopStrip();
    ASSERT_NE(strip, nullptr);
    const IRectangle loop = Skin(124);
    const int loopY = Centre(loop.top, loop.bottom);
    const auto column = [&](int c) { return loop.left + 24 * c + 10; };
    x->Key(XK_Control_L, true);
    x->MoveTo(xwin, column(0), loopY);
    x->Button(Button1, true);
    for (int c = 1; c <= 3; ++c)
    {
        x->MoveTo(xwin, column(c), loopY);
        Run(10);
    }
    x->Button(Button1, false);
    x->Key(XK_Control_L, false);
    Run(80);
    EXPECT_EQ(strip->GetStart(), 3);

    // A step cell of the grid.
    const double stepBefore = plug->GetParameterValue(StepValue(0, 0, 0, 5));
    const IRectangle grid = Skin(36);
    x->Click(xwin, grid.left + 1 + 24 * 5 + 10, grid.top + 40);
    Run(80);
    EXPECT_NE(plug->GetParameterValue(StepValue(0, 0, 0, 5)), stepBefore);

    // The global volume knob: dragged up, then turned by the wheel.
    const IRectangle knob = Skin(8);
    const int kx = Centre(knob.left, knob.right), ky = Centre(knob.top, knob.bottom);
    const double volume = plug->GetParameterValue(kGlobalVolume);
    x->MoveTo(xwin, kx, ky);
    x->Button(Button1, true);
    for (int dy = 5; dy <= 40; dy += 5)
    {
        x->MoveTo(xwin, kx, ky - dy);
        Run(10);
    }
    x->Button(Button1, false);
    Run(80);
    const double dragged = plug->GetParameterValue(kGlobalVolume);
    EXPECT_NE(dragged, volume);
    x->MoveTo(xwin, kx, ky);
    x->Button(Button5, true);
    x->Button(Button5, false);
    Run(80);
    EXPECT_LT(plug->GetParameterValue(kGlobalVolume), dragged);
}

TEST_F(EditorOnScreen, WithTwoEditorsOpenTheWheelTurnsTheKnobOfTheEditorItIsOver)
{
    ASSERT_TRUE(Open());
    // A second instance's editor opens later (and takes the keys) in a host window below the first.
    auto second = std::make_unique<Tobel>(&Callback);
    AEffect* effect2 = second->GetEffect();
    const Window host2 = x->MakeHostWindow(kWidth, kHeight, 40, 40 + kHeight + 20);
    void* parent2 = reinterpret_cast<void*>(uintptr_t(host2));
    ASSERT_EQ(effect2->dispatcher(effect2, vst::effEditOpen, 0, 0, parent2, 0.0f), 1);
    Run(80);
    const IRectangle knob = Skin(8);
    const double volume = plug->GetParameterValue(kGlobalVolume);
    const double volume2 = second->GetParameterValue(kGlobalVolume);
    x->MoveTo(xwin, Centre(knob.left, knob.right), Centre(knob.top, knob.bottom));
    x->Button(Button5, true);
    x->Button(Button5, false);
    Run(80);
    EXPECT_LT(plug->GetParameterValue(kGlobalVolume), volume);
    EXPECT_EQ(second->GetParameterValue(kGlobalVolume), volume2);
    effect2->dispatcher(effect2, vst::effEditClose, 0, 0, nullptr, 0.0f);
}

TEST_F(EditorOnScreen, ARightPressOpensAMenuWhoseEntryActsAndAClickOutsideDismissesIt)
{
    ASSERT_TRUE(Open());
    // The global volume knob's learn menu: "MIDI learn", "MIDI unlearn".
    const IRectangle knob = Skin(8);
    const auto rightPress = [&](std::function<void(XClient&)> act)
    {
        x->MoveTo(xwin, Centre(knob.left, knob.right), Centre(knob.top, knob.bottom));
        x->Button(Button3, true);
        x->Button(Button3, false);
        Hand hand(Hand::Shows::Menu, {}, act);
        Run(100);
    };
    ASSERT_EQ(plug->GetLearnSlot(), -1);
    rightPress([](XClient& own) { own.Click(DefaultRootWindow(own.display()), 2, 2); });
    Run(80);
    EXPECT_EQ(plug->GetLearnSlot(), -1);
    EXPECT_TRUE(x->Popups().empty());

    // Entry 0 (20 pixels high below a 1-pixel border) arms MIDI learn for the knob.
    rightPress([](XClient& own) { own.Click(own.Popups().back(), 40, 1 + 10); });
    Run(80);
    EXPECT_EQ(plug->GetLearnSlot(), 145);
    EXPECT_TRUE(x->Popups().empty());
}

TEST_F(EditorOnScreen, ARightPressOnTheChordPresetBoxOpensItsSaveDialogWhichSavesWhatIsTyped)
{
    ASSERT_TRUE(Open());
    const IRectangle box = plug->GetChordMemoryBox()->GetRect();
    x->MoveTo(xwin, Centre(box.left, box.right), Centre(box.top, box.bottom));
    x->Button(Button3, true);
    x->Button(Button3, false);
    {
        // The dialog's name field lies at (200, 10)-(390, 30), its OK button at (220, 60)-(300, 85).
        const Window owner = host;
        Hand hand(Hand::Shows::Dialog, {host},
                  [owner](XClient& own)
                  {
                      const Window dialog = own.Dialogs({owner}).back();
                      std::this_thread::sleep_for(std::chrono::milliseconds(50));
                      own.Click(dialog, 290, 19);
                      own.Type("Night Chords");
                      own.Click(dialog, 260, 72);
                  });
        Run(200);
    }
    Run(80);
    EXPECT_EQ(plug->GetChordMemoryBox()->GetShownText(), "Night Chords");
}

TEST_F(EditorOnScreen, TheSizeSwitchResizesTheWindowAndAsksTheHostToResizeItsFrame)
{
    ASSERT_TRUE(Open());
    const IRectangle resize = Skin(156);
    x->Click(xwin, resize.left + 3, resize.top + 3);
    Run(100);
    const int height = plug->GetGraphics()->Height();
    ASSERT_NE(height, kHeight);
    EXPECT_EQ(x->SizeOf(xwin).height, height);
    ASSERT_FALSE(gSizeRequests.empty());
    EXPECT_EQ(gSizeRequests.back(), std::make_pair(kWidth, height));
    ERect* rect = nullptr;
    ASSERT_EQ(effect->dispatcher(effect, vst::effEditGetRect, 0, 0, &rect, 0.0f), 1);
    EXPECT_EQ(rect->bottom - rect->top, height);
}

TEST_F(EditorOnScreen, AHundredOpenUseCloseCyclesLeaveNoWindowNoConnectionAndNoError)
{
    const IRectangle areaSwitch = Skin(9);
    for (int cycle = 0; cycle < 100; ++cycle)
    {
        ASSERT_EQ(effect->dispatcher(effect, vst::effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(host)),
                                     0.0f),
                  1)
            << cycle;
        xwin = quova::x11::FrameXWindow(GetParent(static_cast<HWND>(plug->GetGraphics()->GetWindowHandle())));
        x->Click(xwin, Centre(areaSwitch.left, areaSwitch.right), Centre(areaSwitch.top, areaSwitch.bottom));
        Run(20);
        ASSERT_EQ(effect->dispatcher(effect, vst::effEditClose, 0, 0, nullptr, 0.0f), 1);
        ASSERT_EQ(quova::x11::OpenFrameCount(), 0) << cycle;
        ASSERT_TRUE(x->Children(host).empty()) << cycle;
        ASSERT_FALSE(quova::x11::ConnectionOpen()) << cycle;
    }
    // Each click toggled area 0 (the clicks land while the editor is open).
    EXPECT_EQ(plug->GetParameterValue(kKeyAreaOnOff), 1.0);
    EXPECT_EQ(quova::x11::UnexpectedXErrors(), errorsBefore);
}

// A host that asks for the editor again with a parent that is no window (none, or no X window id)
// is answered 0, and the open editor stays where it was, on the screen as before.
TEST_F(EditorOnScreen, AnOpenWithAParentThatIsNoWindowLeavesTheOpenEditorAsItWas)
{
    ASSERT_TRUE(Open());
    int notAWindow = 0;
    for (void* parent : {static_cast<void*>(nullptr), static_cast<void*>(&notAWindow)})
    {
        EXPECT_EQ(effect->dispatcher(effect, vst::effEditOpen, 0, 0, parent, 0.0f), 0);
        EXPECT_EQ(plug->GetGraphics()->GetWindowHandle(), window);
        EXPECT_EQ(quova::x11::FrameXWindow(GetParent(window)), xwin);
    }
    Run(80);
    EXPECT_EQ(x->Children(host), std::vector<Window>{xwin});
    std::vector<uint32_t> composite(size_t(kWidth) * size_t(kHeight));
    quova::win32::CompositeWindow(GetParent(window), RECT{0, 0, kWidth, kHeight}, composite.data(), kWidth);
    for (uint32_t& p : composite)
        p &= 0xFFFFFF;
    EXPECT_TRUE(x->Read(xwin, kWidth, kHeight) == composite);
}

// A host that makes its window on its own connection and asks for the editor before that connection
// has sent the window to the server: the editor opens, and its X window is made in the host's at
// the first idle that finds it there.
TEST_F(EditorOnScreen, AHostWindowNotYetSentToTheServerGetsTheEditorAtTheFirstIdleThatFindsIt)
{
    XClient hostConnection;
    Display* d = hostConnection.display();
    const int screen = DefaultScreen(d);
    const Window later = XCreateSimpleWindow(d, RootWindow(d, screen), 40, 40, kWidth, kHeight, 0,
                                             BlackPixel(d, screen), BlackPixel(d, screen));
    XMapWindow(d, later);
    void* parent = reinterpret_cast<void*>(uintptr_t(later));
    ASSERT_EQ(effect->dispatcher(effect, vst::effEditOpen, 0, 0, parent, 0.0f), 1);
    const HWND frame = GetParent(static_cast<HWND>(plug->GetGraphics()->GetWindowHandle()));
    Run(20);
    EXPECT_EQ(quova::x11::FrameXWindow(frame), 0u);
    XFlush(d);
    Run(80);
    xwin = quova::x11::FrameXWindow(frame);
    ASSERT_NE(xwin, 0u);
    EXPECT_EQ(x->Children(later), std::vector<Window>{xwin});
    EXPECT_TRUE(quova::x11::FramePresentedWhole(frame));
    effect->dispatcher(effect, vst::effEditClose, 0, 0, nullptr, 0.0f);
    XDestroyWindow(d, later);
}

// A host that sizes its window from ours, 6 pixels taller (as Ardour does: it answers every size
// change of our window): the editor's window keeps the editor's size whatever the host's window
// does, so the host resizes once and both windows then keep their size; the band below the editor
// is the host's own (black here).
TEST_F(EditorOnScreen, AHostThatSizesItsWindowFromOursSeesBothKeepTheirSize)
{
    Display* d = x->display();
    XSelectInput(d, host, StructureNotifyMask | SubstructureNotifyMask);
    ASSERT_TRUE(Open());
    int hostResizes = 0;
    const auto answerOurSize = [&]
    {
        XSync(d, False);
        while (XPending(d) > 0)
        {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type != ConfigureNotify || e.xconfigure.window != xwin) continue;
            XResizeWindow(d, host, unsigned(e.xconfigure.width), unsigned(e.xconfigure.height + 6));
            ++hostResizes;
        }
    };
    XResizeWindow(d, host, kWidth, kHeight + 6);
    for (int round = 0; round < 40; ++round)
    {
        answerOurSize();
        Run(10);
    }
    answerOurSize();
    EXPECT_LE(hostResizes, 1);
    EXPECT_EQ(x->SizeOf(xwin).width, kWidth);
    EXPECT_EQ(x->SizeOf(xwin).height, kHeight);
    EXPECT_EQ(x->SizeOf(host).height, kHeight + 6);
    const std::vector<uint32_t> shown = x->Read(host, kWidth, kHeight + 6);
    ASSERT_EQ(shown.size(), size_t(kWidth) * size_t(kHeight + 6));
    int band = 0;
    for (size_t i = size_t(kWidth) * size_t(kHeight); i < shown.size(); ++i)
        band += shown[i] != 0u;
    EXPECT_EQ(band, 0) << "the band below the editor is the host's";
}

// ---- a host that calls the editor from several threads ---------------------------------------------

using Clock = std::chrono::steady_clock;

VstIntPtr Dispatch(AEffect* effect, VstInt32 opcode, void* ptr = nullptr)
{
    return effect->dispatcher(effect, opcode, 0, 0, ptr, 0.0f);
}

void* ParentOf(Window w)
{
    return reinterpret_cast<void*>(uintptr_t(w));
}

// The host's user-interface thread opens and closes the editor while a timer thread of its own idles
// it: the calls take turns, so the connection is never closed under an idle and the window layer is
// never changed by two threads at once. Afterwards a click that waits on the server is taken by the
// first idle on yet another thread, the editor having been opened on this one.
TEST(EditorHostThreads, OpenAndCloseOnOneThreadWhileAnotherIdles)
{
    QUOVA_REQUIRE_X_SERVER();
    TempDataFolder data;
    FakeHost fakeHost;
    XClient x;
    const unsigned long errorsBefore = quova::x11::UnexpectedXErrors();
    auto plug = std::make_unique<Tobel>(&Callback);
    AEffect* effect = plug->GetEffect();
    const Window host = x.MakeHostWindow(kWidth, kHeight);

    std::atomic<bool> done{false};
    std::atomic<int> idles{0};
    std::thread idler(
        [&]
        {
            while (!done.load())
            {
                Dispatch(effect, vst::effEditIdle);
                idles.fetch_add(1);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    int cycles = 0;
    bool allOpened = true;
    const auto end = Clock::now() + std::chrono::milliseconds(800);
    while (allOpened && (cycles < 4 || Clock::now() < end))
    {
        allOpened = Dispatch(effect, vst::effEditOpen, ParentOf(host)) == 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        Dispatch(effect, vst::effEditClose);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ++cycles;
    }
    done = true;
    idler.join();
    EXPECT_TRUE(allOpened);
    EXPECT_GT(idles.load(), cycles);
    EXPECT_EQ(quova::x11::OpenFrameCount(), 0);
    EXPECT_FALSE(quova::x11::ConnectionOpen());

    ASSERT_EQ(Dispatch(effect, vst::effEditOpen, ParentOf(host)), 1);
    const Window xwin =
        quova::x11::FrameXWindow(GetParent(static_cast<HWND>(plug->GetGraphics()->GetWindowHandle())));
    const IRectangle areaSwitch = plug->GetSkin().At(9);
    ASSERT_EQ(plug->GetParameterValue(kKeyAreaOnOff), 1.0);
    x.Click(xwin, Centre(areaSwitch.left, areaSwitch.right), Centre(areaSwitch.top, areaSwitch.bottom));
    XSync(x.display(), False);
    std::thread(
        [&]
        {
            for (int i = 0; i < 10; ++i)
            {
                Dispatch(effect, vst::effEditIdle);
                std::this_thread::sleep_for(std::chrono::milliseconds(4));
            }
        })
        .join();
    EXPECT_EQ(plug->GetParameterValue(kKeyAreaOnOff), 0.0);
    Dispatch(effect, vst::effEditClose);
    EXPECT_EQ(quova::x11::UnexpectedXErrors(), errorsBefore);
}

// Two instances whose editors each run on a thread of their own (as a bridge runs them), each idled
// every millisecond and reopened every 60 idles: one editor's idle delivers the other's timers and
// paints, and both open, close and reach the X connection in turn.
TEST(EditorHostThreads, TwoEditorsEachOpenedIdledAndReopenedOnAThreadOfItsOwn)
{
    QUOVA_REQUIRE_X_SERVER();
    TempDataFolder data;
    FakeHost fakeHost;
    XClient x;
    const unsigned long errorsBefore = quova::x11::UnexpectedXErrors();
    std::unique_ptr<Tobel> plugs[2] = {std::make_unique<Tobel>(&Callback),
                                       std::make_unique<Tobel>(&Callback)};
    const Window hosts[2] = {x.MakeHostWindow(kWidth, kHeight),
                             x.MakeHostWindow(kWidth, kHeight, 40, 40 + kHeight + 20)};
    std::atomic<int> failures{0};
    const auto end = Clock::now() + std::chrono::milliseconds(800);
    const auto run = [&](AEffect* effect, Window host)
    {
        int opens = 0;
        for (int idle = 0; opens < 3 || Clock::now() < end; ++idle)
        {
            if (idle % 60 == 0)
            {
                if (idle > 0) Dispatch(effect, vst::effEditClose);
                if (Dispatch(effect, vst::effEditOpen, ParentOf(host)) != 1)
                {
                    failures.fetch_add(1);
                    return;
                }
                ++opens;
            }
            Dispatch(effect, vst::effEditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        Dispatch(effect, vst::effEditClose);
    };
    std::thread first(run, plugs[0]->GetEffect(), hosts[0]);
    std::thread second(run, plugs[1]->GetEffect(), hosts[1]);
    first.join();
    second.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(quova::x11::OpenFrameCount(), 0);
    EXPECT_FALSE(quova::x11::ConnectionOpen());
    EXPECT_EQ(quova::x11::UnexpectedXErrors(), errorsBefore);
}

// A host thread that loads states back to back (each read holds the plug lock throughout, longer
// than the editor's 33 ms timer period) keeps neither an effEditIdle of the editor's thread nor an
// effEditGetRect of a third thread inside the module for more than a few of its reads: one idle
// fires the editor's timer once, however often it came due while the tick waited for the lock.
TEST(EditorHostThreads, EachIdleReturnsSoonWhileAnotherThreadLoadsStatesBackToBack)
{
    QUOVA_REQUIRE_X_SERVER();
    TempDataFolder data;
    FakeHost fakeHost;
    XClient x;
    auto plug = std::make_unique<Tobel>(&Callback);
    AEffect* effect = plug->GetEffect();
    const Window host = x.MakeHostWindow(kWidth, kHeight);
    ASSERT_EQ(Dispatch(effect, vst::effEditOpen, ParentOf(host)), 1);
    void* data0 = nullptr;
    const VstIntPtr size = effect->dispatcher(effect, vst::effGetChunk, 1, 0, &data0, 0.0f);
    ASSERT_GT(size, 0);
    const std::vector<uint8_t> chunk(static_cast<uint8_t*>(data0), static_cast<uint8_t*>(data0) + size);

    using Ms = std::chrono::duration<double, std::milli>;
    std::atomic<bool> done{false};
    std::atomic<int> reads{0};
    std::thread loader(
        [&]
        {
            std::vector<uint8_t> copy = chunk;
            while (!done.load())
            {
                effect->dispatcher(effect, vst::effSetChunk, 1, size, copy.data(), 0.0f);
                reads.fetch_add(1);
            }
        });
    double longestRect = 0.0;
    std::thread asker(
        [&]
        {
            while (!done.load())
            {
                ERect* rect = nullptr;
                const auto start = Clock::now();
                effect->dispatcher(effect, vst::effEditGetRect, 0, 0, &rect, 0.0f);
                longestRect = std::max(longestRect, Ms(Clock::now() - start).count());
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
    double longestIdle = 0.0;
    int idles = 0;
    constexpr double kRunMs = 3000.0;
    const auto end = Clock::now() + std::chrono::milliseconds(static_cast<int>(kRunMs));
    while (Clock::now() < end)
    {
        const auto start = Clock::now();
        Dispatch(effect, vst::effEditIdle);
        longestIdle = std::max(longestIdle, Ms(Clock::now() - start).count());
        ++idles;
        std::this_thread::sleep_for(std::chrono::milliseconds(33));
    }
    done = true;
    loader.join();
    asker.join();
    Dispatch(effect, vst::effEditClose);
    std::printf("longest idle %.1f ms, longest rectangle %.1f ms, %d idles, %d reads\n", longestIdle,
                longestRect, idles, reads.load());
    // An idle that stays while the reads go on lasts the whole run (a few of its reads each take a
    // few milliseconds here, some ten times that under a sanitizer).
    EXPECT_GE(reads.load(), 20);
    EXPECT_GE(idles, 4);
    EXPECT_LT(longestIdle, kRunMs / 2);
    EXPECT_LT(longestRect, kRunMs / 2);
}

// ---- a seeded tour of the whole editor ------------------------------------------------------------
// Random actions over every part of the editor while a chord plays. After each, once the editor's
// ticks have sent what changed and the picture rests, the X window must show the editor's whole
// repaint pixel for pixel. In odd seeds the chord plays on the editor's thread between its ticks; in
// even seeds on an audio thread of its own, which lights and releases note markers while the editor
// collects and paints (paused while the picture rests). QUOVA_SCREEN_TOUR_SEEDS and
// QUOVA_SCREEN_TOUR_ACTIONS ask for more seeds and longer tours; QUOVA_SCREEN_TOUR_SEED names the
// first seed (a failing seed replays alone: the same actions, in even seeds not the same timing).

int EnvNumber(const char* name, int fallback)
{
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::atoi(text) : fallback;
}

using quova::xtest::Closer;
using quova::xtest::MenuEnding;
using Point = std::pair<int, int>;

// The host's audio thread: the held chord plays on, a block at a time, while the tour acts; paused
// (no block running) while the picture settles and is compared.
class AudioThread
{
public:
    static constexpr int kBlock = 512;

    explicit AudioThread(Tobel* plug) : plug_(plug), thread_([this] { Run(); }) {}
    ~AudioThread()
    {
        quit_ = true;
        thread_.join();
    }
    AudioThread(const AudioThread&) = delete;
    AudioThread& operator=(const AudioThread&) = delete;
    void Pause()
    {
        playing_ = false;
        std::lock_guard<std::mutex> wait(block_);
    }
    void Resume() { playing_ = true; }

private:
    void Run()
    {
        double left[kBlock] = {}, right[kBlock] = {};
        double* outputs[2] = {left, right};
        while (!quit_)
        {
            {
                std::lock_guard<std::mutex> block(block_);
                if (playing_) plug_->ProcessAudioBlock(nullptr, outputs, kBlock);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    }

    Tobel* plug_;
    std::atomic<bool> quit_{false};
    std::atomic<bool> playing_{true};
    std::mutex block_;
    std::thread thread_;
};

class ScreenTour : public EditorOnScreen
{
protected:
    static constexpr int kBlock = AudioThread::kBlock;

    void TearDown() override
    {
        audio.reset();
        EditorOnScreen::TearDown();
        quova::win32::UseVirtualClock(false);
    }

    // A fresh instance with its editor open and a chord held, ticking on the layer's virtual clock;
    // the chord played by an audio thread of its own when asked.
    bool Start(bool fresh, bool audioThread)
    {
        audio.reset();
        if (fresh)
        {
            effect->dispatcher(effect, vst::effEditClose, 0, 0, nullptr, 0.0f);
            plug = std::make_unique<Tobel>(&Callback);
            effect = plug->GetEffect();
        }
        quova::win32::UseVirtualClock(false);
        plug->ChangeBlockSize(kBlock);
        if (!Open()) return false;
        quova::win32::UseVirtualClock(true);
        for (const uint8_t note : {48, 52, 55})
            plug->HandleMidiMessage(IMidiMessage(0, 0x90, note, 100));
        if (audioThread) audio = std::make_unique<AudioThread>(plug.get());
        return true;
    }
    // One editor tick: the chord plays on for as long (unless the picture settles; an audio thread
    // plays on its own), then the host's idle call reads the input, paints and sends.
    void Tick(bool play = true)
    {
        double left[kBlock] = {}, right[kBlock] = {};
        double* outputs[2] = {left, right};
        for (int b = 0; play && audio == nullptr && b < 3; ++b)
            plug->ProcessAudioBlock(nullptr, outputs, kBlock);
        quova::win32::AdvanceClock(33);
        XSync(x->display(), False);
        effect->dispatcher(effect, vst::effEditIdle, 0, 0, nullptr, 0.0f);
    }
    // The chord holds still (an audio thread of its own pauses) and the ticks go on until nothing
    // more is sent (released markers fade for 64 ticks, an incoming-note light for 30); a pulsing
    // selection never rests.
    void Settle()
    {
        if (audio != nullptr) audio->Pause();
        const auto& desktop = quova::x11::X11Desktop::Instance();
        for (int t = 0, quiet = 0; t < 90 && quiet < 3; ++t)
        {
            const uint64_t sent = desktop.PresentedBytes();
            Tick(false);
            quiet = desktop.PresentedBytes() == sent ? quiet + 1 : 0;
        }
    }

    // The X window against the editor's whole repaint: empty when they agree, else where they
    // differ. The whole repaint is then sent, so that each action starts from a true screen.
    std::string CompareWithWholeRepaint()
    {
        IGraphics* graphics = plug->GetGraphics();
        const int w = graphics->Width(), h = graphics->Height();
        {
            // What the editor sent is on the screen before the test's connection reads it.
            quova::win32::WindowLayerGuard layer;
            XSync(quova::x11::XConnection::Current(), False);
        }
        const std::vector<uint32_t> screen = x->Read(xwin, w, h);
        // A pointer outside the editor hovers over nothing: the reference is the repaint of an
        // editor told so.
        Window root = 0, child = 0;
        int rx = 0, ry = 0, px = 0, py = 0;
        unsigned mask = 0;
        XQueryPointer(x->display(), xwin, &root, &child, &rx, &ry, &px, &py, &mask);
        if (px < 0 || py < 0 || px >= w || py >= h) graphics->DispatchMouseLeave();
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
        std::vector<uint32_t> whole(size_t(w) * size_t(h));
        quova::win32::CompositeWindow(GetParent(window), RECT{0, 0, w, h}, whole.data(), w);
        effect->dispatcher(effect, vst::effEditIdle, 0, 0, nullptr, 0.0f);
        if (screen.size() != whole.size()) return "the X window could not be read";
        // Inside the outline of a range selection the fill pulses at every paint.
        const PatternView* view = plug->GetPatternView();
        IRectangle pulsing;
        if (view->GetPointerMode() == 1 && view->GetSelectionState() >= 1 && view->GetSelectionStart() >= 0)
            pulsing =
                IRectangle(view->GetRect().left + 2 + 24 * view->GetSelectionStart(), view->GetRect().top + 1,
                           view->GetRect().left + 22 + 24 * view->GetSelectionEnd(), view->GetRect().bottom);
        IRectangle box;
        size_t differing = 0;
        for (int y = 0; y < h; ++y)
            for (int x0 = 0; x0 < w; ++x0)
            {
                const size_t i = size_t(y) * size_t(w) + size_t(x0);
                if (screen[i] == (whole[i] & 0xFFFFFF) || pulsing.Contains(x0, y)) continue;
                ++differing;
                box = box.Union(IRectangle(x0, y, x0 + 1, y + 1));
            }
        if (differing == 0) return {};
        std::string controls;
        for (int i = 1; i < graphics->NControls(); ++i)
        {
            const IRectangle r = graphics->GetControl(i)->GetRect();
            if (!graphics->GetControl(i)->IsHidden() && r.Meets(box))
                controls += " " + std::to_string(i) + Said({r.left, r.top}) + "-" + Said({r.right, r.bottom});
        }
        return std::to_string(differing) + " pixels differ within " + Said({box.left, box.top}) + "-" +
               Said({box.right, box.bottom}) + " (controls there:" + controls + ")";
    }

    int Draw(int n) { return static_cast<int>(rng() % static_cast<unsigned>(std::max(n, 1))); }
    Point PointIn(const IRectangle& r) { return {r.left + Draw(r.Width()), r.top + Draw(r.Height())}; }
    static std::string Said(Point p)
    {
        return "(" + std::to_string(p.first) + ", " + std::to_string(p.second) + ")";
    }
    // A point of a column of the grid (a few columns take half the edits, so that a step is set and
    // later set again), from above its bars to just below them; often on its lowest rows, which
    // take a bar down to nothing.
    Point GridPoint()
    {
        const IRectangle grid = Skin(36);
        const int c = Draw(2) == 0 ? 12 + Draw(4) : Draw(32);
        const int y = Draw(4) == 0 ? grid.bottom - 2 + Draw(6) : grid.top - 12 + Draw(grid.Height() + 16);
        return {grid.left + 1 + 24 * c + Draw(21), y};
    }
    // A point of a shown control that lies in the editor, or of the grid.
    Point SomePoint()
    {
        if (Draw(3) == 0) return GridPoint();
        IGraphics* graphics = plug->GetGraphics();
        const IRectangle editor(0, 0, graphics->Width(), graphics->Height());
        std::vector<IRectangle> shown;
        for (int i = 1; i < graphics->NControls(); ++i)
        {
            const IControl* c = graphics->GetControl(i);
            if (!c->IsHidden() && c->GetRect().Width() > 0 && c->GetRect().Intersect(editor) == c->GetRect())
                shown.push_back(c->GetRect());
        }
        return PointIn(shown[static_cast<size_t>(Draw(static_cast<int>(shown.size())))]);
    }
    std::string Click(Point p, unsigned button = Button1)
    {
        x->Click(xwin, p.first, p.second, button);
        return (button == Button3 ? "right click at " : "click at ") + Said(p);
    }
    // Presses at the first point, moves through the others (a tick each) and releases, with the key
    // held (0: none).
    std::string Drag(const std::vector<Point>& points, KeySym held = 0)
    {
        std::string said = held == XK_Control_L ? "Control-drag" : held == XK_Alt_L ? "Alt-drag" : "drag";
        if (held != 0) x->Key(held, true);
        for (size_t i = 0; i < points.size(); ++i)
        {
            x->MoveTo(xwin, points[i].first, points[i].second);
            if (i == 0) x->Button(Button1, true);
            Tick();
            said += (i == 0 ? " from " : " to ") + Said(points[i]);
        }
        x->Button(Button1, false);
        if (held != 0) x->Key(held, false);
        return said;
    }
    std::string Key(char key)
    {
        x->Press(XStringToKeysym(std::string(1, key).c_str()));
        return std::string("key ") + key;
    }

    // The host automates a parameter of key area 1: a step's value or switch, a pattern's rate or
    // gate, hold, another key area's switch.
    std::string Automate()
    {
        using namespace quova::param;
        const int p = Draw(3), l = Draw(kLaneCount), t = Draw(kStepCount);
        const int indices[] = {StepValue(0, p, l, t),
                               StepValue(0, p, l, t),
                               StepOnOff(0, p, l, t),
                               PerPattern(kRate, 0, p),
                               PerPattern(kPatternGate, 0, p),
                               PerArea(kHold, 0),
                               PerArea(kKeyAreaOnOff, 1 + Draw(3))};
        const int index = indices[Draw(7)];
        const float value = static_cast<float>(Draw(1001)) / 1000.0f;
        effect->setParameter(effect, index, value);
        return "host sets parameter " + std::to_string(index) + " to " + std::to_string(value);
    }
    // The host saves the state, or loads the one it saved last.
    std::string SaveOrLoadState()
    {
        if (saved.empty() || Draw(2) == 0)
        {
            void* data = nullptr;
            const VstIntPtr size = effect->dispatcher(effect, vst::effGetChunk, 1, 0, &data, 0.0f);
            if (size > 0 && data != nullptr)
                saved.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
            return "host saves the state";
        }
        effect->dispatcher(effect, vst::effSetChunk, 1, static_cast<VstIntPtr>(saved.size()), saved.data(),
                           0.0f);
        return "host loads the saved state";
    }

    // Performs one action drawn from the generator; says what it did.
    std::string Act()
    {
        switch (Draw(18))
        {
        case 16:
            return Automate();
        case 17:
            return SaveOrLoadState();
        case 0:
        case 1:
            return Click(SomePoint());
        case 2:
        case 3:
        {
            std::vector<Point> points;
            for (int n = 2 + Draw(5); n > 0; --n)
                points.push_back(GridPoint());
            return Drag(points, Draw(4) == 0 ? XK_Control_L : 0);
        }
        case 4:
            // Patterns 1 to 4, the tools, the lanes.
            return Key("1234567890AQWZERTYUIO"[Draw(21)]);
        case 5:
        case 6:
            // A right click opens a menu on many controls and on the grid's steps.
            return Click(Draw(2) == 0 ? GridPoint() : SomePoint(), Button3);
        case 7:
        {
            // A loop marker, alone, with Control (every lane) or with Alt (the whole range).
            const IRectangle strip = Skin(124);
            const int y = strip.top + Draw(strip.Height());
            const int a = strip.left + Draw(strip.Width()), b = strip.left + Draw(strip.Width());
            // A window manager takes an Alt-drag for moving the host's window: then a plain one.
            static constexpr KeySym kHeld[] = {0, 0, XK_Control_L, XK_Alt_L};
            KeySym held = kHeld[Draw(4)];
            if (held == XK_Alt_L && x->WindowManagerRuns()) held = 0;
            return Drag({{a, y}, {(a + b) / 2, y}, {b, y}}, held) + " on the loop strip";
        }
        case 8:
        {
            // The about box (the logo), the information box, the settings box, the size switch, the
            // key areas, the scene strip, the lane buttons, the keyboard.
            static constexpr int kPlaces[] = {20, 140, 141, 156, 17, 118, 69, 154, 127};
            return Click(PointIn(Skin(kPlaces[Draw(9)])));
        }
        case 9:
        {
            const Point p = SomePoint();
            const unsigned button = Draw(2) == 0 ? Button4 : Button5;
            x->MoveTo(xwin, p.first, p.second);
            x->Button(button, true);
            x->Button(button, false);
            return std::string("wheel ") + (button == Button4 ? "up" : "down") + " at " + Said(p);
        }
        case 10:
        {
            const Point p = SomePoint();
            x->MoveTo(xwin, p.first, p.second);
            return "pointer to " + Said(p);
        }
        case 11:
            x->MoveToRoot({1100 + Draw(150), 700 + Draw(300)});
            return "pointer out of the editor";
        case 12:
        {
            const Point p = GridPoint();
            Click(p);
            return "double " + Click(p);
        }
        case 13:
        {
            // The about box shows over the editor and goes with the next click.
            std::string said = Click(PointIn(Skin(20))) + ", ";
            Tick();
            said += Click(SomePoint());
            if (Draw(2) == 0)
            {
                x->MoveToRoot({1200, 900});
                said += ", pointer out of the editor";
            }
            return said;
        }
        case 14:
        {
            // The range tool (or the draw tool) and a drag through the grid.
            const std::string said = Key(Draw(3) == 0 ? '5' : '6') + ", ";
            Tick();
            return said + Drag({GridPoint(), GridPoint()});
        }
        default:
        {
            const std::string said = Click(PointIn(Skin(Draw(3) == 0 ? 154 : 69))) + ", ";
            Tick();
            return said + Click(GridPoint());
        }
        }
    }

    std::mt19937 rng;
    std::unique_ptr<AudioThread> audio;
    std::vector<uint8_t> saved;
};

TEST_F(ScreenTour, AfterEveryActionTheScreenShowsTheEditorsWholeRepaint)
{
    const int seeds = EnvNumber("QUOVA_SCREEN_TOUR_SEEDS", 6);
    const int actions = EnvNumber("QUOVA_SCREEN_TOUR_ACTIONS", 40);
    const int firstSeed = EnvNumber("QUOVA_SCREEN_TOUR_SEED", 1);
    static constexpr const char* kEndings[] = {"a choice", "Escape", "a click outside"};
    for (int seed = firstSeed; seed < firstSeed + seeds; ++seed)
    {
        // Each seed tours a fresh instance, so that a failing seed replays alone.
        ASSERT_TRUE(Start(seed != firstSeed, seed % 2 == 0));
        saved.clear();
        rng.seed(static_cast<unsigned>(seed));
        std::vector<std::string> done;
        for (int a = 0; a < actions; ++a)
        {
            // A menu the action opens ends as drawn; a dialog is closed.
            const auto ending = static_cast<MenuEnding>(Draw(3));
            {
                Closer closer(ending, static_cast<unsigned>(rng()), {host});
                done.push_back(Act());
                for (int t = 6 + Draw(6); t > 0; --t)
                    Tick();
            }
            done.back() += std::string(" (menus end by ") + kEndings[static_cast<int>(ending)] + ")";
            Settle();
            const std::string difference = CompareWithWholeRepaint();
            if (audio != nullptr) audio->Resume();
            if (difference.empty()) continue;
            std::string said;
            for (size_t i = 0; i < done.size(); ++i)
                said += "\n  " + std::to_string(i + 1) + ". " + done[i];
            ADD_FAILURE() << "seed " << seed << ", after action " << done.size() << ": " << difference
                          << said;
            break;
        }
    }
}

// A dialog opens while the pointer rests on the grid, which shows its hover numbers and lane dots
// (the chord-memory box's save dialog, opened on the editor's thread), and the pointer leaves the
// editor while the dialog is open: once the dialog is closed, the grid shows neither.
TEST_F(ScreenTour, APointerThatLeftTheEditorWhileADialogWasOpenLeavesNoHoverBehind)
{
    ASSERT_TRUE(Start(false, false));
    const IRectangle grid = Skin(36);
    x->MoveTo(xwin, grid.left + 100, grid.top + 40);
    for (int t = 0; t < 3; ++t)
        Tick();
    ASSERT_TRUE(plug->GetPatternView()->IsHovering());
    {
        const Window owner = host;
        Hand hand(Hand::Shows::Dialog, {host},
                  [owner](XClient& own)
                  {
                      own.MoveToRoot({1200, 900});
                      own.AskToClose(own.Dialogs({owner}).back());
                  });
        quova::win32::WindowLayerGuard layer;
        plug->GetChordMemoryBox()->OpenSaveDialog();
    }
    Settle();
    EXPECT_FALSE(plug->GetPatternView()->IsHovering());
    EXPECT_EQ(CompareWithWholeRepaint(), "");
}

} // namespace
