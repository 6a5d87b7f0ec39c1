// X pointer and key events turned into the window layer's input.
#include "platform/win32/Input.h"
#include "platform/win32/Window.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/XConnection.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace quova::x11
{

namespace
{

constexpr int kWheelNotch = 120;

bool Held(int vk)
{
    return GetKeyState(vk) < 0;
}

// Shift, Control and Alt as the X event saw them (a key pressed while the pointer was elsewhere).
void FollowModifiers(unsigned state)
{
    const struct
    {
        unsigned mask;
        int vk;
    } modifiers[] = {{ShiftMask, VK_SHIFT}, {ControlMask, VK_CONTROL}, {Mod1Mask, VK_MENU}};
    for (const auto& m : modifiers)
    {
        const bool want = (state & m.mask) != 0;
        if (want != Held(m.vk)) win32::InputKey(m.vk, want);
    }
}

bool ButtonOf(unsigned xbutton, win32::MouseButton& out)
{
    switch (xbutton)
    {
    case Button1:
        out = win32::MouseButton::Left;
        return true;
    case Button2:
        out = win32::MouseButton::Middle;
        return true;
    case Button3:
        out = win32::MouseButton::Right;
        return true;
    default:
        return false;
    }
}

} // namespace

int VirtualKeyOfKeysym(unsigned long keysym)
{
    if (keysym >= XK_a && keysym <= XK_z) return static_cast<int>('A' + (keysym - XK_a));
    if (keysym >= XK_A && keysym <= XK_Z) return static_cast<int>('A' + (keysym - XK_A));
    if (keysym >= XK_0 && keysym <= XK_9) return static_cast<int>('0' + (keysym - XK_0));
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return VK_NUMPAD0 + static_cast<int>(keysym - XK_KP_0);
    if (keysym >= XK_F1 && keysym <= XK_F12) return VK_F1 + static_cast<int>(keysym - XK_F1);
    switch (keysym)
    {
    case XK_space:
        return VK_SPACE;
    case XK_Return:
    case XK_KP_Enter:
        return VK_RETURN;
    case XK_BackSpace:
        return VK_BACK;
    case XK_Tab:
        return VK_TAB;
    case XK_Escape:
        return VK_ESCAPE;
    case XK_Left:
        return VK_LEFT;
    case XK_Right:
        return VK_RIGHT;
    case XK_Up:
        return VK_UP;
    case XK_Down:
        return VK_DOWN;
    case XK_Home:
        return VK_HOME;
    case XK_End:
        return VK_END;
    case XK_Delete:
        return VK_DELETE;
    case XK_Shift_L:
    case XK_Shift_R:
        return VK_SHIFT;
    case XK_Control_L:
    case XK_Control_R:
        return VK_CONTROL;
    case XK_Alt_L:
    case XK_Alt_R:
        return VK_MENU;
    case XK_KP_Add:
        return VK_ADD;
    case XK_KP_Subtract:
        return VK_SUBTRACT;
    case XK_KP_Multiply:
        return VK_MULTIPLY;
    case XK_KP_Divide:
        return VK_DIVIDE;
    case XK_KP_Decimal:
        return VK_DECIMAL;
    case XK_minus:
        return VK_OEM_MINUS;
    case XK_equal:
        return VK_OEM_PLUS;
    case XK_comma:
        return VK_OEM_COMMA;
    case XK_period:
        return VK_OEM_PERIOD;
    default:
        return 0;
    }
}

void X11Desktop::HandleInput(ShownWindow& s, XEvent& event)
{
    Display* d = XConnection::Current();
    RECT r{};
    GetWindowRect(s.top, &r);
    const auto at = [&r](int x, int y) { return POINT{r.left + x, r.top + y}; };
    win32::MouseButton button{};
    switch (event.type)
    {
    case ButtonPress:
    {
        FollowModifiers(event.xbutton.state);
        const POINT p = at(event.xbutton.x, event.xbutton.y);
        if (event.xbutton.button == Button4 || event.xbutton.button == Button5)
        {
            TakeKeys(s, p);
            win32::InputMouseWheel(p.x, p.y, event.xbutton.button == Button4 ? kWheelNotch : -kWheelNotch);
            return;
        }
        if (!ButtonOf(event.xbutton.button, button)) return;
        {
            // A click gives our window the keys (a plug-in's window inside a host's frame).
            ErrorTrap trap(d);
            XSetInputFocus(d, s.xwin, RevertToParent, event.xbutton.time);
        }
        win32::InputMouseMove(p.x, p.y);
        win32::InputMouseButton(button, true, p.x, p.y);
        return;
    }
    case ButtonRelease:
    {
        if (!ButtonOf(event.xbutton.button, button)) return;
        FollowModifiers(event.xbutton.state);
        const POINT p = at(event.xbutton.x, event.xbutton.y);
        win32::InputMouseButton(button, false, p.x, p.y);
        return;
    }
    case MotionNotify:
    {
        // Only the latest position of a burst of moves matters (never past another event).
        XEvent next;
        while (XPending(d) > 0 && (XPeekEvent(d, &next), next.type == MotionNotify) &&
               next.xmotion.window == s.xwin)
            XNextEvent(d, &event);
        FollowModifiers(event.xmotion.state);
        const POINT p = at(event.xmotion.x, event.xmotion.y);
        win32::InputMouseMove(p.x, p.y);
        return;
    }
    case EnterNotify:
    {
        const POINT p = at(event.xcrossing.x, event.xcrossing.y);
        win32::InputMouseMove(p.x, p.y);
        return;
    }
    case LeaveNotify:
        // While a button is held the drag goes on outside (the press grabbed the pointer).
        if (event.xcrossing.mode == NotifyNormal &&
            (event.xcrossing.state & (Button1Mask | Button2Mask | Button3Mask)) == 0)
            win32::InputMouseMove(kNowhere.x, kNowhere.y);
        return;
    case KeyPress:
    case KeyRelease:
    {
        const bool down = event.type == KeyPress;
        RECT middle{};
        GetWindowRect(s.top, &middle);
        TakeKeys(s, POINT{(middle.left + middle.right) / 2, (middle.top + middle.bottom) / 2});
        const int vk = VirtualKeyOfKeysym(XLookupKeysym(&event.xkey, 0));
        // Shift, Control and Alt held while the keys were elsewhere (Alt+O in a dialog that opened
        // while Alt was down) count for this key; a modifier's own event shows the state before it.
        if (vk != VK_SHIFT && vk != VK_CONTROL && vk != VK_MENU) FollowModifiers(event.xkey.state);
        if (vk != 0)
        {
            win32::InputKey(vk, down);
            return;
        }
        if (!down) return;
        // A character the US layout has no key for arrives as a character alone.
        char text[8] = {};
        KeySym sym = 0;
        const int n = XLookupString(&event.xkey, text, sizeof text - 1, &sym, nullptr);
        if (n == 1 && static_cast<unsigned char>(text[0]) >= 0x20 && text[0] != 0x7F)
            win32::InputChar(static_cast<unsigned char>(text[0]));
        return;
    }
    case FocusOut:
        // Keys let go elsewhere never come back to us.
        for (int vk : {VK_SHIFT, VK_CONTROL, VK_MENU})
            if (Held(vk)) win32::InputKey(vk, false);
        return;
    default:
        return;
    }
}

} // namespace quova::x11
