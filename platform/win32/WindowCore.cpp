// Window classes, creation and destruction, window longs, geometry and enumeration.
#include "platform/win32/WindowState.h"

#include "platform/win32/Input.h"
#include "platform/win32/NativeDesktop.h"
#include "platform/win32/Paint.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <sys/syscall.h>
#include <unistd.h>

namespace quova::win32
{

namespace
{

// Windows larger than this in either direction are cut down to it (the surface of a window of
// 8192 x 8192 pixels already takes 256 MiB).
constexpr int kMaxWindowExtent = 8192;

thread_local DWORD tLastError = 0;

// Never destroyed, like the layer's state: a host may close an editor or the plug-in from its own
// exit handlers, after the module's statics would have been destroyed.
std::vector<PlatformWindow*>& Graveyard()
{
    static auto* graveyard = new std::vector<PlatformWindow*>();
    return *graveyard;
}

int ClampExtent(int v)
{
    return std::clamp(v, 0, kMaxWindowExtent);
}

void ResizeSurface(PlatformWindow* w)
{
    w->surface.Resize(Width(w), Height(w));
}

// Marks the subtree destroyed and unlinks it (children first).
void Unlink(HWND h)
{
    WindowSystemState& s = State();
    PlatformWindow* w = h;
    std::vector<HWND> kids = w->children;
    for (HWND child : kids)
        if (s.live.count(child)) Unlink(child);
    ForgetWindowTimers(h);
    ForgetWindowInput(h);
    s.queue.erase(std::remove_if(s.queue.begin(), s.queue.end(), [h](const MSG& m) { return m.hwnd == h; }),
                  s.queue.end());
    if (w->parent && s.live.count(w->parent))
    {
        auto& siblings = w->parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), h), siblings.end());
    }
    s.topLevel.erase(std::remove(s.topLevel.begin(), s.topLevel.end(), h), s.topLevel.end());
    if (w->windowClass) --w->windowClass->windows;
    s.live.erase(h);
    w->destroyed = true;
    Graveyard().push_back(w);
}

void SendDestroy(HWND h)
{
    if (!State().live.count(h)) return;
    h->destroying = true;
    CallProcedure(h, WM_DESTROY, 0, 0);
    if (!State().live.count(h)) return;
    std::vector<HWND> kids = h->children;
    for (HWND child : kids)
        SendDestroy(child);
}

} // namespace

WindowSystemState& State()
{
    // Never destroyed: windows may still be torn down by static destructors of other modules.
    static WindowSystemState* state = []
    {
        auto* s = new WindowSystemState();
        RegisterBuiltInClasses(*s);
        return s;
    }();
    return *state;
}

PlatformWindow* Lookup(HWND hwnd)
{
    if (hwnd && State().live.count(hwnd)) return hwnd;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
}

std::string ClassKey(const std::string& name)
{
    std::string key = name;
    for (char& c : key)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return key;
}

std::string ClassNameOf(LPCSTR name)
{
    if (!name || IS_INTRESOURCE(name)) return {};
    return name;
}

POINT ScreenOrigin(const PlatformWindow* w)
{
    POINT p{0, 0};
    for (const PlatformWindow* cur = w; cur; cur = cur->parent)
    {
        p.x += cur->rect.left;
        p.y += cur->rect.top;
    }
    return p;
}

bool IsSelfOrAncestor(HWND ancestor, HWND w)
{
    for (HWND cur = w; cur; cur = cur->parent)
        if (cur == ancestor) return true;
    return false;
}

LRESULT CallProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w) return 0;
    WNDPROC proc = w->proc;
    ++w->dispatchDepth;
    LRESULT result = proc ? proc(hwnd, msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
    --w->dispatchDepth;
    if (w->destroyed && w->dispatchDepth == 0) CollectDestroyed();
    return result;
}

void CollectDestroyed()
{
    auto& graveyard = Graveyard();
    for (size_t i = 0; i < graveyard.size();)
    {
        if (graveyard[i]->dispatchDepth == 0)
        {
            delete graveyard[i];
            graveyard.erase(graveyard.begin() + static_cast<std::ptrdiff_t>(i));
        }
        else
        {
            ++i;
        }
    }
}

const PixelSurface* WindowSurface(HWND hwnd)
{
    PlatformWindow* w = hwnd && State().live.count(hwnd) ? hwnd : nullptr;
    return w ? &w->surface : nullptr;
}

std::vector<HWND> ChildWindows(HWND hwnd, bool visibleOnly)
{
    std::vector<HWND> out;
    if (!IsWindow(hwnd)) return out;
    for (HWND child : hwnd->children)
    {
        if (visibleOnly && !(child->style & WS_VISIBLE)) continue;
        out.push_back(child);
        std::vector<HWND> below = ChildWindows(child, visibleOnly);
        out.insert(out.end(), below.begin(), below.end());
    }
    return out;
}

int ClassRegistrations(const std::string& className)
{
    auto& r = State().registrations;
    auto it = r.find(ClassKey(className));
    return it == r.end() ? 0 : it->second;
}

int ClassUnregistrations(const std::string& className)
{
    auto& r = State().unregistrations;
    auto it = r.find(ClassKey(className));
    return it == r.end() ? 0 : it->second;
}

void ResetWindowSystem()
{
    WindowSystemState& s = State();
    std::vector<HWND> tops = s.topLevel;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it)
        if (s.live.count(*it)) DestroyWindow(*it);
    CollectDestroyed();
    for (auto it = s.classes.begin(); it != s.classes.end();)
    {
        if (it->second->builtIn)
            ++it;
        else
            it = s.classes.erase(it);
    }
    s.queue.clear();
    s.timers.clear();
    s.focus = nullptr;
    s.capture = nullptr;
    s.cursor = POINT{0, 0};
    s.cursorCount = 0;
    s.currentCursor = nullptr;
    std::memset(s.keys, 0, sizeof s.keys);
    s.lastPress = LastPress{};
    std::memset(s.swallowRelease, 0, sizeof s.swallowRelease);
    s.registrations.clear();
    s.unregistrations.clear();
    s.virtualClock = false;
    ResetScripts();
}

} // namespace quova::win32

using namespace quova::win32;

DWORD GetLastError()
{
    return tLastError;
}

void SetLastError(DWORD code)
{
    tLastError = code;
}

ATOM RegisterClassA(const WNDCLASSA* wc)
{
    std::string name = wc ? ClassNameOf(wc->lpszClassName) : std::string();
    if (name.empty())
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WindowSystemState& s = State();
    std::string key = ClassKey(name);
    if (s.classes.count(key))
    {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto cls = std::make_shared<WindowClass>();
    cls->name = name;
    cls->style = wc->style;
    cls->proc = wc->lpfnWndProc;
    cls->instance = wc->hInstance;
    cls->cursor = wc->hCursor;
    s.classes[key] = cls;
    ++s.registrations[key];
    // Atoms of registered classes start at 0xC000.
    static ATOM nextAtom = 0xC000;
    return nextAtom == 0xFFFF ? nextAtom : nextAtom++;
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE)
{
    WindowSystemState& s = State();
    std::string key = ClassKey(ClassNameOf(className));
    auto it = s.classes.find(key);
    if (it == s.classes.end() || it->second->builtIn)
    {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (it->second->windows > 0)
    {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    s.classes.erase(it);
    ++s.unregistrations[key];
    return TRUE;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    WindowSystemState& s = State();
    auto it = s.classes.find(ClassKey(ClassNameOf(className)));
    if (it == s.classes.end())
    {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return nullptr;
    }
    const bool child = (style & WS_CHILD) != 0;
    if (child && !Lookup(parent)) return nullptr;
    HWND owner = nullptr;
    if (!child)
    {
        // A top-level window given a parent is owned by it (its pop-ups, dialogs).
        if ((style & WS_POPUP) && IsWindow(parent)) owner = parent;
        parent = nullptr;
    }
    if (x == CW_USEDEFAULT) x = 0;
    if (y == CW_USEDEFAULT) y = 0;
    if (width == CW_USEDEFAULT) width = 0;
    if (height == CW_USEDEFAULT) height = 0;

    auto* w = new PlatformWindow();
    w->windowClass = it->second;
    w->title = windowName ? windowName : "";
    w->style = style;
    w->exStyle = exStyle;
    w->parent = parent;
    w->owner = owner;
    w->rect = RECT{x, y, x + ClampExtent(width), y + ClampExtent(height)};
    w->id = child ? static_cast<LONG_PTR>(reinterpret_cast<uintptr_t>(menu)) : 0;
    w->proc = it->second->proc;
    w->instance = instance;
    w->threadId = GetCurrentThreadId();
    ResizeSurface(w);
    HWND h = w;
    s.live.insert(h);
    if (parent)
        parent->children.push_back(h);
    else
        s.topLevel.push_back(h);
    ++it->second->windows;

    CREATESTRUCTA cs{
        param,      instance,  menu,   parent, Height(w), Width(w), y, x, static_cast<LONG>(style),
        windowName, className, exStyle};
    LRESULT created = CallProcedure(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs));
    if (!s.live.count(h)) return nullptr;
    if (created == -1)
    {
        DestroyWindow(h);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (IsWindowVisible(h)) InvalidateRect(h, nullptr, TRUE);
    return h;
}

BOOL DestroyWindow(HWND hwnd)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w) return FALSE;
    if (w->destroying) return TRUE; // asked again from its own WM_DESTROY
    w->destroying = true;
    // What lay under a visible child shows again.
    if (w->parent && IsWindowVisible(hwnd)) NoteDamage(w->parent, w->rect);
    WindowSystemState& s = State();
    if (s.focus && IsSelfOrAncestor(hwnd, s.focus))
    {
        HWND lost = s.focus;
        s.focus = nullptr;
        CallProcedure(lost, WM_KILLFOCUS, 0, 0);
    }
    if (s.capture && IsSelfOrAncestor(hwnd, s.capture)) s.capture = nullptr;
    SendDestroy(hwnd);
    if (s.live.count(hwnd)) Unlink(hwnd);
    CollectDestroyed();
    return TRUE;
}

BOOL IsWindow(HWND hwnd)
{
    return hwnd && State().live.count(hwnd) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd)
{
    if (!IsWindow(hwnd)) return FALSE;
    for (HWND cur = hwnd; cur; cur = cur->parent)
        if (!(cur->style & WS_VISIBLE)) return FALSE;
    return TRUE;
}

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w) return 0;
    switch (index)
    {
    case GWLP_USERDATA:
        return w->userData;
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_ID:
        return w->id;
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(w->instance);
    case GWL_STYLE:
        return static_cast<LONG_PTR>(w->style);
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(w->exStyle);
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
}

LONG GetWindowLongA(HWND hwnd, int index)
{
    return static_cast<LONG>(GetWindowLongPtrA(hwnd, index));
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w) return 0;
    LONG_PTR old = GetWindowLongPtrA(hwnd, index);
    switch (index)
    {
    case GWLP_USERDATA:
        w->userData = value;
        break;
    case GWLP_WNDPROC:
        w->proc = reinterpret_cast<WNDPROC>(value);
        break;
    case GWLP_ID:
        w->id = value;
        break;
    case GWLP_HINSTANCE:
        w->instance = reinterpret_cast<HINSTANCE>(value);
        break;
    case GWL_STYLE:
        w->style = static_cast<DWORD>(value);
        break;
    case GWL_EXSTYLE:
        w->exStyle = static_cast<DWORD>(value);
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return old;
}

BOOL SetWindowPos(HWND hwnd, HWND, int x, int y, int cx, int cy, UINT flags)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w) return FALSE;
    const int oldW = Width(w);
    const int oldH = Height(w);
    const RECT oldRect = w->rect;
    int left = (flags & SWP_NOMOVE) ? w->rect.left : x;
    int top = (flags & SWP_NOMOVE) ? w->rect.top : y;
    int newW = (flags & SWP_NOSIZE) ? oldW : ClampExtent(cx);
    int newH = (flags & SWP_NOSIZE) ? oldH : ClampExtent(cy);
    w->rect = RECT{left, top, left + newW, top + newH};
    if (w->parent && IsWindowVisible(hwnd))
    {
        NoteDamage(w->parent, oldRect);
        NoteDamage(w->parent, w->rect);
    }
    if (newW != oldW || newH != oldH)
    {
        ResizeSurface(w);
        w->update.Intersect(RECT{0, 0, newW, newH});
        if (IsWindowVisible(hwnd))
        {
            if (w->windowClass && (w->windowClass->style & (CS_HREDRAW | CS_VREDRAW)))
            {
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            else
            {
                if (newW > oldW)
                {
                    RECT r{oldW, 0, newW, newH};
                    InvalidateRect(hwnd, &r, FALSE);
                }
                if (newH > oldH)
                {
                    RECT r{0, oldH, newW, newH};
                    InvalidateRect(hwnd, &r, FALSE);
                }
            }
        }
    }
    return TRUE;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w || !rect) return FALSE;
    POINT o = ScreenOrigin(w);
    *rect = RECT{o.x, o.y, o.x + Width(w), o.y + Height(w)};
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w || !rect) return FALSE;
    *rect = RECT{0, 0, Width(w), Height(w)};
    return TRUE;
}

HWND GetParent(HWND hwnd)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w) return nullptr;
    if (w->style & WS_CHILD) return w->parent;
    if ((w->style & WS_POPUP) && IsWindow(w->owner)) return w->owner;
    return nullptr;
}

HWND GetDlgItem(HWND dialog, int id)
{
    PlatformWindow* w = Lookup(dialog);
    if (!w) return nullptr;
    for (HWND child : w->children)
        if (child->id == id) return child;
    return nullptr;
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text)
{
    if (!Lookup(hwnd)) return FALSE;
    return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

int GetWindowTextA(HWND hwnd, LPSTR buffer, int maxCount)
{
    if (!Lookup(hwnd) || !buffer || maxCount <= 0) return 0;
    return static_cast<int>(
        SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(maxCount), reinterpret_cast<LPARAM>(buffer)));
}

int GetClassNameA(HWND hwnd, LPSTR buffer, int maxCount)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w || !buffer || maxCount <= 0) return 0;
    const std::string& name = w->windowClass->name;
    size_t n = std::min(name.size(), static_cast<size_t>(maxCount - 1));
    std::memcpy(buffer, name.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam)
{
    if (!proc) return FALSE;
    std::vector<HWND> tops = State().topLevel;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it)
        if (IsWindow(*it) && !proc(*it, lParam)) break;
    return TRUE;
}

DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w) return 0;
    if (processId) *processId = GetCurrentProcessId();
    return w->threadId;
}

DWORD GetCurrentProcessId()
{
    return static_cast<DWORD>(getpid());
}

DWORD GetCurrentThreadId()
{
    return static_cast<DWORD>(syscall(SYS_gettid));
}
