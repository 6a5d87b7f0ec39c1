// The X11 backend of the window layer under a real X server: a frame inside a host's X window
// shows the layer's pixels exactly, X input arrives as the layer's messages, and the native
// pieces (popup menus, text fields, message boxes, dialogs) work with synthetic input. Skipped
// without an X server.
#include <gtest/gtest.h>

#include "XTestSupport.h"
#include "platform/win32/ControlPainter.h"
#include "platform/win32/Win32.h"
#include "platform/win32/WindowState.h"
#include "platform/win32/WindowSystem.h"
#include "platform/x11/EditorFrames.h"
#include "platform/x11/X11Desktop.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace
{

using quova::xtest::Hand;
using quova::xtest::Within;
using quova::xtest::XClient;

constexpr int kWidth = 320;
constexpr int kHeight = 200;

// A child window of the frame that paints a fixed pattern and records what reaches it.
struct Probe
{
    HWND hwnd = nullptr;
    std::vector<std::string> events;
    uint32_t colour = 0xFF204080;
    HMENU menu = nullptr;    // shown on a right press
    UINT_PTR chosen = 12345; // what the menu answered
    int boxAnswer = 0;       // what a message box answered ('M' shows one)
};
Probe* gProbe = nullptr;
Probe* gSecondProbe = nullptr; // a probe in a second frame, when a test opens one

std::string At(const char* what, LPARAM lParam)
{
    return std::string(what) + " " + std::to_string(GET_X_LPARAM(lParam)) + "," +
           std::to_string(GET_Y_LPARAM(lParam));
}

LRESULT ProbeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Probe* p = gSecondProbe != nullptr && hwnd == gSecondProbe->hwnd ? gSecondProbe : gProbe;
    switch (msg)
    {
    case WM_PAINT:
    {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        (void)dc;
        PixelSurface& s = hwnd->surface;
        for (int y = ps.rcPaint.top; y < ps.rcPaint.bottom; ++y)
            for (int x = ps.rcPaint.left; x < ps.rcPaint.right; ++x)
                s.pixels[size_t(y) * size_t(s.width) + size_t(x)] =
                    (x + y) % 7 == 0 ? 0xFFFFFFFFu : p->colour + uint32_t(x % 64);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
        SetCapture(hwnd);
        SetFocus(hwnd);
        p->events.push_back(At("down", lParam) + ((wParam & MK_CONTROL) ? " ctrl" : ""));
        return 0;
    case WM_LBUTTONUP:
        ReleaseCapture();
        p->events.push_back(At("up", lParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        p->events.push_back(At("double", lParam));
        return 0;
    case WM_MOUSEMOVE:
        if (wParam & MK_LBUTTON) p->events.push_back(At("drag", lParam));
        return 0;
    case WM_MOUSEWHEEL:
        p->events.push_back("wheel " + std::to_string(GET_WHEEL_DELTA_WPARAM(wParam)));
        return 0;
    case WM_MOUSELEAVE:
        p->events.push_back("leave");
        return 0;
    case WM_RBUTTONDOWN:
    {
        // The menu belongs to a field that ends at the point: the 20 pixels above it.
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(hwnd, &pt);
        const TPMPARAMS field{sizeof(TPMPARAMS), RECT{pt.x, pt.y - 20, pt.x + 60, pt.y}};
        p->chosen =
            UINT_PTR(TrackPopupMenuEx(p->menu, TPM_RETURNCMD | TPM_VERTICAL, pt.x, pt.y, hwnd, &field));
        return 0;
    }
    case WM_CHAR:
        p->events.push_back(std::string("char ") + char(wParam));
        return 0;
    case WM_KEYDOWN:
        if (wParam == 'M') p->boxAnswer = MessageBoxA(hwnd, "Save the changes?", "Question", MB_YESNOCANCEL);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

class X11Backend : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QUOVA_REQUIRE_X_SERVER();
        gProbe = &probe;
        errorsBefore = quova::x11::UnexpectedXErrors();
        host = x.MakeHostWindow(kWidth, kHeight);
        frame = quova::x11::OpenFrame(host, kWidth, kHeight,
                                      [this](int w, int h) {
                                          resized.push_back({w, h});
                                      });
        ASSERT_NE(frame, nullptr);
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ProbeProc;
        wc.lpszClassName = "X11Probe";
        RegisterClassA(&wc);
        probe.hwnd = CreateWindowExA(0, "X11Probe", "", WS_CHILD | WS_VISIBLE, 0, 0, kWidth, kHeight, frame,
                                     nullptr, nullptr, nullptr);
        ASSERT_NE(probe.hwnd, nullptr);
        xwin = quova::x11::FrameXWindow(frame);
        Idle();
    }
    void TearDown() override
    {
        CloseTheFrame();
        if (probe.menu != nullptr) DestroyMenu(probe.menu);
        gProbe = nullptr;
    }
    void CloseTheFrame()
    {
        if (frame == nullptr) return;
        quova::x11::CloseFrame(frame);
        frame = nullptr;
        EXPECT_EQ(quova::x11::OpenFrameCount(), 0);
        EXPECT_TRUE(x.Children(host).empty()) << "the frame's X window is gone";
        EXPECT_EQ(quova::x11::UnexpectedXErrors(), errorsBefore);
        UnregisterClassA("X11Probe", nullptr);
    }
    // A second frame with a probe of its own in a host window beside the first.
    HWND OpenSecondFrame(Probe& second, Window parent)
    {
        HWND f = quova::x11::OpenFrame(parent, kWidth, kHeight, nullptr);
        if (f == nullptr) return nullptr;
        gSecondProbe = &second;
        second.hwnd = CreateWindowExA(0, "X11Probe", "", WS_CHILD | WS_VISIBLE, 0, 0, kWidth, kHeight, f,
                                      nullptr, nullptr, nullptr);
        Idle();
        return f;
    }
    void CloseSecondFrame(HWND f)
    {
        quova::x11::CloseFrame(f);
        gSecondProbe = nullptr;
    }
    // A few rounds of the user-interface thread, so that input faked before has arrived.
    void Idle(int rounds = 3)
    {
        for (int i = 0; i < rounds; ++i)
        {
            XSync(x.display(), False);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            quova::x11::Idle();
        }
    }
    // Opens the probe's menu with a right click (at a point of the probe) and lets `act` work it
    // from its own connection; waits until the menu answered.
    void OpenMenu(std::function<void(XClient&)> act, int atX = 50, int atY = 50)
    {
        probe.chosen = 12345;
        x.MoveTo(xwin, atX, atY);
        x.Button(Button3, true);
        x.Button(Button3, false);
        Hand hand(Hand::Shows::Menu, {}, act);
        Idle(2);
        ASSERT_TRUE(Within(3000,
                           [&]
                           {
                               quova::x11::Idle();
                               return probe.chosen != 12345;
                           }));
    }
    // Moves the host window to the root point and waits until a window manager, which moves it
    // in its own time, lets it stay put; the root point of (atX, atY) in the frame then.
    quova::xtest::RootPoint MoveHostTo(int rootX, int rootY, int atX, int atY)
    {
        XMoveWindow(x.display(), host, rootX, rootY);
        Idle();
        quova::xtest::RootPoint at = x.RootOf(xwin, atX, atY);
        Within(3000,
               [&]
               {
                   std::this_thread::sleep_for(std::chrono::milliseconds(100));
                   const quova::xtest::RootPoint now = x.RootOf(xwin, atX, atY);
                   const bool still = now.x == at.x && now.y == at.y;
                   at = now;
                   return still;
               });
        return at;
    }
    std::vector<uint32_t> Composite(HWND hwnd)
    {
        RECT r{};
        GetClientRect(hwnd, &r);
        std::vector<uint32_t> out(size_t(r.right) * size_t(r.bottom), 0);
        quova::win32::CompositeWindow(hwnd, r, out.data(), int(r.right));
        for (uint32_t& p : out)
            p &= 0xFFFFFF;
        return out;
    }

    XClient x;
    Probe probe;
    Window host = 0;
    Window xwin = 0;
    HWND frame = nullptr;
    std::vector<std::pair<int, int>> resized;
    unsigned long errorsBefore = 0;
};

TEST_F(X11Backend, TheScreenShowsTheLayersPixelsAndFollowsChanges)
{
    EXPECT_TRUE(quova::x11::FramePresentedWhole(frame));
    EXPECT_EQ(x.Read(xwin, kWidth, kHeight), Composite(frame));

    // A repaint of part of the window reaches the screen; an EDIT child over it shows too.
    probe.colour = 0xFF806000;
    RECT part{10, 20, 90, 60};
    InvalidateRect(probe.hwnd, &part, FALSE);
    HWND field = CreateWindowExA(0, "EDIT", "12.5", WS_CHILD | WS_VISIBLE, 100, 100, 80, 20, probe.hwnd,
                                 nullptr, nullptr, nullptr);
    Idle();
    const std::vector<uint32_t> shown = x.Read(xwin, kWidth, kHeight);
    EXPECT_EQ(shown, Composite(frame));
    EXPECT_EQ(shown[size_t(30) * kWidth + 11], (0xFF806000u + 11u) & 0xFFFFFF);
    // When the field goes, what lay under it shows again.
    DestroyWindow(field);
    Idle();
    EXPECT_EQ(x.Read(xwin, kWidth, kHeight), Composite(frame));

    // Two small repaints far apart are sent as the two areas, not as the box around both.
    probe.colour = 0xFF204080;
    const uint64_t sentBefore = quova::x11::X11Desktop::Instance().PresentedBytes();
    const RECT topRight{200, 10, 220, 30};
    const RECT bottomRight{290, 170, 310, 190};
    InvalidateRect(probe.hwnd, &topRight, FALSE);
    InvalidateRect(probe.hwnd, &bottomRight, FALSE);
    Idle();
    EXPECT_EQ(quova::x11::X11Desktop::Instance().PresentedBytes() - sentBefore, 2u * 20u * 20u * 4u);
    EXPECT_EQ(x.Read(xwin, kWidth, kHeight), Composite(frame));

    // The host grows its own window: ours keeps the frame's size.
    XResizeWindow(x.display(), host, kWidth + 4, kHeight + 6);
    Idle();
    EXPECT_EQ(x.SizeOf(xwin).width, kWidth);
    EXPECT_EQ(x.SizeOf(xwin).height, kHeight);
    // A host that resizes our window itself, to its own frame: the band outside the frame's pixels
    // shows the colour of their bottom right corner, not black.
    XResizeWindow(x.display(), xwin, kWidth + 4, kHeight + 6);
    Idle();
    const uint32_t corner = Composite(frame).back();
    ASSERT_NE(corner, 0u);
    const std::vector<uint32_t> larger = x.Read(xwin, kWidth + 4, kHeight + 6);
    int others = 0;
    for (int y = 0; y < kHeight + 6; ++y)
        for (int x0 = y < kHeight ? kWidth : 0; x0 < kWidth + 4; ++x0)
            others += larger[size_t(y) * (kWidth + 4) + size_t(x0)] != corner;
    EXPECT_EQ(others, 0);

    // The frame grows: the X window follows and the host is asked to resize.
    SetWindowPos(frame, nullptr, 0, 0, kWidth, kHeight + 40, SWP_NOMOVE | SWP_NOZORDER);
    Idle();
    EXPECT_EQ(x.SizeOf(xwin).height, kHeight + 40);
    ASSERT_EQ(resized.size(), 1u);
    EXPECT_EQ(resized[0], std::make_pair(kWidth, kHeight + 40));
}

TEST_F(X11Backend, PointerInputArrivesAsTheLayersMessages)
{
    x.Click(xwin, 15, 25);
    Idle();
    // A drag goes on outside the window while the button is held (the press grabbed the pointer).
    x.MoveTo(xwin, 30, 30);
    x.Button(Button1, true);
    x.MoveTo(xwin, 60, 40);
    Idle();
    x.MoveTo(xwin, kWidth + 30, 50);
    Idle();
    x.Button(Button1, false);
    Idle();
    x.Key(XK_Control_L, true);
    x.Click(xwin, 5, 5);
    x.Key(XK_Control_L, false);
    Idle();
    const std::vector<std::string> expected{"down 15,25",  "up 15,25",  "down 30,30",    "drag 60,40",
                                            "drag 350,50", "up 350,50", "down 5,5 ctrl", "up 5,5"};
    EXPECT_EQ(probe.events, expected);

    probe.events.clear();
    x.MoveTo(xwin, 100, 100);
    x.Button(Button1, true);
    x.Button(Button1, false);
    x.Button(Button1, true);
    x.Button(Button1, false);
    Idle();
    EXPECT_EQ(probe.events,
              (std::vector<std::string>{"down 100,100", "up 100,100", "double 100,100", "up 100,100"}));

    probe.events.clear();
    x.Button(Button4, true);
    x.Button(Button4, false);
    x.Button(Button5, true);
    x.Button(Button5, false);
    Idle();
    EXPECT_EQ(probe.events, (std::vector<std::string>{"wheel 120", "wheel -120"}));

    // Leaving the window ends a tracked hover.
    probe.events.clear();
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, probe.hwnd, HOVER_DEFAULT};
    TrackMouseEvent(&track);
    x.MoveTo(xwin, kWidth + 50, kHeight + 50);
    Idle();
    EXPECT_EQ(probe.events, (std::vector<std::string>{"leave"}));
}

TEST_F(X11Backend, KeysGoThroughTheLayersKeyMapWithTheirModifiers)
{
    x.Click(xwin, 10, 10); // the click gives the window the keys
    Idle();
    probe.events.clear();
    x.Type("a1.-");
    x.Key(XK_Shift_L, true);
    x.Press(XK_3);
    x.Key(XK_Shift_L, false);
    Idle();
    EXPECT_EQ(probe.events, (std::vector<std::string>{"char a", "char 1", "char .", "char -", "char #"}));

    // A text field: typed text, the selection replaced, backspace.
    HWND field = CreateWindowExA(0, "EDIT", "old", WS_CHILD | WS_VISIBLE, 10, 10, 100, 20, probe.hwnd,
                                 nullptr, nullptr, nullptr);
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
    x.Type("42.5x");
    x.Press(XK_BackSpace);
    Idle();
    char text[32] = {};
    GetWindowTextA(field, text, sizeof text);
    EXPECT_STREQ(text, "42.5");
    EXPECT_EQ(x.Read(xwin, kWidth, kHeight), Composite(frame)) << "the field shows what it holds";
    DestroyWindow(field);
}

TEST_F(X11Backend, APopupMenuChoosesAnEntryByClickAndIsDismissedOutsideOrByEscape)
{
    HMENU deepest = CreatePopupMenu();
    AppendMenuA(deepest, MF_STRING, 31, "Low");
    HMENU sub = CreatePopupMenu();
    AppendMenuA(sub, MF_STRING, 21, "Deep");
    AppendMenuA(sub, MF_POPUP, UINT_PTR(deepest), "Down");
    probe.menu = CreatePopupMenu();
    AppendMenuA(probe.menu, MF_STRING | MF_CHECKED, 11, "First");
    AppendMenuA(probe.menu, MF_STRING | MF_GRAYED, 12, "Grey");
    AppendMenuA(probe.menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(probe.menu, MF_POPUP, UINT_PTR(sub), "More");

    // Entries are 20 pixels high below a 1-pixel border; the separator takes 7.
    const auto entryY = [](int index) { return 1 + 20 * index + 10; };
    const auto openMenu = [&](std::function<void(XClient&)> act, int atX = 50, int atY = 50)
    { OpenMenu(act, atX, atY); };

    openMenu(
        [&](XClient& own)
        {
            const Window menu = own.Popups().back();
            own.Click(menu, 30, entryY(0));
        });
    EXPECT_EQ(probe.chosen, 11u);

    openMenu(
        [&](XClient& own)
        {
            const Window menu = own.Popups().back();
            own.Click(menu, 30, entryY(1));            // greyed: nothing happens
            own.MoveTo(menu, 30, 1 + 20 * 2 + 7 + 10); // over "More": its submenu opens
            ASSERT_TRUE(Within(3000, [&] { return own.Popups().size() == 2; }));
            own.Click(own.Popups().back(), 30, entryY(0));
        });
    EXPECT_EQ(probe.chosen, 21u);

    openMenu([&](XClient& own) { own.Click(DefaultRootWindow(own.display()), 5, 5); });
    EXPECT_EQ(probe.chosen, 0u);
    openMenu([&](XClient& own) { own.Press(XK_Escape); });
    EXPECT_EQ(probe.chosen, 0u);
    EXPECT_TRUE(x.Popups().empty());

    // The layer's buttons are all up again: a later click is an ordinary click.
    probe.events.clear();
    x.Click(xwin, 70, 70);
    Idle();
    EXPECT_EQ(probe.events, (std::vector<std::string>{"down 70,70", "up 70,70"}));

    // At the screen's bottom right corner the menu opens above its field and the submenu to the
    // left of its menu: neither is pushed back over what it belongs to.
    const int screenWidth = DisplayWidth(x.display(), DefaultScreen(x.display()));
    const int screenHeight = DisplayHeight(x.display(), DefaultScreen(x.display()));
    // (40 pixels above the bottom: a window manager's title bar moves the window down, and the point
    // must stay on the screen.)
    const quova::xtest::RootPoint at =
        MoveHostTo(screenWidth - kWidth - 4, screenHeight - kHeight - 40, kWidth - 20, kHeight - 10);
    struct Place
    {
        quova::xtest::RootPoint at;
        XClient::Size size;
    } menu, submenu, deeper;
    openMenu(
        [&](XClient& own)
        {
            const auto placeOf = [&](Window w) { return Place{own.RootOf(w), own.SizeOf(w)}; };
            menu = placeOf(own.Popups().back());
            own.MoveTo(own.Popups().back(), 30, 1 + 20 * 2 + 7 + 10);
            ASSERT_TRUE(Within(3000, [&] { return own.Popups().size() == 2; }));
            submenu = placeOf(own.Popups().back());
            own.MoveTo(own.Popups().back(), 30, entryY(1));
            ASSERT_TRUE(Within(3000, [&] { return own.Popups().size() == 3; }));
            deeper = placeOf(own.Popups().back());
            for (int level = 0; level < 3; ++level)
                own.Press(XK_Escape);
        },
        kWidth - 20, kHeight - 10);
    EXPECT_EQ(probe.chosen, 0u);
    ASSERT_TRUE(at.y < screenHeight && at.y + menu.size.height > screenHeight)
        << "the point lies on the screen, with no room below it for the menu";
    EXPECT_EQ(menu.at.y + menu.size.height, at.y - 20) << "the menu's bottom meets its field's top";
    EXPECT_EQ(submenu.at.x + submenu.size.width, menu.at.x + 3) << "the submenu ends where its menu begins";
    EXPECT_GE(submenu.at.x, 0);
    // Its own submenu, which would fit on the right (over the first menu), keeps to the left.
    ASSERT_LE(deeper.size.width, menu.size.width);
    EXPECT_EQ(deeper.at.x + deeper.size.width, submenu.at.x + 3)
        << "the third level ends where the second begins";
    EXPECT_GE(deeper.at.x, 0);
}

TEST_F(X11Backend, AMenuTallerThanTheScreenScrollsSoThatEveryEntryCanBeChosen)
{
    const int screenHeight = DisplayHeight(x.display(), DefaultScreen(x.display()));
    const int count = screenHeight / 20 + 30;
    probe.menu = CreatePopupMenu();
    for (int i = 0; i < count; ++i)
        AppendMenuA(probe.menu, MF_STRING, UINT_PTR(100 + i), ("Note " + std::to_string(i)).c_str());
    const UINT_PTR last = UINT_PTR(100 + count - 1);
    // The menu fills the screen's height: 16-pixel scroll arrows above and below the entries.
    const int viewBottom = screenHeight - 16;
    const int lastEntryY = viewBottom - (screenHeight - 32) % 20 - 10;

    // The keys: Up from no entry goes to the last one, and the menu scrolls to show it.
    int height = 0;
    int hotPixels = 0;
    OpenMenu(
        [&](XClient& own)
        {
            const Window menu = own.Popups().back();
            height = own.SizeOf(menu).height;
            own.Press(XK_Up);
            ASSERT_TRUE(Within(3000,
                               [&]
                               {
                                   hotPixels = 0;
                                   for (uint32_t p : own.Read(menu, 60, std::min(height, screenHeight)))
                                       hotPixels += p == 0x3B6FC4u;
                                   return hotPixels > 0;
                               }));
            own.Press(XK_Return);
        });
    EXPECT_EQ(height, screenHeight);
    EXPECT_GT(hotPixels, 0) << "the chosen entry shows";
    EXPECT_EQ(probe.chosen, last);

    // The pointer: the wheel scrolls to the end, where a click takes the last entry; so does the
    // pointer resting on the lower arrow (an entry per 40 ms).
    OpenMenu(
        [&](XClient& own)
        {
            const Window menu = own.Popups().back();
            own.MoveTo(menu, 30, 200);
            for (int i = 0; i < count / 3 + 5; ++i)
            {
                own.Button(Button5, true);
                own.Button(Button5, false);
            }
            own.Click(menu, 30, lastEntryY);
        });
    EXPECT_EQ(probe.chosen, last);
    OpenMenu(
        [&](XClient& own)
        {
            const Window menu = own.Popups().back();
            own.MoveTo(menu, 30, screenHeight - 8);
            std::this_thread::sleep_for(std::chrono::milliseconds(40 * (count + 10)));
            own.Click(menu, 30, lastEntryY);
        });
    EXPECT_EQ(probe.chosen, last);
}

TEST_F(X11Backend, AMessageBoxIsADialogWindowWhoseButtonsAnswer)
{
    x.Click(xwin, 10, 10);
    Idle();
    x.Key(XK_m, true);
    x.Key(XK_m, false);
    Hand hand(Hand::Shows::Dialog, {host},
              [&](XClient& own)
              {
                  const std::vector<Window> boxes = own.Dialogs({host});
                  // A client message that is not the window manager's delete request leaves the box open.
                  own.SendMessage(boxes.back(), "QUOVA_TEST_MESSAGE", "WM_DELETE_WINDOW");
                  own.SendMessage(boxes.back(), "WM_PROTOCOLS", "WM_TAKE_FOCUS");
                  std::this_thread::sleep_for(std::chrono::milliseconds(100));
                  const auto size = own.SizeOf(boxes.back());
                  // Yes, No, Cancel from the left, 80 wide and 8 apart, 14 from the right and the bottom.
                  own.Click(boxes.back(), size.width - 14 - 3 * 88 + 8 + 40 + 88, size.height - 14 - 12);
              });
    ASSERT_TRUE(Within(3000,
                       [&]
                       {
                           quova::x11::Idle();
                           return probe.boxAnswer != 0;
                       }));
    EXPECT_EQ(probe.boxAnswer, IDNO);
    EXPECT_TRUE(Within(1000, [&] { return x.Dialogs({host}).empty(); }));

    // The keys: Alt+N is No; Tab moves to No and the keypad's Enter presses it; Return is the first
    // button; Escape cancels.
    const std::vector<std::function<void(XClient&)>> answers = {[](XClient& own)
                                                                {
                                                                    own.Key(XK_Alt_L, true);
                                                                    own.Press(XK_n);
                                                                    own.Key(XK_Alt_L, false);
                                                                },
                                                                [](XClient& own)
                                                                {
                                                                    own.Press(XK_Tab);
                                                                    own.Press(XK_KP_Enter);
                                                                },
                                                                [](XClient& own) { own.Press(XK_Return); },
                                                                [](XClient& own) { own.Press(XK_Escape); }};
    std::vector<int> answered;
    for (const auto& answer : answers)
    {
        x.Click(xwin, 10, 10);
        Idle();
        probe.boxAnswer = 0;
        x.Press(XK_m);
        Hand keys(Hand::Shows::Dialog, {host},
                  [&](XClient& own)
                  {
                      std::this_thread::sleep_for(
                          std::chrono::milliseconds(150)); // the keys reach it once it shows
                      answer(own);
                  });
        ASSERT_TRUE(Within(3000,
                           [&]
                           {
                               quova::x11::Idle();
                               return probe.boxAnswer != 0;
                           }));
        answered.push_back(probe.boxAnswer);
    }
    EXPECT_EQ(answered, (std::vector<int>{IDNO, IDNO, IDYES, IDCANCEL}));
}

TEST_F(X11Backend, KeysAndTheWheelGoToTheFrameTheyCameToWithTwoFramesOpen)
{
    // A second frame opened later takes the layer's keys, as a second editor does when it opens.
    Probe second;
    const Window host2 = x.MakeHostWindow(kWidth, kHeight, 420, 40);
    HWND frame2 = OpenSecondFrame(second, host2);
    ASSERT_NE(frame2, nullptr);
    const Window xwin2 = quova::x11::FrameXWindow(frame2);
    SetFocus(second.hwnd);
    Idle();
    x.Click(xwin, 10, 10);
    Idle();
    SetFocus(second.hwnd);
    Idle();
    probe.events.clear();
    // The host hands the X focus to the first frame's window: what is typed there and the wheel
    // over it reach the first frame.
    XSetInputFocus(x.display(), xwin, RevertToParent, CurrentTime);
    x.MoveTo(xwin, 50, 50);
    x.Type("ab");
    x.Button(Button4, true);
    x.Button(Button4, false);
    Idle();
    EXPECT_EQ(probe.events, (std::vector<std::string>{"char a", "char b", "wheel 120"}));
    EXPECT_TRUE(second.events.empty());
    // And back to the second one, which never had a click.
    probe.events.clear();
    XSetInputFocus(x.display(), xwin2, RevertToParent, CurrentTime);
    x.MoveTo(xwin2, 50, 50);
    x.Type("c");
    x.Button(Button5, true);
    x.Button(Button5, false);
    Idle();
    EXPECT_EQ(second.events, (std::vector<std::string>{"char c", "wheel -120"}));
    EXPECT_TRUE(probe.events.empty());
    CloseSecondFrame(frame2);
}

TEST_F(X11Backend, AFrameInAHostWindowOfAnotherVisualShowsItsPixels)
{
    // A compositing host's window: 32 bits with alpha.
    Display* d = x.display();
    XVisualInfo argb{};
    if (!XMatchVisualInfo(d, DefaultScreen(d), 32, TrueColor, &argb)) GTEST_SKIP() << "no 32-bit visual";
    XSetWindowAttributes a{};
    a.colormap = XCreateColormap(d, DefaultRootWindow(d), argb.visual, AllocNone);
    a.border_pixel = 0;
    a.background_pixel = 0;
    const Window parent =
        XCreateWindow(d, DefaultRootWindow(d), 500, 300, kWidth, kHeight, 0, 32, InputOutput, argb.visual,
                      CWColormap | CWBorderPixel | CWBackPixel, &a);
    XMapWindow(d, parent);
    XSync(d, False);
    Probe second;
    HWND frame2 = OpenSecondFrame(second, parent);
    ASSERT_NE(frame2, nullptr);
    Idle();
    EXPECT_EQ(x.Read(quova::x11::FrameXWindow(frame2), kWidth, kHeight), Composite(frame2));
    CloseSecondFrame(frame2);
    XDestroyWindow(d, parent);
    XFreeColormap(d, a.colormap);
}

TEST_F(X11Backend, AHostWindowTheServerDoesNotKnowIsWaitedForAndNoWindowIdIsRefused)
{
    HWND waiting = quova::x11::OpenFrame(0x1FFFFF0, 100, 100, nullptr);
    ASSERT_NE(waiting, nullptr);
    Idle();
    EXPECT_EQ(quova::x11::FrameXWindow(waiting), 0u);
    EXPECT_EQ(quova::x11::OpenFrameCount(), 2);
    quova::x11::CloseFrame(waiting);
    EXPECT_EQ(quova::x11::OpenFrame(0, 100, 100, nullptr), nullptr);
    EXPECT_EQ(quova::x11::OpenFrameCount(), 1);
    EXPECT_EQ(quova::x11::UnexpectedXErrors(), errorsBefore);
    EXPECT_TRUE(quova::x11::IsForeignWindowId(reinterpret_cast<void*>(uintptr_t(host))));
    EXPECT_FALSE(quova::x11::IsForeignWindowId(frame));
}

} // namespace

namespace
{

// A dialog with a name field, a list and OK / Cancel, as the save dialogs are made.
constexpr int kNameField = 101;
constexpr int kKindList = 102;
struct DialogResult
{
    std::string name;
    int kind = -1;
};
DialogResult gDialog;

INT_PTR SaveDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM)
{
    if (msg == WM_INITDIALOG)
    {
        for (const char* kind : {"Pattern", "Scene", "Chord"})
            SendDlgItemMessageA(dialog, kKindList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kind));
        SendDlgItemMessageA(dialog, kKindList, CB_SETCURSEL, 0, 0);
        SetDlgItemTextA(dialog, kNameField, "Groove 1");
        return TRUE;
    }
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))
    {
        char name[64] = {};
        GetDlgItemTextA(dialog, kNameField, name, sizeof name);
        // A name that is taken asks first, and the dialog stays open unless the answer is yes.
        if (LOWORD(wParam) == IDOK && std::string(name) == "Taken" &&
            MessageBoxA(dialog, "Overwrite it?", "File exists!", MB_YESNOCANCEL) != IDYES)
            return TRUE;
        gDialog.name = name;
        gDialog.kind = int(SendDlgItemMessageA(dialog, kKindList, CB_GETCURSEL, 0, 0));
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

void RegisterSaveDialog()
{
    DialogTemplate save;
    save.title = "Save";
    save.width = 260;
    save.height = 120;
    save.items = {{kNameField, "EDIT", "", 0, RECT{10, 10, 250, 32}},
                  {kKindList, "COMBOBOX", "", CBS_DROPDOWNLIST, RECT{10, 42, 250, 64}},
                  {IDOK, "BUTTON", "OK", BS_DEFPUSHBUTTON, RECT{80, 80, 160, 104}},
                  {IDCANCEL, "BUTTON", "Cancel", BS_PUSHBUTTON, RECT{170, 80, 250, 104}}};
    RegisterDialogTemplateA(nullptr, "X11SaveTest", save);
}

TEST_F(X11Backend, ADialogTakesTypedTextAListChoiceAndItsButtonWhileTheEditorWaits)
{
    RegisterSaveDialog();
    gDialog = DialogResult{};
    int listWidth = 0;
    // The field's text starts one pixel inside it; the point between "Gro" and "ove".
    const int afterGro = 10 + 1 + quova::win32::LabelWidth("Gro");
    Hand hand(Hand::Shows::Dialog, {host},
              [&](XClient& own)
              {
                  const Window d = own.Dialogs({host}).back();
                  std::this_thread::sleep_for(
                      std::chrono::milliseconds(150)); // the keys reach it once it shows
                  own.Type("Groove");    // the first field's whole text is selected: typing replaces it
                  own.Click(d, 240, 20); // past the end of the text
                  own.Type(" 7");
                  own.Click(d, afterGro + 1, 20);
                  own.Type("-");
                  own.Click(d, 50, 53); // the list drops down as a menu under the box
                  ASSERT_TRUE(Within(3000, [&] { return !own.Popups().empty(); }));
                  listWidth = own.SizeOf(own.Popups().back()).width;
                  own.Click(own.Popups().back(), 40, 1 + 20 * 2 + 10);
                  ASSERT_TRUE(Within(3000, [&] { return own.Popups().empty(); }));
                  own.Click(d, 120, 92);
              });
    const INT_PTR result = DialogBoxParamA(nullptr, "X11SaveTest", probe.hwnd, SaveDialogProc, 0);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(gDialog.name, "Gro-ove 7");
    EXPECT_EQ(gDialog.kind, 2);
    EXPECT_GE(listWidth, 240) << "the list is as wide as its box";

    // The same with the keys alone: Tab to the list, the arrows choose, Shift+Tab back to the
    // field (its text selected), the keypad's Enter is OK.
    gDialog = DialogResult{};
    Hand keys(Hand::Shows::Dialog, {host},
              [&](XClient& own)
              {
                  std::this_thread::sleep_for(std::chrono::milliseconds(150));
                  own.Press(XK_Tab);
                  own.Press(XK_Down);
                  own.Press(XK_Down);
                  own.Key(XK_Shift_L, true);
                  own.Press(XK_Tab);
                  own.Key(XK_Shift_L, false);
                  own.Type("Groove 8");
                  own.Press(XK_KP_Enter);
              });
    EXPECT_EQ(DialogBoxParamA(nullptr, "X11SaveTest", probe.hwnd, SaveDialogProc, 0), IDOK);
    EXPECT_EQ(gDialog.name, "Groove 8");
    EXPECT_EQ(gDialog.kind, 2);

    // A question over the dialog, answered with Escape: the dialog takes the keys back, also with
    // the pointer away from it and no window manager to give them back.
    gDialog = DialogResult{};
    Hand nested(Hand::Shows::Dialog, {host},
                [&](XClient& own)
                {
                    const Window d = own.Dialogs({host}).back();
                    std::this_thread::sleep_for(std::chrono::milliseconds(150));
                    own.Type("Taken");
                    own.Press(XK_Return);
                    ASSERT_TRUE(Within(3000, [&] { return !own.Dialogs({d}).empty(); }));
                    std::this_thread::sleep_for(std::chrono::milliseconds(150));
                    own.Press(XK_Escape);
                    ASSERT_TRUE(Within(3000, [&] { return own.Dialogs({d}).empty(); }));
                    own.MoveToRoot({1270, 1010});
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                    own.Type(" 9");
                    own.Press(XK_Return);
                });
    EXPECT_EQ(DialogBoxParamA(nullptr, "X11SaveTest", probe.hwnd, SaveDialogProc, 0), IDOK);
    EXPECT_EQ(gDialog.name, "Taken 9");
}

TEST_F(X11Backend, ADialogAndAMessageBoxOverAWindowPartlyOffTheScreenOpenInsideIt)
{
    RegisterSaveDialog();
    Display* d = x.display();
    const int screenWidth = DisplayWidth(d, DefaultScreen(d));
    const int screenHeight = DisplayHeight(d, DefaultScreen(d));
    // The host's window hangs over the screen's bottom right corner: centred on the frame, a dialog
    // would reach past both edges.
    const quova::xtest::RootPoint frameAt =
        MoveHostTo(screenWidth - kWidth / 2, screenHeight - kHeight / 2, 0, 0);
    struct Place
    {
        quova::xtest::RootPoint at;
        XClient::Size size;
    } dialog, box;
    const auto placeAndCancel = [this](Place& place)
    {
        return [this, &place](XClient& own)
        {
            const Window w = own.Dialogs({host}).back();
            std::this_thread::sleep_for(std::chrono::milliseconds(150)); // the keys reach it once it shows
            place = Place{own.RootOf(w), own.SizeOf(w)};
            own.Press(XK_Escape);
        };
    };
    {
        Hand hand(Hand::Shows::Dialog, {host}, placeAndCancel(dialog));
        EXPECT_EQ(DialogBoxParamA(nullptr, "X11SaveTest", probe.hwnd, SaveDialogProc, 0), IDCANCEL);
    }
    x.Click(xwin, 10, 10);
    Idle();
    probe.boxAnswer = 0;
    x.Press(XK_m);
    {
        Hand hand(Hand::Shows::Dialog, {host}, placeAndCancel(box));
        ASSERT_TRUE(Within(3000,
                           [&]
                           {
                               quova::x11::Idle();
                               return probe.boxAnswer != 0;
                           }));
    }
    EXPECT_EQ(probe.boxAnswer, IDCANCEL);
    for (const Place& place : {dialog, box})
    {
        ASSERT_GT(place.size.width, 0);
        ASSERT_GT(frameAt.x + (kWidth + place.size.width) / 2, screenWidth);
        ASSERT_GT(frameAt.y + (kHeight + place.size.height) / 2, screenHeight);
        EXPECT_GE(place.at.x, 0);
        EXPECT_GE(place.at.y, 0);
        EXPECT_LE(place.at.x + place.size.width, screenWidth) << "moved left onto the screen";
        EXPECT_LE(place.at.y + place.size.height, screenHeight) << "moved up onto the screen";
    }
}

TEST_F(X11Backend, WebAddressesOpenWithTheDesktopsOpenerAndNothingElseDoes)
{
    // A stand-in opener on the PATH writes down what it was given.
    const std::string folder = ::testing::TempDir() + "quova-opener-" + std::to_string(getpid());
    const std::string log = folder + "/opened";
    ASSERT_EQ(std::system(("mkdir -p " + folder).c_str()), 0);
    {
        FILE* f = std::fopen((folder + "/xdg-open").c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fprintf(f, "#!/bin/sh\nprintf '%%s\\n' \"$@\" >> '%s'\nsleep 0.3\n", log.c_str());
        std::fclose(f);
    }
    ASSERT_EQ(std::system(("chmod +x " + folder + "/xdg-open").c_str()), 0);
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (folder + ":" + path).c_str(), 1);

    const auto open = [&](const char* operation, const char* file)
    {
        return reinterpret_cast<intptr_t>(
            ShellExecuteA(probe.hwnd, operation, file, nullptr, nullptr, SW_SHOWNORMAL));
    };
    EXPECT_GT(open("open", "https://example.org/quova"), 32);
    EXPECT_LE(open("open", "--help"), 32) << "an address that reads as an option of the opener";
    EXPECT_LE(open("print", "https://example.org/quova"), 32);
    EXPECT_LE(open("open", ""), 32);
    setenv("PATH", path.c_str(), 1);
    std::string opened;
    ASSERT_TRUE(Within(3000,
                       [&]
                       {
                           FILE* f = std::fopen(log.c_str(), "r");
                           if (f == nullptr) return false;
                           char line[256] = {};
                           opened = std::fgets(line, sizeof line, f) ? line : "";
                           std::fclose(f);
                           return !opened.empty();
                       }));
    EXPECT_EQ(opened, "https://example.org/quova\n");
    // The editor closes while the opener still runs: once it ends, no child is left behind.
    CloseTheFrame();
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    EXPECT_LE(waitpid(-1, nullptr, WNOHANG), 0) << "a finished child of the process that nobody waited for";
    std::system(("rm -rf " + folder).c_str());
}

} // namespace

extern char** environ;

namespace
{

// A screen of 16 bits a pixel, on an X server of its own (Xvfb); -1 when none could be started.
class SixteenBitServer
{
public:
    SixteenBitServer()
    {
        for (int n = 150; n < 200 && pid_ < 0; ++n)
        {
            // Appended rather than "literal" + to_string: GCC 12 warns falsely (-Wrestrict) on that.
            const std::string number = std::to_string(n);
            std::string lock = "/tmp/.X";
            lock.append(number).append("-lock");
            if (access(lock.c_str(), F_OK) == 0) continue;
            name_ = std::string(":").append(number);
            std::string program = "Xvfb", screen = "-screen", zero = "0", size = "640x480x16",
                        tcp = "-nolisten", what = "tcp";
            char* argv[] = {program.data(), name_.data(), screen.data(), zero.data(),
                            size.data(),    tcp.data(),   what.data(),   nullptr};
            pid_t pid = 0;
            if (posix_spawnp(&pid, "Xvfb", nullptr, nullptr, argv, environ) != 0) return;
            pid_ = pid;
            if (!Within(5000, [&] { return (display_ = XOpenDisplay(name_.c_str())) != nullptr; })) Stop();
        }
    }
    ~SixteenBitServer() { Stop(); }
    Display* display() const { return display_; }
    const std::string& name() const { return name_; }

private:
    void Stop()
    {
        if (display_ != nullptr) XCloseDisplay(display_);
        display_ = nullptr;
        if (pid_ > 0)
        {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        pid_ = -1;
    }
    pid_t pid_ = -1;
    std::string name_;
    Display* display_ = nullptr;
};

TEST(X11Screens, AScreenWhoseColoursTheFramesPixelsDoNotSuitIsRefused)
{
    SixteenBitServer server;
    if (server.display() == nullptr) GTEST_SKIP() << "no Xvfb";
    ASSERT_EQ(DefaultDepth(server.display(), 0), 16);
    Display* d = server.display();
    const Window host = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 200, 100, 0, 0, 0);
    XMapWindow(d, host);
    XSync(d, False);
    const char* was = std::getenv("DISPLAY");
    const std::string before = was != nullptr ? was : "";
    setenv("DISPLAY", server.name().c_str(), 1);
    HWND frame = quova::x11::OpenFrame(host, 200, 100, nullptr);
    EXPECT_EQ(frame, nullptr);
    if (frame != nullptr) quova::x11::CloseFrame(frame);
    EXPECT_FALSE(quova::x11::ConnectionOpen());
    if (was != nullptr)
        setenv("DISPLAY", before.c_str(), 1);
    else
        unsetenv("DISPLAY");
}

} // namespace
