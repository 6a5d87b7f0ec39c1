// Focus, capture, pointer and key state, and the input source's events turned into messages.
#include "platform/win32/Input.h"

#include "platform/win32/ScriptState.h"
#include "platform/win32/WindowState.h"

#include <cstdlib>

struct PlatformCursor
{
    int id = 0;
};

namespace quova::win32
{

namespace
{

// Double clicks: the second press within this time and this distance (half the 4 x 4 box).
constexpr uint64_t kDoubleClickTime = 500;
constexpr int kDoubleClickHalfBox = 2;

bool KeyDown(int vk)
{
    return (State().keys[vk & 0xFF] & 0x80) != 0;
}

WPARAM MouseKeyState()
{
    WPARAM w = 0;
    if (KeyDown(VK_LBUTTON)) w |= MK_LBUTTON;
    if (KeyDown(VK_RBUTTON)) w |= MK_RBUTTON;
    if (KeyDown(VK_MBUTTON)) w |= MK_MBUTTON;
    if (KeyDown(VK_SHIFT)) w |= MK_SHIFT;
    if (KeyDown(VK_CONTROL)) w |= MK_CONTROL;
    return w;
}

HWND DeepestAt(HWND h, int x, int y)
{
    // x, y: screen point; h is visible and contains it.
    for (auto it = h->children.rbegin(); it != h->children.rend(); ++it)
    {
        HWND c = *it;
        if (!(c->style & WS_VISIBLE) || (c->style & WS_DISABLED)) continue;
        POINT o = ScreenOrigin(c);
        if (x >= o.x && x < o.x + Width(c) && y >= o.y && y < o.y + Height(c)) return DeepestAt(c, x, y);
    }
    return h;
}

LPARAM ClientPoint(HWND target, int screenX, int screenY)
{
    POINT o = ScreenOrigin(target);
    return MAKELPARAM(screenX - o.x, screenY - o.y);
}

// Posts WM_MOUSELEAVE to every tracked window the pointer is no longer over.
void CheckLeave()
{
    WindowSystemState& s = State();
    HWND under = WindowFromScreenPoint(s.cursor.x, s.cursor.y);
    for (HWND h : s.live)
    {
        if (h->trackLeave && h != under)
        {
            h->trackLeave = false;
            PostMessageA(h, WM_MOUSELEAVE, 0, 0);
        }
    }
}

struct ButtonMessages
{
    int vk;
    UINT down, up, dblclk;
};

ButtonMessages MessagesOf(MouseButton b)
{
    switch (b)
    {
    case MouseButton::Right:
        return {VK_RBUTTON, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK};
    case MouseButton::Middle:
        return {VK_MBUTTON, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK};
    default:
        return {VK_LBUTTON, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK};
    }
}

// Decodes one UTF-8 character (an invalid byte stands for itself).
unsigned NextCodePoint(const std::string& text, size_t& i)
{
    auto b = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned c = b(i);
    auto cont = [&](size_t k) { return k < text.size() && (b(k) & 0xC0) == 0x80; };
    if (c >= 0xC2 && c <= 0xDF && cont(i + 1))
    {
        unsigned cp = ((c & 0x1F) << 6) | (b(i + 1) & 0x3F);
        i += 2;
        return cp;
    }
    if (c >= 0xE0 && c <= 0xEF && cont(i + 1) && cont(i + 2))
    {
        unsigned cp = ((c & 0x0F) << 12) | ((b(i + 1) & 0x3F) << 6) | (b(i + 2) & 0x3F);
        i += 3;
        return cp;
    }
    ++i;
    return c;
}

const char kShiftedDigits[] = ")!@#$%^&*(";

} // namespace

HWND WindowFromScreenPoint(int x, int y)
{
    const auto& tops = State().topLevel;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it)
    {
        HWND h = *it;
        if (!(h->style & WS_VISIBLE) || (h->style & WS_DISABLED)) continue;
        if (x >= h->rect.left && x < h->rect.right && y >= h->rect.top && y < h->rect.bottom)
            return DeepestAt(h, x, y);
    }
    return nullptr;
}

void ForgetWindowInput(HWND hwnd)
{
    WindowSystemState& s = State();
    if (s.focus == hwnd) s.focus = nullptr;
    if (s.capture == hwnd) s.capture = nullptr;
    if (s.lastPress.hwnd == hwnd) s.lastPress = LastPress{};
}

bool KeyToChar(int vk, unsigned& ch)
{
    const bool shift = KeyDown(VK_SHIFT);
    const bool control = KeyDown(VK_CONTROL);
    if (vk >= 'A' && vk <= 'Z')
    {
        ch = control ? static_cast<unsigned>(vk - 'A' + 1) : static_cast<unsigned>(shift ? vk : vk + 32);
        return true;
    }
    if (control) return false;
    if (vk >= '0' && vk <= '9')
    {
        ch = shift ? static_cast<unsigned char>(kShiftedDigits[vk - '0']) : static_cast<unsigned>(vk);
        return true;
    }
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9)
    {
        ch = static_cast<unsigned>('0' + (vk - VK_NUMPAD0));
        return true;
    }
    switch (vk)
    {
    case VK_SPACE:
        ch = ' ';
        return true;
    case VK_RETURN:
        ch = '\r';
        return true;
    case VK_BACK:
        ch = 8;
        return true;
    case VK_TAB:
        ch = 9;
        return true;
    case VK_ESCAPE:
        ch = 27;
        return true;
    case VK_MULTIPLY:
        ch = '*';
        return true;
    case VK_ADD:
        ch = '+';
        return true;
    case VK_SUBTRACT:
        ch = '-';
        return true;
    case VK_DECIMAL:
        ch = '.';
        return true;
    case VK_DIVIDE:
        ch = '/';
        return true;
    case VK_OEM_PLUS:
        ch = shift ? '+' : '=';
        return true;
    case VK_OEM_MINUS:
        ch = shift ? '_' : '-';
        return true;
    case VK_OEM_PERIOD:
        ch = shift ? '>' : '.';
        return true;
    case VK_OEM_COMMA:
        ch = shift ? '<' : ',';
        return true;
    default:
        return false;
    }
}

bool CharToKey(unsigned ch, int& vk, bool& shift)
{
    shift = false;
    if (ch >= 'a' && ch <= 'z')
    {
        vk = static_cast<int>(ch - 32);
        return true;
    }
    if (ch >= 'A' && ch <= 'Z')
    {
        vk = static_cast<int>(ch);
        shift = true;
        return true;
    }
    if (ch >= '0' && ch <= '9')
    {
        vk = static_cast<int>(ch);
        return true;
    }
    for (int d = 0; d < 10; ++d)
    {
        if (static_cast<unsigned char>(kShiftedDigits[d]) == ch)
        {
            vk = '0' + d;
            shift = true;
            return true;
        }
    }
    switch (ch)
    {
    case ' ':
        vk = VK_SPACE;
        return true;
    case '\r':
        vk = VK_RETURN;
        return true;
    case 8:
        vk = VK_BACK;
        return true;
    case 9:
        vk = VK_TAB;
        return true;
    case 27:
        vk = VK_ESCAPE;
        return true;
    case '*':
        vk = VK_MULTIPLY;
        return true;
    case '/':
        vk = VK_DIVIDE;
        return true;
    case '=':
        vk = VK_OEM_PLUS;
        return true;
    case '+':
        vk = VK_OEM_PLUS;
        shift = true;
        return true;
    case '-':
        vk = VK_OEM_MINUS;
        return true;
    case '_':
        vk = VK_OEM_MINUS;
        shift = true;
        return true;
    case '.':
        vk = VK_OEM_PERIOD;
        return true;
    case '>':
        vk = VK_OEM_PERIOD;
        shift = true;
        return true;
    case ',':
        vk = VK_OEM_COMMA;
        return true;
    case '<':
        vk = VK_OEM_COMMA;
        shift = true;
        return true;
    default:
        return false;
    }
}

void InputMouseMove(int screenX, int screenY)
{
    WindowSystemState& s = State();
    s.cursor = POINT{screenX, screenY};
    CheckLeave();
    HWND target = s.capture ? s.capture : WindowFromScreenPoint(screenX, screenY);
    if (target) PostMessageA(target, WM_MOUSEMOVE, MouseKeyState(), ClientPoint(target, screenX, screenY));
    PumpMessages();
}

void InputMouseButton(MouseButton button, bool down, int screenX, int screenY)
{
    WindowSystemState& s = State();
    s.cursor = POINT{screenX, screenY};
    const ButtonMessages m = MessagesOf(button);
    if (down)
        s.keys[m.vk] |= 0x80;
    else
        s.keys[m.vk] &= static_cast<BYTE>(~0x80);
    const auto b = static_cast<size_t>(button);
    if (!down && s.swallowRelease[b])
    {
        s.swallowRelease[b] = false;
        PumpMessages();
        return;
    }
    if (down) s.swallowRelease[b] = false;
    HWND target = s.capture ? s.capture : WindowFromScreenPoint(screenX, screenY);
    if (target)
    {
        UINT msg = down ? m.down : m.up;
        if (down)
        {
            const uint64_t now = ClockNow();
            const LastPress& last = s.lastPress;
            const bool dbl = (target->windowClass->style & CS_DBLCLKS) && last.valid && last.hwnd == target &&
                             last.button == button && now - last.time <= kDoubleClickTime &&
                             std::abs(screenX - last.point.x) <= kDoubleClickHalfBox &&
                             std::abs(screenY - last.point.y) <= kDoubleClickHalfBox;
            if (dbl)
            {
                msg = m.dblclk;
                s.lastPress = LastPress{}; // a third press starts over
            }
            else
            {
                s.lastPress = LastPress{target, button, POINT{screenX, screenY}, now, true};
            }
        }
        PostMessageA(target, msg, MouseKeyState(), ClientPoint(target, screenX, screenY));
    }
    else if (down)
    {
        s.lastPress = LastPress{}; // a press on the desktop ends any double click
    }
    PumpMessages();
}

void InputMouseWheel(int screenX, int screenY, int delta)
{
    WindowSystemState& s = State();
    s.cursor = POINT{screenX, screenY};
    HWND target = s.focus ? s.focus : WindowFromScreenPoint(screenX, screenY);
    if (target)
        PostMessageA(target, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<int>(MouseKeyState()), delta),
                     MAKELPARAM(screenX, screenY));
    PumpMessages();
}

void SwallowHeldButtonReleases()
{
    WindowSystemState& s = State();
    s.swallowRelease[static_cast<size_t>(MouseButton::Left)] = KeyDown(VK_LBUTTON);
    s.swallowRelease[static_cast<size_t>(MouseButton::Right)] = KeyDown(VK_RBUTTON);
    s.swallowRelease[static_cast<size_t>(MouseButton::Middle)] = KeyDown(VK_MBUTTON);
    s.capture = nullptr;
    s.lastPress = LastPress{};
}

void BreakDoubleClick()
{
    State().lastPress = LastPress{};
}

void InputKey(int virtualKey, bool down, bool translate)
{
    WindowSystemState& s = State();
    const int vk = virtualKey & 0xFF;
    const bool wasDown = KeyDown(vk);
    if (down)
        s.keys[vk] |= 0x80;
    else
        s.keys[vk] &= static_cast<BYTE>(~0x80);
    const bool system = vk == VK_MENU || (KeyDown(VK_MENU) && !KeyDown(VK_CONTROL));
    const UINT msg = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    LPARAM lParam = down ? (wasDown ? 0x40000001 : 0x00000001) : static_cast<LPARAM>(0xC0000001u);
    if (s.focus)
    {
        if (translate)
            PostMessageA(s.focus, msg, static_cast<WPARAM>(vk), lParam);
        else
            SendMessageA(s.focus, msg, static_cast<WPARAM>(vk), lParam);
    }
    PumpMessages();
}

void InputChar(unsigned ch)
{
    if (HWND f = State().focus) PostMessageA(f, WM_CHAR, ch, 1);
    PumpMessages();
}

void InputText(const std::string& text)
{
    for (size_t i = 0; i < text.size();)
    {
        unsigned ch = NextCodePoint(text, i);
        int vk = 0;
        bool shift = false;
        if (!CharToKey(ch, vk, shift))
        {
            InputChar(ch);
            continue;
        }
        const bool shiftWasDown = KeyDown(VK_SHIFT);
        if (shift && !shiftWasDown) InputKey(VK_SHIFT, true);
        if (!shift && shiftWasDown) InputKey(VK_SHIFT, false);
        InputKey(vk, true);
        InputKey(vk, false);
        if (shift != shiftWasDown) InputKey(VK_SHIFT, shiftWasDown);
    }
}

} // namespace quova::win32

using namespace quova::win32;

HWND SetFocus(HWND hwnd)
{
    WindowSystemState& s = State();
    if (hwnd && !Lookup(hwnd)) return nullptr;
    HWND old = s.focus;
    if (old == hwnd) return old;
    s.focus = hwnd;
    if (old && IsWindow(old)) SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd && IsWindow(hwnd) && s.focus == hwnd)
        SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

HWND GetFocus()
{
    return State().focus;
}

HWND SetCapture(HWND hwnd)
{
    WindowSystemState& s = State();
    HWND old = s.capture;
    if (Lookup(hwnd)) s.capture = hwnd;
    return old;
}

BOOL ReleaseCapture()
{
    State().capture = nullptr;
    return TRUE;
}

HWND GetCapture()
{
    return State().capture;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track)
{
    if (!track || track->cbSize != sizeof(TRACKMOUSEEVENT))
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    PlatformWindow* w = Lookup(track->hwndTrack);
    if (!w) return FALSE;
    if (track->dwFlags & TME_CANCEL)
    {
        if (track->dwFlags & TME_LEAVE) w->trackLeave = false;
        return TRUE;
    }
    if (track->dwFlags & TME_LEAVE)
    {
        const POINT c = State().cursor;
        if (WindowFromScreenPoint(c.x, c.y) == track->hwndTrack)
            w->trackLeave = true;
        else
            PostMessageA(track->hwndTrack, WM_MOUSELEAVE, 0, 0);
    }
    return TRUE;
}

SHORT GetKeyState(int virtualKey)
{
    if (virtualKey < 0 || virtualKey > 255) return 0;
    return (State().keys[virtualKey] & 0x80) ? static_cast<SHORT>(-128) : static_cast<SHORT>(0);
}

BOOL GetCursorPos(POINT* point)
{
    if (!point) return FALSE;
    *point = State().cursor;
    return TRUE;
}

BOOL SetCursorPos(int x, int y)
{
    State().cursor = POINT{x, y};
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w || !point) return FALSE;
    POINT o = ScreenOrigin(w);
    point->x -= o.x;
    point->y -= o.y;
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* point)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w || !point) return FALSE;
    POINT o = ScreenOrigin(w);
    point->x += o.x;
    point->y += o.y;
    return TRUE;
}

int ShowCursor(BOOL show)
{
    int& count = State().cursorCount;
    count += show ? 1 : -1;
    return count;
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    static PlatformCursor arrow{32512};
    if (!instance && name == IDC_ARROW) return &arrow;
    return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor)
{
    HCURSOR old = State().currentCursor;
    State().currentCursor = cursor;
    return old;
}
