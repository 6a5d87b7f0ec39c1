// The paint road (update region, WM_PAINT, BeginPaint, BitBlt into the surface) and timers.
#include "RecordingWindow.h"

#include "platform/gdi/Gdi.h"
#include "platform/win32/Paint.h"
#include "platform/win32/Timer.h"
#include "platform/win32/WindowSystem.h"

#include <gtest/gtest.h>

using namespace quova::win32::test;
using quova::testing::PlatformDriver;

namespace
{

class PaintTest : public WindowFixture
{
};

// A back buffer of w x h filled with one colour, selected into a memory DC.
struct BackBuffer
{
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    uint32_t* bits = nullptr;

    BackBuffer(int w, int h, uint32_t colour)
    {
        dc = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* p = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint32_t*>(p);
        for (int i = 0; i < w * h; ++i)
            bits[i] = colour;
        previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(bitmap));
    }
    ~BackBuffer()
    {
        SelectObject(dc, previous);
        DeleteObject(reinterpret_cast<HGDIOBJ>(bitmap));
        DeleteDC(dc);
    }
};

} // namespace

TEST_F(PaintTest, InvalidatedAreaArrivesAsOnePaintWithItsBoundingBox)
{
    HWND w = MakeTopLevel(0, 0, 100, 80);
    driver.Pump(); // the first paint of a new visible window
    Log().clear();
    RECT a{10, 10, 20, 20};
    RECT b{30, 5, 40, 15};
    InvalidateRect(w, &a, FALSE);
    InvalidateRect(w, &b, FALSE);
    RECT r{};
    ASSERT_TRUE(GetUpdateRect(w, &r, FALSE));
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 5);
    EXPECT_EQ(r.right, 40);
    EXPECT_EQ(r.bottom, 20);
    EXPECT_TRUE(Of(w, WM_PAINT).empty()) << "painting waits for the message loop";
    driver.Pump();
    EXPECT_EQ(Of(w, WM_PAINT).size(), 1u);
    EXPECT_FALSE(GetUpdateRect(w, &r, FALSE)) << "the default WM_PAINT validates";
    EXPECT_EQ(r.right, 0);
}

TEST_F(PaintTest, RegionsAreClippedAndSubtractedExactly)
{
    HWND w = MakeTopLevel(0, 0, 100, 80);
    ValidateRect(w, nullptr);
    RECT outside{-1, -1, -1, -1};
    InvalidateRect(w, &outside, FALSE);
    RECT r{};
    EXPECT_FALSE(GetUpdateRect(w, &r, FALSE)) << "an area outside the window adds nothing";

    RECT big{-50, 10, 60, 30};
    InvalidateRect(w, &big, FALSE);
    GetUpdateRect(w, &r, FALSE);
    EXPECT_EQ(r.left, 0) << "clipped to the client area";
    // Validating the middle leaves an L-free band on both sides: the box still spans both.
    RECT middle{20, 0, 40, 80};
    ValidateRect(w, &middle);
    GetUpdateRect(w, &r, FALSE);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 60);
    // Validating the left part shrinks the box to the right part alone.
    RECT left{0, 0, 20, 80};
    ValidateRect(w, &left);
    GetUpdateRect(w, &r, FALSE);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.right, 60);
    EXPECT_EQ(r.top, 10);
    EXPECT_EQ(r.bottom, 30);
    // Validating exactly what is left empties the region.
    RECT rest{40, 10, 60, 30};
    ValidateRect(w, &rest);
    EXPECT_FALSE(GetUpdateRect(w, &r, FALSE));
}

TEST_F(PaintTest, UpdateWindowPaintsAtOnceOnlyWhenNeeded)
{
    HWND w = MakeTopLevel(0, 0, 50, 50);
    ValidateRect(w, nullptr);
    Log().clear();
    UpdateWindow(w);
    EXPECT_TRUE(Of(w, WM_PAINT).empty());
    InvalidateRect(w, nullptr, FALSE);
    UpdateWindow(w);
    EXPECT_EQ(Of(w, WM_PAINT).size(), 1u) << "sent without the message loop";
}

TEST_F(PaintTest, BitBltDuringPaintReachesTheSurfaceInsideTheUpdateArea)
{
    HWND parent = driver.CreateHostFrame(300, 200);
    HWND w = MakeChild(parent, 1, 5, 5, 64, 48);
    BackBuffer back(64, 48, 0xFF336699u);
    RECT painted{};
    SetHandler(
        [&](HWND h, UINT msg, WPARAM, LPARAM, LRESULT& result)
        {
            if (h != w || msg != WM_PAINT) return false;
            RECT r{};
            if (GetUpdateRect(h, &r, FALSE))
            {
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(h, &ps);
                painted = ps.rcPaint;
                BitBlt(dc, 0, 0, 64, 48, back.dc, 0, 0, SRCCOPY); // the whole buffer: the DC clips
                EndPaint(h, &ps);
            }
            result = 0;
            return true;
        });
    ValidateRect(w, nullptr);
    RECT dirty{8, 4, 24, 12};
    InvalidateRect(w, &dirty, FALSE);
    driver.Pump();
    EXPECT_EQ(painted.left, 8);
    EXPECT_EQ(painted.bottom, 12);
    EXPECT_EQ(driver.Pixel(w, 8, 4) & 0xFFFFFF, 0x336699u);
    EXPECT_EQ(driver.Pixel(w, 23, 11) & 0xFFFFFF, 0x336699u);
    EXPECT_EQ(driver.Pixel(w, 24, 11), 0u) << "outside the update area nothing is drawn";
    EXPECT_EQ(driver.Pixel(w, 8, 12), 0u);

    PixelSurface all = driver.Composite(parent);
    EXPECT_EQ(all.At(5 + 8, 5 + 4) & 0xFFFFFF, 0x336699u) << "the child shows at its place in the parent";
}

TEST_F(PaintTest, AWindowThatNeverValidatesDoesNotHangTheLoop)
{
    HWND w = MakeTopLevel(0, 0, 10, 10);
    SetHandler(
        [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT& result)
        {
            result = 0;
            return msg == WM_PAINT; // swallowed: no BeginPaint
        });
    Log().clear();
    driver.Pump();
    EXPECT_EQ(Of(w, WM_PAINT).size(), 1u);
    driver.Pump();
    EXPECT_EQ(Of(w, WM_PAINT).size(), 2u) << "asked again at the next turn of the loop";
}

TEST_F(PaintTest, TimersFireOnTheVirtualClockInOrder)
{
    HWND w = MakeTopLevel(0, 0, 10, 10);
    std::vector<std::pair<UINT_PTR, DWORD>> ticks;
    const DWORD start = GetTickCount();
    SetHandler(
        [&](HWND, UINT msg, WPARAM id, LPARAM, LRESULT&)
        {
            if (msg == WM_TIMER) ticks.emplace_back(id, GetTickCount() - start);
            return false;
        });
    EXPECT_EQ(SetTimer(w, 2, 1000 / 30, nullptr), 2u);
    EXPECT_EQ(SetTimer(w, 5, 50, nullptr), 5u);
    EXPECT_EQ(driver.TimerInterval(w, 2), 33u);
    EXPECT_EQ(driver.AdvanceTime(32), 0);
    EXPECT_EQ(driver.AdvanceTime(68), 5); // 33, 50, 66, 99, 100
    ASSERT_EQ(ticks.size(), 5u);
    EXPECT_EQ(ticks[0], (std::pair<UINT_PTR, DWORD>{2, 33}));
    EXPECT_EQ(ticks[1], (std::pair<UINT_PTR, DWORD>{5, 50}));
    EXPECT_EQ(ticks[2], (std::pair<UINT_PTR, DWORD>{2, 66}));
    EXPECT_EQ(ticks[3], (std::pair<UINT_PTR, DWORD>{2, 99}));
    EXPECT_EQ(ticks[4], (std::pair<UINT_PTR, DWORD>{5, 100}));

    EXPECT_TRUE(KillTimer(w, 5));
    EXPECT_FALSE(KillTimer(w, 5));
    ticks.clear();
    driver.AdvanceTime(1000);
    EXPECT_EQ(ticks.size(), 30u);
    for (auto& t : ticks)
        EXPECT_EQ(t.first, 2u);
}

TEST_F(PaintTest, TimerIntervalsAreKeptInRangeAndRestartsResetTheCount)
{
    HWND w = MakeTopLevel(0, 0, 10, 10);
    SetTimer(w, 1, 0, nullptr);
    EXPECT_EQ(driver.TimerInterval(w, 1), 10u);
    SetTimer(w, 1, 40, nullptr);
    driver.AdvanceTime(30);
    SetTimer(w, 1, 40, nullptr); // restarted: the next tick is 40 ms from now
    Log().clear();
    driver.AdvanceTime(39);
    EXPECT_TRUE(Of(w, WM_TIMER).empty());
    driver.AdvanceTime(1);
    EXPECT_EQ(Of(w, WM_TIMER).size(), 1u);
    EXPECT_EQ(SetTimer(w, 0, 10, nullptr), 0u);
    EXPECT_EQ(SetTimer(reinterpret_cast<HWND>(uintptr_t{16}), 1, 10, nullptr), 0u) << "no such window";
}

TEST_F(PaintTest, TimerProceduresAndThreadTimersAreCalledDirectly)
{
    static int calls = 0;
    calls = 0;
    UINT_PTR id = SetTimer(
        nullptr, 0, 20,
        +[](HWND h, UINT msg, UINT_PTR, DWORD)
        {
            if (h == nullptr && msg == WM_TIMER) ++calls;
        });
    ASSERT_NE(id, 0u);
    driver.AdvanceTime(100);
    EXPECT_EQ(calls, 5);
    EXPECT_TRUE(KillTimer(nullptr, id));
}

TEST(RealClockTest, TheMessageLoopFiresTimersByTheRealClock)
{
    quova::win32::ResetWindowSystem();
    ASSERT_FALSE(quova::win32::IsClockVirtual());
    static int ticks = 0;
    ticks = 0;
    UINT_PTR id = SetTimer(
        nullptr, 0, 10, +[](HWND, UINT, UINT_PTR, DWORD) { ++ticks; });
    EXPECT_EQ(quova::win32::AdvanceClock(1000), 0) << "the virtual clock is off";
    const DWORD start = GetTickCount();
    quova::win32::RunMessageLoopFor(60);
    EXPECT_GE(GetTickCount() - start, 60u);
    EXPECT_GE(ticks, 1);
    EXPECT_LE(ticks, 6);
    KillTimer(nullptr, id);
    quova::win32::ResetWindowSystem();
}
