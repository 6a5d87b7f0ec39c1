// Focus, capture, mouse routing and flags, double clicks, leave notices, wheel and keys.
#include "RecordingWindow.h"

#include "platform/win32/Input.h"
#include "platform/win32/Paint.h"

#include <gtest/gtest.h>

using namespace quova::win32::test;
using quova::testing::MouseButton;

namespace
{

class InputTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        frame = driver.CreateHostFrame(400, 300, 100, 50);
        editor = MakeChild(frame, 1, 20, 10, 200, 100);
        other = MakeChild(frame, 2, 250, 10, 100, 100);
        driver.Pump();
        Log().clear();
    }

    // Every mouse message of a window, in order.
    std::vector<Received> MouseOf(HWND h)
    {
        std::vector<Received> out;
        for (const Received& r : Log())
            if (r.hwnd == h && ((r.msg >= WM_MOUSEMOVE && r.msg <= WM_MOUSEWHEEL) || r.msg == WM_MOUSELEAVE))
                out.push_back(r);
        return out;
    }

    HWND frame = nullptr;
    HWND editor = nullptr;
    HWND other = nullptr;
};

} // namespace

TEST_F(InputTest, FocusMovesWithKillThenSetFocusSentAtOnce)
{
    EXPECT_EQ(SetFocus(editor), nullptr);
    ASSERT_EQ(Log().size(), 1u);
    EXPECT_EQ(Log()[0].msg, WM_SETFOCUS);
    Log().clear();
    EXPECT_EQ(SetFocus(other), editor);
    ASSERT_EQ(Log().size(), 2u);
    EXPECT_EQ(Log()[0].hwnd, editor);
    EXPECT_EQ(Log()[0].msg, WM_KILLFOCUS);
    EXPECT_EQ(Log()[0].wParam, reinterpret_cast<WPARAM>(other));
    EXPECT_EQ(Log()[1].hwnd, other);
    EXPECT_EQ(Log()[1].msg, WM_SETFOCUS);
    EXPECT_EQ(Log()[1].wParam, reinterpret_cast<WPARAM>(editor));
    Log().clear();
    SetFocus(other);
    EXPECT_TRUE(Log().empty()) << "no messages when the focus stays";
    EXPECT_EQ(GetFocus(), other);
}

TEST_F(InputTest, PressesGoToTheWindowUnderThePointerWithClientCoordinatesAndState)
{
    driver.HoldModifiers(true, false, false);
    driver.MouseDown(editor, 5, 7);
    driver.MouseUp(editor, 6, 8);
    auto m = MouseOf(editor);
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].msg, WM_LBUTTONDOWN);
    EXPECT_EQ(m[0].wParam, MK_LBUTTON | MK_SHIFT);
    EXPECT_EQ(GET_X_LPARAM(m[0].lParam), 5);
    EXPECT_EQ(GET_Y_LPARAM(m[0].lParam), 7);
    EXPECT_EQ(m[1].msg, WM_LBUTTONUP);
    EXPECT_EQ(m[1].wParam, MK_SHIFT) << "a release carries the state after it";
    EXPECT_TRUE(MouseOf(other).empty());

    driver.HoldModifiers(false, true, true);
    EXPECT_LT(GetKeyState(VK_MENU), 0);
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
    Log().clear();
    driver.MouseDown(other, 1, 1, MouseButton::Right);
    m = MouseOf(other);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].msg, WM_RBUTTONDOWN);
    EXPECT_EQ(m[0].wParam, MK_RBUTTON | MK_CONTROL) << "Alt is not in wParam; GetKeyState tells it";
}

TEST_F(InputTest, CaptureRoutesEverythingToTheCapturingWindowWithSignedCoordinates)
{
    driver.MouseDown(editor, 10, 10);
    SetCapture(editor);
    Log().clear();
    driver.MouseMove(editor, -15, 150); // over the frame and below the editor
    driver.MouseMove(other, 5, 5);      // over the other child
    auto m = MouseOf(editor);
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].msg, WM_MOUSEMOVE);
    EXPECT_EQ(GET_X_LPARAM(m[0].lParam), -15);
    EXPECT_EQ(GET_Y_LPARAM(m[0].lParam), 150);
    EXPECT_EQ(m[0].wParam, MK_LBUTTON);
    EXPECT_EQ(GET_X_LPARAM(m[1].lParam), 250 + 5 - 20);
    EXPECT_TRUE(MouseOf(other).empty());
    ReleaseCapture();
    driver.MouseUp(other, 5, 5);
    EXPECT_EQ(MouseOf(other).size(), 1u) << "without capture the release goes where the pointer is";
}

TEST_F(InputTest, QuickSecondPressIsADoubleClickOnlyForDoubleClickClasses)
{
    driver.DoubleClick(editor, 30, 30);
    auto m = MouseOf(editor);
    ASSERT_EQ(m.size(), 5u);
    EXPECT_EQ(m[0].msg, WM_MOUSEMOVE) << "the pointer is brought there first";
    EXPECT_EQ(m[1].msg, WM_LBUTTONDOWN);
    EXPECT_EQ(m[2].msg, WM_LBUTTONUP);
    EXPECT_EQ(m[3].msg, WM_LBUTTONDBLCLK);
    EXPECT_EQ(m[4].msg, WM_LBUTTONUP);

    // A third quick press starts over; a press after the double-click time is single.
    Log().clear();
    driver.MouseDown(editor, 30, 30);
    driver.MouseUp(editor, 30, 30);
    driver.MouseDown(editor, 30, 30);
    driver.MouseUp(editor, 30, 30);
    driver.MouseDown(editor, 30, 30);
    m = MouseOf(editor);
    EXPECT_EQ(m[2].msg, WM_LBUTTONDBLCLK);
    EXPECT_EQ(m[4].msg, WM_LBUTTONDOWN);
    driver.MouseUp(editor, 30, 30);
    driver.AdvanceTime(501);
    Log().clear();
    driver.MouseDown(editor, 30, 30);
    EXPECT_EQ(MouseOf(editor)[0].msg, WM_LBUTTONDOWN);
    driver.MouseUp(editor, 30, 30);

    // Too far away, or a window whose class does not ask for double clicks.
    Log().clear();
    driver.MouseDown(editor, 40, 40);
    driver.MouseUp(editor, 40, 40);
    driver.MouseDown(editor, 43, 40);
    EXPECT_EQ(MouseOf(editor)[2].msg, WM_LBUTTONDOWN);
    driver.MouseUp(editor, 43, 40);

    WNDCLASSA plain{};
    plain.lpfnWndProc = DefWindowProcA;
    plain.lpszClassName = "Plain";
    RegisterClassA(&plain);
    HWND p = CreateWindowExA(0, "Plain", "", WS_CHILD | WS_VISIBLE, 0, 150, 50, 50, frame, nullptr, nullptr,
                             nullptr);
    std::vector<UINT> seen;
    static std::vector<UINT>* sink = nullptr;
    sink = &seen;
    SetWindowLongPtrA(p, GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(+[](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT
                                                 {
                                                     if (msg >= WM_LBUTTONDOWN && msg <= WM_LBUTTONDBLCLK)
                                                         sink->push_back(msg);
                                                     return DefWindowProcA(h, msg, w, l);
                                                 }));
    driver.DoubleClick(p, 5, 5);
    EXPECT_EQ(seen, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
}

TEST_F(InputTest, LeaveNoticeComesOnceWhenThePointerLeaves)
{
    driver.MouseMove(editor, 10, 10);
    TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, editor, HOVER_DEFAULT};
    ASSERT_TRUE(TrackMouseEvent(&t));
    driver.MouseMove(editor, 12, 10);
    EXPECT_TRUE(Of(editor, WM_MOUSELEAVE).empty());
    driver.MouseMove(other, 10, 10);
    EXPECT_EQ(Of(editor, WM_MOUSELEAVE).size(), 1u);
    driver.MouseMove(other, 11, 10);
    EXPECT_EQ(Of(editor, WM_MOUSELEAVE).size(), 1u) << "one notice per request";

    // Asked while the pointer is already elsewhere: the notice comes at once.
    TrackMouseEvent(&t);
    driver.Pump();
    EXPECT_EQ(Of(editor, WM_MOUSELEAVE).size(), 2u);
    TRACKMOUSEEVENT bad{0, TME_LEAVE, editor, 0};
    EXPECT_FALSE(TrackMouseEvent(&bad));
}

TEST_F(InputTest, WheelGoesToTheFocusAndUnhandledTurnsReachTheParent)
{
    SetFocus(editor);
    HWND field = MakeChild(editor, 99, 0, 0, 50, 20);
    SetFocus(field);
    Log().clear();
    driver.Wheel(other, 3, 4, -2);
    auto atField = Of(field, WM_MOUSEWHEEL);
    auto atEditor = Of(editor, WM_MOUSEWHEEL);
    ASSERT_EQ(atField.size(), 1u);
    ASSERT_EQ(atEditor.size(), 1u) << "the default procedure passes the wheel to the parent";
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(atEditor[0].wParam), -240);
    EXPECT_EQ(GET_X_LPARAM(atEditor[0].lParam), 100 + 250 + 3) << "screen coordinates";
    EXPECT_EQ(GET_Y_LPARAM(atEditor[0].lParam), 50 + 10 + 4);
}

TEST_F(InputTest, KeysReachTheFocusAndTheLoopTranslatesThemIntoCharacters)
{
    SetFocus(editor);
    Log().clear();
    driver.PressKey('A');
    driver.PressKey(VK_NUMPAD0 + 1);
    driver.HoldModifiers(true, false, false);
    driver.PressKey('3');
    driver.HoldModifiers(false, false, false);
    std::vector<unsigned> chars;
    for (const Received& r : Of(editor, WM_CHAR))
        chars.push_back(static_cast<unsigned>(r.wParam));
    EXPECT_EQ(chars, (std::vector<unsigned>{'a', '1', '#'}));
    auto downs = Of(editor, WM_KEYDOWN);
    ASSERT_GE(downs.size(), 2u);
    EXPECT_EQ(downs[0].wParam, WPARAM{'A'});
    EXPECT_EQ(downs[1].wParam, WPARAM{0x61});

    Log().clear();
    driver.HoldModifiers(false, false, true);
    driver.PressKey('Q');
    driver.HoldModifiers(false, false, false);
    EXPECT_TRUE(Of(editor, WM_KEYDOWN).empty()) << "with Alt held keys are system keys";
    EXPECT_EQ(Of(editor, WM_SYSKEYDOWN).size(), 2u); // Alt itself and Q
    EXPECT_TRUE(Of(editor, WM_CHAR).empty());

    Log().clear();
    driver.TypeText("Ab-1.");
    std::string typed;
    for (const Received& r : Of(editor, WM_CHAR))
        typed += static_cast<char>(r.wParam);
    EXPECT_EQ(typed, "Ab-1.");
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0) << "Shift is let go again";
}

TEST_F(InputTest, PointerPositionAndConversions)
{
    driver.MouseMove(editor, 7, 9);
    POINT p{};
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 127);
    EXPECT_EQ(p.y, 69);
    ScreenToClient(editor, &p);
    EXPECT_EQ(p.x, 7);
    EXPECT_EQ(p.y, 9);
    ClientToScreen(other, &p);
    EXPECT_EQ(p.x, 357);
    SetCursorPos(1, 2);
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 1);
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
}
