// Window timers and the layer's clock (real or virtual).
#include "platform/win32/WindowState.h"

#include <algorithm>
#include <chrono>

namespace quova::win32
{

namespace
{

constexpr UINT kMinimumInterval = 10;
constexpr UINT kMaximumInterval = 0x7FFFFFFF;

uint64_t RealNow()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace

void UseVirtualClock(bool on)
{
    WindowSystemState& s = State();
    if (on == s.virtualClock) return;
    uint64_t now = ClockNow();
    s.virtualClock = on;
    s.virtualNow = now;
    // Keep running timers due at the same distance from now on the new clock.
    uint64_t newNow = ClockNow();
    for (Timer& t : s.timers)
        t.due = newNow + (t.due > now ? t.due - now : 0);
}

bool IsClockVirtual()
{
    return State().virtualClock;
}

uint64_t ClockNow()
{
    const WindowSystemState& s = State();
    return s.virtualClock ? s.virtualNow : RealNow();
}

bool NextTimerDue(uint64_t& due)
{
    const auto& timers = State().timers;
    if (timers.empty()) return false;
    due = std::min_element(timers.begin(), timers.end(),
                           [](const Timer& a, const Timer& b) { return a.due < b.due; })
              ->due;
    return true;
}

void ForgetWindowTimers(HWND hwnd)
{
    auto& timers = State().timers;
    timers.erase(
        std::remove_if(timers.begin(), timers.end(), [hwnd](const Timer& t) { return t.hwnd == hwnd; }),
        timers.end());
}

UINT TimerInterval(HWND hwnd, UINT_PTR id)
{
    for (const Timer& t : State().timers)
        if (t.hwnd == hwnd && t.id == id) return t.interval;
    return 0;
}

} // namespace quova::win32

using namespace quova::win32;

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc)
{
    WindowSystemState& s = State();
    if (hwnd && !Lookup(hwnd)) return 0;
    if (hwnd && id == 0)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (!hwnd) id = s.nextThreadTimerId++;
    const UINT interval = std::clamp(elapse, kMinimumInterval, kMaximumInterval);
    const uint64_t due = ClockNow() + interval;
    for (Timer& t : s.timers)
    {
        if (t.hwnd == hwnd && t.id == id)
        {
            t.interval = interval;
            t.proc = proc;
            t.due = due;
            return id;
        }
    }
    s.timers.push_back(Timer{hwnd, id, interval, proc, due, s.timerSerial++});
    return id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id)
{
    auto& timers = State().timers;
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (it == timers.end()) return FALSE;
    timers.erase(it);
    // A WM_TIMER already taken into the queue is not delivered any more.
    auto& q = State().queue;
    q.erase(std::remove_if(q.begin(), q.end(),
                           [&](const MSG& m)
                           { return m.hwnd == hwnd && m.message == WM_TIMER && m.wParam == id; }),
            q.end());
    return TRUE;
}

DWORD GetTickCount()
{
    return static_cast<DWORD>(ClockNow());
}
