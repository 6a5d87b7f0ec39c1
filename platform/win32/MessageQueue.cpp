// Message delivery: sending, the posted queue, the message loop and the default procedure.
#include "platform/win32/WindowState.h"

#include "platform/win32/Input.h"
#include "platform/win32/Paint.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace quova::win32
{

namespace
{

// A message loop that keeps finding work after this many messages in one pump stops there (a
// window that posts itself a message for every message it handles would otherwise spin forever).
constexpr int kMaxMessagesPerPump = 100000;

bool InRange(UINT msg, UINT lo, UINT hi)
{
    return (lo == 0 && hi == 0) || (msg >= lo && msg <= hi);
}

bool Matches(HWND filter, HWND target)
{
    return !filter || (target && IsSelfOrAncestor(filter, target));
}

// The first visible window (top-level windows from the top, then depth first) that needs painting.
HWND FindToPaintIn(HWND h, HWND filter, const std::set<HWND>* skip)
{
    if (!IsWindowVisible(h)) return nullptr;
    if (!h->update.Empty() && Matches(filter, h) && !(skip && skip->count(h))) return h;
    for (auto child = h->children.rbegin(); child != h->children.rend(); ++child)
        if (HWND found = FindToPaintIn(*child, filter, skip)) return found;
    return nullptr;
}

HWND FindWindowToPaint(HWND filter, const std::set<HWND>* skip)
{
    const auto& tops = State().topLevel;
    for (auto top = tops.rbegin(); top != tops.rend(); ++top)
        if (HWND found = FindToPaintIn(*top, filter, skip)) return found;
    return nullptr;
}

// What one pump has delivered: each window is painted and each timer fired at most once a pump,
// so that a pump ends after a bounded amount of work whatever its handlers take. (A timer whose
// handler outlasts its period, waiting for a lock another thread holds, is due again by the time it
// returns; taken again, it would keep the pump going for as long as the other thread keeps that lock.)
struct Delivered
{
    std::set<HWND> painted;
    std::set<uint64_t> timers; // by serial
};

// The next message; `delivered` (when given) excludes what this pump delivered already and records
// a timer taken.
bool TakeMessage(MSG& out, HWND filter, UINT lo, UINT hi, bool remove, Delivered* delivered)
{
    WindowSystemState& s = State();
    for (auto it = s.queue.begin(); it != s.queue.end(); ++it)
    {
        if ((!filter || Matches(filter, it->hwnd)) && InRange(it->message, lo, hi))
        {
            out = *it;
            if (remove) s.queue.erase(it);
            return true;
        }
    }
    if (InRange(WM_TIMER, lo, hi))
    {
        // Timers: look without taking first, so a filter can skip other windows' timers.
        uint64_t now = ClockNow();
        const Timer* best = nullptr;
        for (const Timer& t : s.timers)
            if (t.due <= now && (!filter || Matches(filter, t.hwnd)) &&
                !(delivered && delivered->timers.count(t.serial)))
                if (!best || t.due < best->due || (t.due == best->due && t.serial < best->serial)) best = &t;
        if (best)
        {
            Timer& t = const_cast<Timer&>(*best);
            out = MSG{t.hwnd,  WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.proc), static_cast<DWORD>(now),
                      s.cursor};
            if (remove)
            {
                // Due several times over, it fires once: it is next due a period from now.
                t.due = now + t.interval;
                if (delivered) delivered->timers.insert(t.serial);
            }
            return true;
        }
    }
    if (InRange(WM_PAINT, lo, hi))
    {
        if (HWND h = FindWindowToPaint(filter, delivered ? &delivered->painted : nullptr))
        {
            out = MSG{h, WM_PAINT, 0, 0, GetTickCount(), s.cursor};
            if (remove && delivered) delivered->painted.insert(h);
            return true;
        }
    }
    return false;
}

int Pump(int* timerMessages)
{
    Delivered delivered;
    int count = 0;
    MSG msg;
    while (count < kMaxMessagesPerPump && TakeMessage(msg, nullptr, 0, 0, true, &delivered))
    {
        if (msg.message == WM_TIMER && timerMessages) ++*timerMessages;
        // A dialog's keys go to the dialog manager first, as a modal dialog's loop does it.
        if (!RouteDialogKey(msg))
        {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        ++count;
    }
    CollectDestroyed();
    return count;
}

} // namespace

int PumpMessages()
{
    return Pump(nullptr);
}

int AdvanceClock(uint32_t ms)
{
    WindowSystemState& s = State();
    if (!s.virtualClock) return 0;
    int timerMessages = 0;
    const uint64_t target = s.virtualNow + ms;
    uint64_t due = 0;
    while (NextTimerDue(due) && due <= target)
    {
        s.virtualNow = std::max(s.virtualNow, due);
        const int before = timerMessages;
        Pump(&timerMessages);
        if (timerMessages == before) break; // no timer got through (a flood of posted messages)
    }
    s.virtualNow = target;
    Pump(&timerMessages);
    return timerMessages;
}

void RunMessageLoopFor(uint32_t ms)
{
    if (IsClockVirtual())
    {
        AdvanceClock(ms);
        return;
    }
    const uint64_t end = ClockNow() + ms;
    for (;;)
    {
        Pump(nullptr);
        uint64_t now = ClockNow();
        if (now >= end) break;
        uint64_t wake = end;
        uint64_t due = 0;
        if (NextTimerDue(due)) wake = std::min(wake, std::max(due, now + 1));
        std::this_thread::sleep_for(std::chrono::milliseconds(wake - now));
    }
}

} // namespace quova::win32

using namespace quova::win32;

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return CallProcedure(hwnd, msg, wParam, lParam);
}

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (hwnd && !Lookup(hwnd)) return FALSE;
    State().queue.push_back(MSG{hwnd, msg, wParam, lParam, GetTickCount(), State().cursor});
    return TRUE;
}

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    if (!msg) return FALSE;
    return TakeMessage(*msg, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0, nullptr) ? TRUE
                                                                                                  : FALSE;
}

LRESULT DispatchMessageA(const MSG* msg)
{
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam != 0)
    {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    if (!msg->hwnd) return 0;
    return CallProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL TranslateMessage(const MSG* msg)
{
    if (!msg || msg->message != WM_KEYDOWN) return FALSE;
    unsigned ch = 0;
    if (!KeyToChar(static_cast<int>(msg->wParam), ch)) return FALSE;
    PostMessageA(msg->hwnd, WM_CHAR, ch, msg->lParam);
    return TRUE;
}

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w) return 0;
    switch (msg)
    {
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_PAINT:
    {
        PAINTSTRUCT ps;
        if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_SETTEXT:
        w->title = lParam ? reinterpret_cast<const char*>(lParam) : "";
        return TRUE;
    case WM_GETTEXT:
    {
        auto* buffer = reinterpret_cast<char*>(lParam);
        if (!buffer || wParam == 0) return 0;
        size_t n = std::min(w->title.size(), static_cast<size_t>(wParam - 1));
        std::memcpy(buffer, w->title.data(), n);
        buffer[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(w->title.size());
    case WM_MOUSEWHEEL:
        // An unhandled wheel turn goes on to the parent.
        if ((w->style & WS_CHILD) && w->parent) return SendMessageA(w->parent, msg, wParam, lParam);
        return 0;
    default:
        return 0;
    }
}

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!proc) return 0;
    return proc(hwnd, msg, wParam, lParam);
}
